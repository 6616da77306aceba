// The screen saver's show: a borderless, topmost window over the whole screen that plays the
// script chosen in the main program's screen saver settings, and ends on any key, mouse button
// or mouse movement after the system's password check.
#pragma once
#include <windows.h>

#include <string>

#include "thumbnails/ShowForm.h"
#include "thumbnails/uSaverSettings.h"

class TScreenSaver : public TShowForm {
 public:
  // programPath: the main program, whose INI holds the settings.
  TScreenSaver(TComponent* owner, const std::string& programPath);
  ~TScreenSaver() override;

  tScreenSaverSettings Settings;

 protected:
  void DoCreate() override;
  void DoClose(TCloseAction& action) override;
  LRESULT WndProc(UINT message, WPARAM w, LPARAM l) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(WORD& key, TShiftState shift) override;

 private:
  void FormActivate();
  void Input();
  void CloseRequest(WPARAM how);
  void SetRunningFlag(bool running);

  std::string programPath_;
  POINT mouseOrigin_{-86, -86};
  bool runningFlag_ = false;
  bool checkingPassword_ = false;
  bool closeRequested_ = false;
};
