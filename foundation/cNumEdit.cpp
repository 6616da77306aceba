#include "foundation/cNumEdit.h"

#include <cmath>

#include "foundation/uFormat.h"
#include "foundation/uPlatform.h"
#include "framework/Button.h"
#include "framework/Form.h"
#include "framework/Text.h"

namespace {
DWORD AlignmentStyle(TAlignment a) {
  return a == taRightJustify ? ES_RIGHT : a == taCenter ? ES_CENTER : ES_LEFT;
}

// The first UTF-16 unit of a locale separator; 0 when the locale has none.
char16_t Separator(const std::string& text) {
  std::wstring w = Utf8ToWide(text);
  return w.empty() ? 0 : static_cast<char16_t>(w[0]);
}

std::u16string ToU16(const std::wstring& w) { return std::u16string(w.begin(), w.end()); }
std::wstring ToWide(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }
}  // namespace

TNumEdit::TNumEdit(TComponent* owner, TWindow* parent, int x, int y, int width, int height)
    : TWindow(owner) {
  // A multi-line edit, as single-line edits of the older systems cannot align right.
  CreateControl(
      parent, L"EDIT",
      WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_AUTOHSCROLL | AlignmentStyle(alignment_),
      WS_EX_CLIENTEDGE, x, y, width, height);
}

void TNumEdit::SetAlignment(TAlignment alignment) {
  if (alignment == alignment_) return;
  alignment_ = alignment;
  std::string text = Text();
  RecreateWnd([alignment](TCreateParams& p) {
    p.style =
        (p.style & ~static_cast<DWORD>(ES_LEFT | ES_RIGHT | ES_CENTER)) | AlignmentStyle(alignment);
  });
  SetText(text);
}

bool TNumEdit::ReadOnly() const { return GetWindowLongW(Handle(), GWL_STYLE) & ES_READONLY; }

void TNumEdit::SetReadOnly(bool readOnly) { Send(EM_SETREADONLY, readOnly ? TRUE : FALSE); }

double TNumEdit::Value() const {
  std::wstring w = Utf8ToWide(Text());
  return NumEditTextValue(ToU16(w), Separator(Platform().ThousandSeparator()),
                          Separator(Platform().DecimalSeparator()));
}

std::string TNumEdit::ValueText(double value) const {
  int decimals = Decimals;
  return Format(NumberFormat == Thousands ? "%.*n" : "%.*f", {decimals, value});
}

void TNumEdit::SetValue(double value) { SetText(ValueText(value)); }

int64_t TNumEdit::GetAsInteger() const {
  double v = std::trunc(Value());
  if (!(v > -9.2e18 && v < 9.2e18)) return 0;
  return static_cast<int64_t>(v);
}

void TNumEdit::SetAsInteger(int64_t value) {
  std::string text = Format("%d", {value});
  if (text != Text()) SetText(text);
}

tNumEditState TNumEdit::State() const {
  tNumEditState s;
  s.Text = ToU16(Utf8ToWide(Text()));
  DWORD start = 0, end = 0;
  ::SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
  s.SelStart = static_cast<int>(start);
  s.SelLength = static_cast<int>(end - start);
  return s;
}

void TNumEdit::Apply(const tNumEditState& s) {
  std::wstring text = ToWide(s.Text);
  if (Utf8ToWide(Text()) != text) SetWindowTextW(Handle(), text.c_str());
  Send(EM_SETSEL, static_cast<WPARAM>(s.SelStart), s.SelStart + s.SelLength);
}

void TNumEdit::PressDefaultButton() {
  TForm* form = ParentForm(this);
  TButton* button = form ? form->DefaultButton : nullptr;
  if (!button || !button->Visible() || !button->Enabled()) {
    MessageBeep(0);
    return;
  }
  tNumEditState before = State();
  button->SetFocus();
  button->Click();
  // The button's work may have closed the form and freed this edit with it.
  if (!IsWindow(button->Handle()) || !HandleAllocated()) return;
  SetFocus();
  if (AutoSelect)
    SelectAll();
  else
    Send(EM_SETSEL, static_cast<WPARAM>(before.SelStart), before.SelStart + before.SelLength);
}

LRESULT TNumEdit::WndProc(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_GETDLGCODE: {
      // Enter is ours (the default button); Tab and Esc stay the form's.
      LRESULT code = DefaultProc(message, w, l) & ~static_cast<LRESULT>(DLGC_WANTALLKEYS);
      auto* msg = reinterpret_cast<MSG*>(l);
      if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) code |= DLGC_WANTALLKEYS;
      return code;
    }
    case WM_CHAR: {
      wchar_t key = static_cast<wchar_t>(w);
      KeyPress(key);
      if (key == 0) return 0;
      if (key == L'\r' || key == L'\n') {
        if (key == L'\r') PressDefaultButton();
        return 0;
      }
      tNumEditOptions o;
      o.Decimals = Decimals;
      o.Digits = Digits;
      o.ReadOnly = ReadOnly();
      o.DecimalSeparator = Separator(Platform().DecimalSeparator());
      if (o.DecimalSeparator == 0) o.DecimalSeparator = u'.';
      tNumEditState s = State();
      if (NumEditChar(s, static_cast<char16_t>(key), o) == tNumKey::Pass)
        return DefaultProc(message, key, l);
      Apply(s);
      return 0;
    }
    case WM_KEYDOWN:
      if (w == VK_DELETE && !ReadOnly()) {
        WORD key = VK_DELETE;
        KeyDown(key, KeyboardShiftState());
        if (key == 0) return 0;
        tNumEditState s = State();
        if (NumEditDelete(s, true)) Apply(s);
        return 0;
      }
      break;
    case WM_SETFOCUS: {
      LRESULT r = TWindow::WndProc(message, w, l);
      if (AutoSelect) SelectAll();
      if (OnEnter) OnEnter(this);
      return r;
    }
    case WM_KILLFOCUS: {
      LRESULT r = TWindow::WndProc(message, w, l);
      std::string text = ValueText(Value());
      if (text != Text()) SetText(text);
      if (OnExit) OnExit(this);
      return r;
    }
    case WM_LBUTTONDOWN:
      // The press places the caret after the focus arrived; the selection is made again when
      // the button comes up.
      if (AutoSelect && !Focused()) selectOnMouseUp_ = true;
      break;
    case WM_LBUTTONUP:
      if (selectOnMouseUp_) {
        selectOnMouseUp_ = false;
        LRESULT r = TWindow::WndProc(message, w, l);
        SelectAll();
        return r;
      }
      break;
    case CN_COMMAND:
      if (HIWORD(w) == EN_CHANGE && OnChange) OnChange(this);
      return 0;
  }
  return TWindow::WndProc(message, w, l);
}
