#include "foundation/SoundMessageDialog.h"

#include <algorithm>

#include "foundation/uShell.h"
#include "framework/Application.h"
#include "framework/Canvas.h"

namespace {
// The type's icon, drawn at its full 32 x 32.
class TMessageIcon : public TWindow {
 public:
  TMessageIcon(TComponent* owner, TWindow* parent, HICON icon, const RECT& r)
      : TWindow(owner), icon_(icon) {
    Create("", WS_CHILD | WS_VISIBLE, r.left, r.top, r.right - r.left, r.bottom - r.top,
           parent->Handle());
  }

 protected:
  const wchar_t* ClassName() const override { return L"TavisMessageIcon"; }
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override {
    if (message == WM_PAINT) {
      TPaintCanvas canvas(Handle());
      RECT r = ClientRect();
      DrawIconEx(canvas.Handle(), 0, 0, icon_, r.right, r.bottom, 0, nullptr, DI_NORMAL);
      return 0;
    }
    return TWindow::WndProc(message, w, l);
  }

 private:
  HICON icon_;
};

// The message itself: the system's static text, which wraps at word ends.
class TMessageText : public TWindow {
 public:
  TMessageText(TComponent* owner, TWindow* parent, const std::string& text, const RECT& r)
      : TWindow(owner) {
    CreateControl(parent, L"STATIC", WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, r.left, r.top,
                  r.right - r.left, r.bottom - r.top, text);
  }
};

HICON TypeIcon(TMsgDlgType type) {
  LPCWSTR ids[] = {IDI_EXCLAMATION, IDI_HAND, IDI_ASTERISK, IDI_QUESTION};
  if (type < mtWarning || type > mtConfirmation) return nullptr;
  return LoadIconW(nullptr, ids[type]);
}

// Line ends as the static text control takes them: a lone CR becomes CR LF.
std::string WithLineEnds(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) out += '\n';
  }
  return out;
}

RECT ToRect(const TRect& r) { return {r.Left, r.Top, r.Right, r.Bottom}; }
}  // namespace

TMessageForm::TMessageForm(TComponent* owner, const std::string& text, TMsgDlgType type,
                           TMsgDlgButtons buttons)
    : TForm(owner, bsDialog), type_(type) {
  std::string caption = MsgDlgTypeCaption(type);
  SetCaption(caption.empty() ? Application.Title : caption);
  Position = poScreenCenter;
  icon_ = TypeIcon(type);
  std::string message = WithLineEnds(text);

  tMsgDlgMeasures m;
  {
    TControlCanvas c(Handle());
    c.Font = Font();
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE s = c.TextExtent(kLetters);
    m.BaseX = (s.cx / 26 + 1) / 2;
    m.BaseY = s.cy;
    RECT r{0, 0, Screen.Width() / 2, 0};
    c.DrawText(message, r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    m.TextWidth = r.right;
    m.TextHeight = r.bottom;
    m.IconSize = icon_ ? 32 : 0;
    for (TMsgDlgBtn b : MsgDlgButtonList(buttons)) {
      RECT cr{0, 0, 0, 0};
      c.DrawText(MsgDlgButtonCaption(b), cr, DT_CALCRECT | DT_SINGLELINE);
      m.CaptionWidths.push_back(cr.right);
    }
  }
  tMsgDlgLayout layout = MsgDlgLayout(m);
  SetClientSize(layout.ClientWidth, layout.ClientHeight);
  if (icon_) new TMessageIcon(this, this, icon_, ToRect(layout.Icon));
  message_ = new TMessageText(this, this, message, ToRect(layout.Text));
  message_->Name = "Message";

  std::vector<TMsgDlgBtn> list = MsgDlgButtonList(buttons);
  TMsgDlgBtn enter = MsgDlgDefaultButton(buttons), esc = MsgDlgCancelButton(buttons);
  for (size_t i = 0; i < list.size(); ++i) {
    TMsgDlgBtn kind = list[i];
    const TRect& r = layout.Buttons[i];
    auto* b = new TButton(this, this, MsgDlgButtonCaption(kind), r.Left, r.Top, r.Right - r.Left,
                          r.Bottom - r.Top);
    b->ModalResult = MsgDlgModalResult(kind);
    if (kind == mbHelp)
      b->OnClick = [this](TComponent*) {
        if (Application.OnHelp && HelpContext) Application.OnHelp(HelpContext);
      };
    if (kind == enter) {
      b->SetDefault(true);
      ActiveControl = b;
    }
    if (kind == esc) b->SetCancel(true);
    buttons_[kind] = b;
  }
  FinishCreate();
}

int SoundMessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, bool soundOn,
                    int helpContext) {
  PlayDialogSound(soundOn, type);
  auto* form = new TMessageForm(nullptr, text, type, buttons);
  form->HelpContext = helpContext;
  int result = form->ShowModal();
  delete form;
  return result;
}
