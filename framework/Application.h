// The application object: it owns the forms made through it, runs the message loop (with key
// preview, Enter and Esc for a form's default and cancel buttons, and F1 for help), pumps
// messages re-entrantly for long work, and keeps the hint settings and the application title.
// The screen object keeps the screen cursor (the hourglass) and the list of forms.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "framework/Window.h"

class TForm;

class TApplication : public TComponent {
 public:
  TApplication();
  ~TApplication() override;

  std::string Title;
  // Set by Terminate or by WM_QUIT; ends Run and every ProcessMessages.
  bool Terminated = false;
  // Hint timing in milliseconds, and whether hints show at all.
  int HintPause = 500;
  int HintHidePause = 2500;
  bool ShowHint = true;
  std::string HelpFile;
  // Asked for help with the help context of the focused window (or its nearest parent with one).
  std::function<void(int context)> OnHelp;

  // The main form was minimized, or shown again after that (the tray icon takes these over).
  TNotifyEvent OnMinimize, OnRestore;

  // The first form made by CreateForm; closing it ends the application.
  TForm* MainForm = nullptr;
  // Makes a form owned by the application and completes its loading (Loaded on its
  // components, then its creation event).
  template <class T, class... Args>
  T* CreateForm(Args&&... args) {
    T* form = new T(this, std::forward<Args>(args)...);
    FormCreated(form);
    return form;
  }

  // Shows the main form and runs the message loop until WM_QUIT; frees the forms; returns the
  // exit code.
  int Run();
  // Handles every waiting message and returns; nothing at all once Terminated is set. WM_QUIT
  // sets Terminated and is posted again so that the outer loop ends too. Safe to call from a
  // handler, also one that runs inside another ProcessMessages.
  void ProcessMessages();
  // Waits for one message and handles it (the modal loops).
  void HandleMessage();
  void Terminate(int exitCode = 0);
  int ExitCode() const { return exitCode_; }

  // Key preview, dialog keys and help for a message about to be dispatched; true when it was
  // consumed.
  bool PreTranslate(MSG& msg);

 private:
  void FormCreated(TForm* form);
  void Dispatch(MSG& msg);
  int exitCode_ = 0;
};

extern TApplication Application;

enum TCursor { crDefault = 0, crHourGlass = -11, crArrow = -2 };

class TScreen {
 public:
  // The cursor over all our windows; crDefault gives every window its own again.
  TCursor Cursor = crDefault;
  void SetCursor(TCursor cursor);
  HCURSOR CursorHandle() const;

  // Every form that exists, in creation order.
  std::vector<TForm*> Forms;
  int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
  int Height() const { return GetSystemMetrics(SM_CYSCREEN); }
};

extern TScreen Screen;

// Shows the hourglass for the life of the object and puts the previous cursor back.
class THourGlass {
 public:
  THourGlass() : old_(Screen.Cursor) { Screen.SetCursor(crHourGlass); }
  ~THourGlass() { Screen.SetCursor(old_); }
  THourGlass(const THourGlass&) = delete;
  THourGlass& operator=(const THourGlass&) = delete;

 private:
  TCursor old_;
};
