#include "screensaver/uSaverCommand.h"

#include <cctype>

#include "foundation/uIniFile.h"

std::vector<std::string> SplitArguments(const std::string& commandLine) {
  std::vector<std::string> args;
  size_t i = 0;
  const size_t n = commandLine.size();
  bool first = true;
  while (true) {
    while (i < n && static_cast<unsigned char>(commandLine[i]) <= ' ') ++i;
    if (i >= n) break;
    std::string arg;
    bool quoted = false;
    while (i < n && (quoted || static_cast<unsigned char>(commandLine[i]) > ' ')) {
      if (commandLine[i] == '"')
        quoted = !quoted;
      else
        arg += commandLine[i];
      ++i;
    }
    if (first)
      first = false;  // the program itself
    else
      args.push_back(std::move(arg));
  }
  return args;
}

namespace {
std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}
bool IsSwitch(const std::string& arg, char letter) {
  const std::string two = arg.substr(0, 2);
  return two == std::string("/") + letter || two == std::string("-") + letter ||
         (!arg.empty() && arg[0] == letter);
}
bool ParseWindow(const std::string& text, uintptr_t& window) {
  int32_t value = 0;
  if (IniTextToInt(text, value)) {
    window = static_cast<uintptr_t>(static_cast<uint32_t>(value));
    return true;
  }
  // Handles above 2^31 - 1, as the system may write them unsigned.
  if (text.empty() || text.size() > 10) return false;
  uint64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + uint64_t(c - '0');
  }
  if (v > 0xFFFFFFFFull) return false;
  window = static_cast<uintptr_t>(v);
  return true;
}
}  // namespace

tSaverMode GetSaverMode(const std::vector<std::string>& args, uintptr_t& parentWindow) {
  tSaverMode mode = smRun;
  if (!args.empty()) {
    const std::string first = Upper(args[0]);
    if (IsSwitch(first, 'A')) mode = smChangePassword;
    if (IsSwitch(first, 'P')) mode = smPreview;
    if (IsSwitch(first, 'C') || first.empty()) mode = smConfigure;
  }
  if (args.size() >= 2) ParseWindow(Upper(args[1]), parentWindow);
  return mode;
}

std::string MainProgramCommandKey(const std::string& maker, const std::string& product) {
  return "SOFTWARE\\" + maker + "\\" + product + "\\shell\\open\\command";
}

std::string MainProgramPathFromCommand(const std::string& command) {
  if (command == "<none>") return "";
  std::string path;
  if (command.find("\"%1\"") != std::string::npos) {
    if (command.size() < 5) return "";
    path = command.substr(0, command.size() - 5);
    std::erase(path, '"');
  } else {
    if (command.size() < 3) return "";
    path = command.substr(0, command.size() - 3);
  }
  return path;
}

std::string SettingsCommandLine(const std::string& programPath) {
  return "\"" + programPath + "\" /c";
}

std::string InstanceSemaphoreName(const std::string& product) { return product + " Screen Saver"; }
