// Settings of a test's main windows in a scratch folder, as the installed program leaves them:
// the INI file records the running version, so the first window does not greet a new version
// with a box that no test closes. More INI text may follow the identity section.
#pragma once
#include <filesystem>
#include <string>

#include "resources/uResStrings.h"
#include "shell/ViewerForm.h"
#include "tests/TestSupport.h"

namespace testsettings {

// Points the program's settings at a fresh folder of that name; returns the INI file's path.
inline std::filesystem::path UseScratchSettings(const std::string& name,
                                                const std::string& more = "") {
  const std::filesystem::path dir = testsupport::ScratchDir(name);
  SettingsProgramFile = (dir / "Tavishore32.exe").string();
  const std::string text = "[" + LoadResString(sProgramName) + "]\r\nVersion=" +
                           LoadResString(sVersionText) + "\r\n" + more;
  const std::filesystem::path ini = dir / "Tavishore32.ini";
  testsupport::WriteFile(ini, std::vector<uint8_t>(text.begin(), text.end()));
  return ini;
}

}  // namespace testsettings
