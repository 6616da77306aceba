// The application object: the message loop and a re-entrant ProcessMessages for long work
// that pumps messages itself.
#pragma once
#include <windows.h>

#include <string>

class TApplication {
 public:
  std::string Title;
  // Set by Terminate or by WM_QUIT seen in ProcessMessages; ends Run.
  bool Terminated = false;

  // Runs the message loop until WM_QUIT; returns its exit code.
  int Run();
  // Handles every waiting message and returns; WM_QUIT sets Terminated and is re-posted so
  // that the outer loop ends too.
  void ProcessMessages();
  void Terminate(int exitCode = 0);

 private:
  int exitCode_ = 0;
};

extern TApplication Application;
