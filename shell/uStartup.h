// What the program decides at start-up before any window exists: the start mode the command line
// asks for, whether the splash shows, and how the first window is shown.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Start modes of the first main window.
enum : uint8_t {
  smInteractive = 0,    // the file browser
  smOpenFile = 1,       // open one file in its viewer, end when the viewer closes
  smSaverSettings = 2,  // "/c": the screen saver settings, then end
  smHidden = 3,         // "/s": stay hidden until the session ends
  smUninstall = 5       // "/u": uninstall after confirmation
};

struct tStartOptions {
  uint8_t StartMode = smInteractive;
  bool Tray = false;           // "/tasktray"
  bool HiddenOptions = false;  // "/kvorn"
  // The argument that set start mode 1, as it was given (not lower-cased); empty otherwise.
  std::string FileName;
};

// The program's arguments (without the program itself), each trimmed and compared lower-cased:
// "/u" 5, "/c" 2, "/s" 3, "/tasktray" the tray flag, "/kvorn" the hidden options; any other
// non-empty argument is a file (mode 1). A later mode-setting argument overrides an earlier one,
// and the file to open is the argument that set the final mode.
tStartOptions ParseStartArguments(const std::vector<std::string>& arguments);

// The arguments of a command line as the system hands it over: words split at blanks, a word in
// double quotes may hold blanks; word 0 (the program) is left out.
std::vector<std::string> CommandLineArguments(const std::string& commandLine);

// Show commands (SW_...) as the program is started with them.
bool IsNormalShow(int show);     // 1, 3, 5, 9
bool IsMinimizedShow(int show);  // 2, 6, 7
bool IsMaximizedShow(int show);  // 3

// The splash shows for a normal show command on a start without arguments.
bool SplashWanted(int show, int argumentCount);
// The splash's picture for the screen's colour depth.
const char* SplashBitmapName(int screenColorBits);
// How long the splash stays at least, in days (the clock's unit).
constexpr double kSplashDays = 3.0 / 86400.0;
