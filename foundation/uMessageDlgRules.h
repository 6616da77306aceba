// The sound message box's decisions that need no window: its types and buttons, their captions
// and modal results, which buttons answer Enter and Esc, and where everything goes.
#pragma once
#include <initializer_list>
#include <string>
#include <vector>

#include "foundation/uTypes.h"

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn {
  mbYes,
  mbNo,
  mbOK,
  mbCancel,
  mbAbort,
  mbRetry,
  mbIgnore,
  mbAll,
  mbNoToAll,
  mbYesToAll,
  mbHelp,
  kMsgDlgBtnCount
};
// A set of buttons: bit b for button b.
using TMsgDlgButtons = unsigned;
constexpr TMsgDlgButtons MsgDlgButtons(std::initializer_list<TMsgDlgBtn> buttons) {
  TMsgDlgButtons set = 0;
  for (TMsgDlgBtn b : buttons) set |= 1u << b;
  return set;
}
constexpr bool HasButton(TMsgDlgButtons set, TMsgDlgBtn b) { return (set >> b) & 1u; }

// Modal results: OK 1, Cancel 2, Abort 3, Retry 4, Ignore 5, Yes 6, No 7, All 8, NoToAll 9,
// YesToAll 10; Help 0 (it does not close the box).
int MsgDlgModalResult(TMsgDlgBtn button);
std::string MsgDlgButtonCaption(TMsgDlgBtn button);
// "Warning", "Error", "Information", "Confirm"; '' for a custom box (it takes the program's
// title).
std::string MsgDlgTypeCaption(TMsgDlgType type);
// The buttons of the set in their order on the box.
std::vector<TMsgDlgBtn> MsgDlgButtonList(TMsgDlgButtons set);
// Enter: OK, else Yes, else the first button. Esc: Cancel, else No, else OK; kMsgDlgBtnCount
// when the set has none of them.
TMsgDlgBtn MsgDlgDefaultButton(TMsgDlgButtons set);
TMsgDlgBtn MsgDlgCancelButton(TMsgDlgButtons set);

// Sizes in pixels measured by the window: the font's base units (average character width and
// height), the text's extent when wrapped, the icon's side (0: none), each button caption's
// width.
struct tMsgDlgMeasures {
  int BaseX = 6, BaseY = 13;
  int TextWidth = 0, TextHeight = 0;
  int IconSize = 32;
  std::vector<int> CaptionWidths;
};
struct tMsgDlgLayout {
  TRect Icon, Text;  // Left, Top, Right, Bottom
  std::vector<TRect> Buttons;
  int ClientWidth = 0, ClientHeight = 0;
};
// Margins of 8 dialog units, 10 between the icon and the text and between the text and the
// buttons, buttons 50 x 14 units (wider for a long caption) 4 units apart and centred.
tMsgDlgLayout MsgDlgLayout(const tMsgDlgMeasures& m);
