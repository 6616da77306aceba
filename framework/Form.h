// Forms made from code: shown or run modally with a modal result, closed through CloseQuery and
// a close action (hide, minimise, free: freeing waits until the form's handlers have returned),
// with key preview, Enter and Esc for the default and cancel buttons, and centring.
#pragma once
#include <windows.h>

#include <functional>

#include "framework/Window.h"

enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum : int {
  mrNone = 0,
  mrOk = 1,
  mrCancel = 2,
  mrAbort = 3,
  mrRetry = 4,
  mrIgnore = 5,
  mrYes = 6,
  mrNo = 7,
  mrAll = 8,
  mrNoToAll = 9,
  mrYesToAll = 10
};
enum TPosition { poDesigned, poDefaultPosOnly, poScreenCenter, poOwnerFormCenter };
enum TFormBorderStyle { bsSizeable, bsDialog, bsNone, bsSingle };

using TCloseEvent = std::function<void(TComponent* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TComponent* sender, bool& canClose)>;

class TButton;

class TForm : public TWindow {
 public:
  // The window exists (hidden) once the constructor returns; ownerWindow keeps the form above
  // that window (a modal form above its caller).
  explicit TForm(TComponent* owner, TFormBorderStyle border = bsSizeable,
                 HWND ownerWindow = nullptr);
  ~TForm() override;

  void Show();
  void Hide();
  // Runs the form modally until ModalResult is set (a button with a modal result, Enter or
  // Esc, Close) and returns it; the other forms are disabled meanwhile.
  int ShowModal();
  bool Modal() const { return modal_; }
  // CloseQuery, then the close action from OnClose: the main form ends the application.
  void Close();
  // OnCloseQuery's answer (true without a handler).
  virtual bool CloseQuery();

  int ModalResult = mrNone;
  bool KeyPreview = false;
  TPosition Position = poDesigned;
  TButton* DefaultButton = nullptr;
  TButton* CancelButton = nullptr;
  TWindow* ActiveControl = nullptr;
  void SetClientSize(int width, int height);

  TNotifyEvent OnCreate, OnShow, OnHide, OnDestroy;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

  // Key preview for a keyboard message to any window of the form; true when the form ate it.
  bool PreviewKey(MSG& msg);
  // Enter, Esc and Tab that the focused control does not want; true when handled.
  bool DialogKey(WORD key);
  // A typed character (WM_CHAR) or Alt + character (WM_SYSCHAR) that is the accelerator of one
  // of the form's buttons presses it, as the system's dialogs do; a plain character only when
  // the focused control does not take characters. True when a button was pressed.
  bool DialogChar(const MSG& msg);
  // Loaded on every owned component, then DoCreate (the application's CreateForm calls it;
  // forms made directly call it at the end of their construction).
  void FinishCreate();

 protected:
  const wchar_t* ClassName() const override { return L"TavisForm"; }
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;
  virtual void DoCreate();
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& action);
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void PlaceOnShow();
  bool CloseModal();
  bool modal_ = false;
  bool created_ = false;
  bool placed_ = false;
  bool minimized_ = false;
};

// The form a window lives in (the window itself when it is a form); none for other windows.
TForm* ParentForm(TWindow* window);
