// What the screen saver decides before it has a window: the mode the system starts it in, the
// preview's parent window, and where the main program is.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

enum tSaverMode : uint8_t {
  smChangePassword = 0,  // "/A"
  smPreview = 1,         // "/P <window>"
  smConfigure = 2,       // "/C" or an empty first argument
  smRun = 3,             // "/S", anything else, or nothing
};

// The arguments after the program name, as the run-time splits them: blanks separate, double
// quotes group and are dropped, and "" is an (empty) argument.
std::vector<std::string> SplitArguments(const std::string& commandLine);

// The mode of the arguments, and the parent window from the second argument (left unchanged
// when there is none or it is no number). A window written after a colon in the first argument
// is not read.
tSaverMode GetSaverMode(const std::vector<std::string>& args, uintptr_t& parentWindow);

// "SOFTWARE\<maker>\<product>\shell\open\command".
std::string MainProgramCommandKey(const std::string& maker, const std::string& product);
// The main program's path from its open command: a quoted path and a quoted "%1", or a bare
// path and a bare %1; '' for a missing value ("<none>") or one too short to hold a path.
std::string MainProgramPathFromCommand(const std::string& command);
// The command line that starts the main program's screen saver settings, the path quoted so
// that one with blanks is started whole.
std::string SettingsCommandLine(const std::string& programPath);
// The semaphore that keeps a second copy of the saver from running.
std::string InstanceSemaphoreName(const std::string& product);
