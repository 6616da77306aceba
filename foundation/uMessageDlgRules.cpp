#include "foundation/uMessageDlgRules.h"

#include <algorithm>

#include "foundation/uUtil.h"

int MsgDlgModalResult(TMsgDlgBtn button) {
  static const int kResults[kMsgDlgBtnCount] = {6, 7, 1, 2, 3, 4, 5, 8, 9, 10, 0};
  return button >= 0 && button < kMsgDlgBtnCount ? kResults[button] : 0;
}

std::string MsgDlgButtonCaption(TMsgDlgBtn button) {
  static const char* const kCaptions[kMsgDlgBtnCount] = {
      "&Yes",    "&No",  "OK",         "Cancel",      "&Abort", "&Retry",
      "&Ignore", "&All", "N&o to All", "Yes to &All", "&Help"};
  return button >= 0 && button < kMsgDlgBtnCount ? kCaptions[button] : "";
}

std::string MsgDlgTypeCaption(TMsgDlgType type) {
  static const char* const kCaptions[] = {"Warning", "Error", "Information", "Confirm"};
  return type >= mtWarning && type <= mtConfirmation ? kCaptions[type] : "";
}

std::vector<TMsgDlgBtn> MsgDlgButtonList(TMsgDlgButtons set) {
  std::vector<TMsgDlgBtn> list;
  for (int b = 0; b < kMsgDlgBtnCount; ++b)
    if (HasButton(set, static_cast<TMsgDlgBtn>(b))) list.push_back(static_cast<TMsgDlgBtn>(b));
  return list;
}

TMsgDlgBtn MsgDlgDefaultButton(TMsgDlgButtons set) {
  if (HasButton(set, mbOK)) return mbOK;
  if (HasButton(set, mbYes)) return mbYes;
  std::vector<TMsgDlgBtn> list = MsgDlgButtonList(set);
  return list.empty() ? kMsgDlgBtnCount : list.front();
}

TMsgDlgBtn MsgDlgCancelButton(TMsgDlgButtons set) {
  for (TMsgDlgBtn b : {mbCancel, mbNo, mbOK})
    if (HasButton(set, b)) return b;
  return kMsgDlgBtnCount;
}

tMsgDlgLayout MsgDlgLayout(const tMsgDlgMeasures& m) {
  auto dx = [&m](int units) { return MulDivRound(units, m.BaseX, 4); };
  auto dy = [&m](int units) { return MulDivRound(units, m.BaseY, 8); };
  const int marginX = dx(8), marginY = dy(8), gapX = dx(10), gapY = dy(10);
  const int buttonHeight = dy(14), buttonGap = dx(4);
  int buttonWidth = dx(50);
  for (int w : m.CaptionWidths) buttonWidth = std::max(buttonWidth, w + dx(8));
  const int buttons = static_cast<int>(m.CaptionWidths.size());
  const int buttonsWidth = buttons > 0 ? buttons * buttonWidth + (buttons - 1) * buttonGap : 0;

  tMsgDlgLayout l;
  int textLeft = marginX;
  if (m.IconSize > 0) {
    l.Icon = {marginX, marginY, marginX + m.IconSize, marginY + m.IconSize};
    textLeft = l.Icon.Right + gapX;
  }
  // A one-line text sits level with the middle of the icon.
  int textTop = marginY;
  if (m.IconSize > m.TextHeight) textTop += (m.IconSize - m.TextHeight) / 2;
  l.Text = {textLeft, textTop, textLeft + m.TextWidth, textTop + m.TextHeight};
  l.ClientWidth = std::max(l.Text.Right, buttonsWidth + marginX) + marginX;
  const int top = std::max(l.Text.Bottom, l.Icon.Bottom) + gapY;
  int x = (l.ClientWidth - buttonsWidth) / 2;
  for (int i = 0; i < buttons; ++i) {
    l.Buttons.push_back({x, top, x + buttonWidth, top + buttonHeight});
    x += buttonWidth + buttonGap;
  }
  l.ClientHeight = top + buttonHeight + marginY;
  return l;
}
