#include "framework/Form.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "foundation/uUtil.h"
#include "framework/Application.h"
#include "framework/Button.h"
#include "framework/Label.h"
#include "framework/Text.h"

namespace {
DWORD StyleOf(TFormBorderStyle border) {
  switch (border) {
    case bsDialog:
      return WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME;
    case bsNone:
      return WS_POPUP;
    case bsSingle:
      return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_BORDER;
    case bsSizeable:
      break;
  }
  return WS_OVERLAPPEDWINDOW;
}
}  // namespace

TForm* ParentForm(TWindow* window) {
  while (window && window->Parent()) window = window->Parent();
  return dynamic_cast<TForm*>(window);
}

TForm::TForm(TComponent* owner, TFormBorderStyle border, HWND ownerWindow) : TWindow(owner) {
  Screen.Forms.push_back(this);
  DWORD ex = border == bsDialog ? WS_EX_DLGMODALFRAME : 0;
  if (border == bsNone) ex |= WS_EX_TOOLWINDOW;
  Create("", StyleOf(border) | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT, 400, 300, ownerWindow,
         ex | WS_EX_CONTROLPARENT);
}

TForm::~TForm() {
  if (OnDestroy) OnDestroy(this);
  if (Application.MainForm == this) Application.MainForm = nullptr;
  auto& forms = Screen.Forms;
  forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
}

void TForm::FinishCreate() {
  if (created_) return;
  created_ = true;
  for (int i = 0; i < ComponentCount(); ++i) Components(i)->Loaded();
  DoCreate();
}

void TForm::DoCreate() {
  if (OnCreate) OnCreate(this);
}
void TForm::DoShow() {
  if (OnShow) OnShow(this);
}
void TForm::DoHide() {
  if (OnHide) OnHide(this);
}
void TForm::DoClose(TCloseAction& action) {
  if (OnClose) OnClose(this, action);
}

void TForm::Notification(TComponent* component, TOperation operation) {
  TWindow::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == DefaultButton) DefaultButton = nullptr;
  if (component == CancelButton) CancelButton = nullptr;
  if (component == ActiveControl) ActiveControl = nullptr;
}

void TForm::SetClientSize(int width, int height) {
  RECT r{0, 0, width, height};
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongW(Handle(), GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongW(Handle(), GWL_EXSTYLE)));
  RECT b = BoundsRect();
  SetBounds(b.left, b.top, r.right - r.left, r.bottom - r.top);
}

void TForm::PlaceOnShow() {
  if (placed_) return;
  placed_ = true;
  RECT b = BoundsRect();
  int w = b.right - b.left, h = b.bottom - b.top;
  RECT area{0, 0, Screen.Width(), Screen.Height()};
  if (Position == poOwnerFormCenter) {
    HWND owner = GetWindow(Handle(), GW_OWNER);
    if (owner) GetWindowRect(owner, &area);
  }
  if (Position == poScreenCenter || Position == poOwnerFormCenter) {
    int x = area.left + (area.right - area.left - w) / 2;
    int y = area.top + (area.bottom - area.top - h) / 2;
    SetBounds(std::max(0, x), std::max(0, y), w, h);
  }
}

void TForm::Show() {
  PlaceOnShow();
  bool wasVisible = Visible();
  ShowWindow(Handle(), SW_SHOW);
  SetForegroundWindow(Handle());
  if (ActiveControl) ActiveControl->SetFocus();
  if (!wasVisible) DoShow();
}

void TForm::Hide() {
  if (!Visible()) return;
  ShowWindow(Handle(), SW_HIDE);
  DoHide();
}

LRESULT TForm::WndProc(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_CLOSE:
      Close();
      return 0;
    case WM_SIZE:
      // The main form's minimising and restoring are the application's.
      if (Application.MainForm == this) {
        if (w == SIZE_MINIMIZED && !minimized_) {
          minimized_ = true;
          if (Application.OnMinimize) Application.OnMinimize(&Application);
        } else if (w != SIZE_MINIMIZED && minimized_) {
          minimized_ = false;
          if (Application.OnRestore) Application.OnRestore(&Application);
        }
      }
      break;
    case WM_ACTIVATE:
      if (LOWORD(w) != WA_INACTIVE && ActiveControl && ActiveControl->HandleAllocated()) {
        ActiveControl->SetFocus();
        return 0;
      }
      break;
  }
  return TWindow::WndProc(message, w, l);
}

bool TForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TForm::Close() {
  if (modal_) {
    ModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application.MainForm == this) {
    Application.Terminate();
  } else if (action == caHide) {
    Hide();
  } else if (action == caMinimize) {
    ShowWindow(Handle(), SW_MINIMIZE);
  } else {
    Release();
  }
}

bool TForm::CloseModal() {
  TCloseAction action = caNone;
  if (CloseQuery()) {
    action = caHide;
    DoClose(action);
  }
  if (action == caNone) {
    ModalResult = mrNone;
    return false;
  }
  if (action == caFree) Release();
  return true;
}

int TForm::ShowModal() {
  if (modal_ || Visible()) return mrNone;
  // Held for the whole run: a close that frees the form takes effect when the run is over.
  Hold();
  std::vector<HWND> disabled;
  for (TForm* f : Screen.Forms) {
    if (f != this && f->HandleAllocated() && f->Visible() && IsWindowEnabled(f->Handle())) {
      EnableWindow(f->Handle(), FALSE);
      disabled.push_back(f->Handle());
    }
  }
  HWND previous = GetActiveWindow();
  modal_ = true;
  ModalResult = mrNone;
  Show();
  for (;;) {
    if (ModalResult == mrNone) Application.HandleMessage();
    if (Application.Terminated) {
      if (ModalResult == mrNone) ModalResult = mrCancel;
      break;
    }
    if (ModalResult != mrNone && CloseModal()) break;
  }
  modal_ = false;
  int result = ModalResult;
  for (HWND h : disabled)
    if (IsWindow(h)) EnableWindow(h, TRUE);
  Hide();
  if (previous && IsWindow(previous)) SetActiveWindow(previous);
  Unhold();
  return result;
}

bool TForm::PreviewKey(MSG& msg) {
  if (!KeyPreview || msg.hwnd == Handle()) return false;
  if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
    WORD key = static_cast<WORD>(msg.wParam);
    KeyDown(key, KeyboardShiftState());
    if (!key) return true;
    msg.wParam = key;
  } else if (msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP) {
    WORD key = static_cast<WORD>(msg.wParam);
    KeyUp(key, KeyboardShiftState());
    if (!key) return true;
    msg.wParam = key;
  } else if (msg.message == WM_CHAR) {
    wchar_t key = static_cast<wchar_t>(msg.wParam);
    KeyPress(key);
    if (!key) return true;
    msg.wParam = key;
  }
  return false;
}

namespace {
struct tAcceleratorSearch {
  wchar_t Key;
  HWND Found;
  bool Label = false;  // found through a label: focus only
};

BOOL CALLBACK FindAcceleratedButton(HWND w, LPARAM data) {
  auto* search = reinterpret_cast<tAcceleratorSearch*>(data);
  wchar_t cls[16] = {};
  GetClassNameW(w, cls, 16);
  // A label whose letter leads to a control counts as that control's.
  if (const auto* label = dynamic_cast<TLabel*>(TWindow::FromHandle(w)); label && label->FocusControl) {
    TWindow* target = label->FocusControl;
    if (!IsWindowVisible(w) || !target->Visible() || !target->Enabled()) return TRUE;
    if (static_cast<wchar_t>(CaptionAccelerator(label->Caption())) != search->Key) return TRUE;
    search->Found = target->Handle();
    search->Label = true;
    return FALSE;
  }
  if (lstrcmpiW(cls, L"Button") != 0 || !IsWindowVisible(w) || !IsWindowEnabled(w)) return TRUE;
  if ((GetWindowLongW(w, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX) return TRUE;
  const int length = GetWindowTextLengthW(w);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(w, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  const char letter = CaptionAccelerator(WideToUtf8(text));
  if (letter == 0 || static_cast<wchar_t>(letter) != search->Key) return TRUE;
  search->Found = w;
  return FALSE;
}
}  // namespace

bool TForm::DialogChar(const MSG& msg) {
  if (msg.message != WM_CHAR && msg.message != WM_SYSCHAR) return false;
  if (msg.message == WM_CHAR) {
    if (msg.hwnd == Handle()) return false;
    LRESULT code = SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam,
                                reinterpret_cast<LPARAM>(const_cast<MSG*>(&msg)));
    if (code & (DLGC_WANTCHARS | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE | DLGC_HASSETSEL))
      return false;
  }
  wchar_t key = static_cast<wchar_t>(msg.wParam);
  if (key < 0x80) key = static_cast<wchar_t>(std::toupper(static_cast<int>(key)));
  tAcceleratorSearch search{key, nullptr};
  EnumChildWindows(Handle(), FindAcceleratedButton, reinterpret_cast<LPARAM>(&search));
  if (!search.Found) return false;
  ::SetFocus(search.Found);
  if (search.Label) {
    // As a tab into it: an edit's whole text is selected.
    wchar_t cls[16] = {};
    GetClassNameW(search.Found, cls, 16);
    if (lstrcmpiW(cls, L"Edit") == 0) SendMessageW(search.Found, EM_SETSEL, 0, -1);
    return true;
  }
  if (auto* button = dynamic_cast<TButton*>(TWindow::FromHandle(search.Found)))
    button->Click();
  else
    SendMessageW(search.Found, BM_CLICK, 0, 0);
  return true;
}

bool TForm::DialogKey(WORD key) {
  if (key == VK_TAB) {
    HWND next = GetNextDlgTabItem(Handle(), GetFocus(), GetKeyState(VK_SHIFT) < 0);
    if (!next) return false;
    ::SetFocus(next);
    return true;
  }
  TButton* button = key == VK_RETURN ? DefaultButton : key == VK_ESCAPE ? CancelButton : nullptr;
  if (!button || !button->Enabled() || !button->Visible()) return false;
  button->Click();
  return true;
}
