#include "framework/Help.h"

#include <windows.h>

#include "framework/Application.h"
#include "framework/Text.h"

bool ShowHelpTopic(const std::string& helpFile, int context) {
  if (helpFile.empty()) return false;
  const std::wstring file = Utf8ToWide(helpFile);
  HWND owner = GetActiveWindow();
  if (context == 0) return WinHelpW(owner, file.c_str(), HELP_FINDER, 0) != 0;
  return WinHelpW(owner, file.c_str(), HELP_CONTEXT, static_cast<ULONG_PTR>(context)) != 0;
}

void InstallHelp() {
  Application.OnHelp = [](int context) { ShowHelpTopic(Application.HelpFile, context); };
}
