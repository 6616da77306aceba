#include "shell/uStartup.h"

#include "foundation/uUtil.h"

namespace {
// As the run-time's Trim: every control character and blank at either end goes.
std::string Trimmed(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && static_cast<unsigned char>(s[a]) <= ' ') ++a;
  while (b > a && static_cast<unsigned char>(s[b - 1]) <= ' ') --b;
  return s.substr(a, b - a);
}

std::string Lowered(std::string s) {
  for (char& c : s) c = LowerChar(c);
  return s;
}
}  // namespace

tStartOptions ParseStartArguments(const std::vector<std::string>& arguments) {
  tStartOptions o;
  for (const std::string& raw : arguments) {
    const std::string arg = Trimmed(raw);
    const std::string low = Lowered(arg);
    if (low.empty()) continue;
    if (low == "/u") {
      o.StartMode = smUninstall;
    } else if (low == "/c") {
      o.StartMode = smSaverSettings;
    } else if (low == "/s") {
      o.StartMode = smHidden;
    } else if (low == "/tasktray") {
      o.Tray = true;
      continue;
    } else if (low == "/kvorn") {
      o.HiddenOptions = true;
      continue;
    } else {
      o.StartMode = smOpenFile;
      o.FileName = arg;
      continue;
    }
    o.FileName.clear();
  }
  return o;
}

std::vector<std::string> CommandLineArguments(const std::string& commandLine) {
  std::vector<std::string> args;
  // Word 1 is the program; a quoted empty argument ("") yields nothing and ends the list.
  for (int n = 2;; ++n) {
    std::string w = GetQuotedWord(commandLine, n);
    if (w.empty()) break;
    args.push_back(w);
  }
  return args;
}

bool IsNormalShow(int show) { return show == 1 || show == 3 || show == 5 || show == 9; }
bool IsMinimizedShow(int show) { return show == 2 || show == 6 || show == 7; }
bool IsMaximizedShow(int show) { return show == 3; }

bool SplashWanted(int show, int argumentCount) { return IsNormalShow(show) && argumentCount < 1; }

const char* SplashBitmapName(int screenColorBits) {
  return screenColorBits >= 8 ? "ORVEX_260X130X256" : "ORVEX_260X130";
}
