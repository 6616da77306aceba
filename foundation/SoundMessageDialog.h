// The one message box of the program: a form of our own with the icon of its type, its text
// wrapped to half the screen's width and its buttons, which first plays the system sound of
// its type when the user's message sounds are on.
#pragma once
#include <string>
#include <vector>

#include "foundation/uMessageDlgRules.h"
#include "framework/Button.h"
#include "framework/Form.h"

class TMessageForm : public TForm {
 public:
  TMessageForm(TComponent* owner, const std::string& text, TMsgDlgType type,
               TMsgDlgButtons buttons);
  TMsgDlgType Type() const { return type_; }
  // The button of each kind on the form (null for kinds it does not have).
  TButton* Button(TMsgDlgBtn kind) const { return buttons_[kind]; }
  // The text as shown, and the icon (null for a custom box).
  TWindow* Message() const { return message_; }
  HICON Icon() const { return icon_; }

 private:
  TMsgDlgType type_;
  TButton* buttons_[kMsgDlgBtnCount] = {};
  TWindow* message_ = nullptr;
  HICON icon_ = nullptr;
};

// Plays the sound (when on and the type has one), then shows the box modally; returns the modal
// result of the button pressed (OK 1 ... YesToAll 10; 2 when closed otherwise). helpContext
// answers F1 and the Help button.
int SoundMessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, bool soundOn,
                    int helpContext);
