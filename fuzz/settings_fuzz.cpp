// Loads the settings from an INI text taken from the input, checks that every ranged value came
// within its range, saves them back into the same file in memory and loads that again: the
// second load must give what was saved. Also puts the rename line into the text as WININIT.INI.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "foundation/uBuffStream.h"
#include "foundation/uIniFile.h"
#include "shell/uInstall.h"
#include "shell/uSettings.h"

namespace {

// The INI class over the input's bytes instead of a file.
class tMemoryIni : public TIniFile {
 public:
  tMemoryIni(const uint8_t* data, size_t size)
      : TIniFile("fuzz.ini",
                 std::make_unique<TMemoryStream>(std::vector<uint8_t>(data, data + size))) {}
};

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "settings_fuzz: %s\n", what);
  std::abort();
}
#define CHECK(cond) \
  if (!(cond)) Fail(#cond)

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 64 * 1024) return 0;
  tMemoryIni ini(data, size);
  tPlainSettingsControls controls;
  tViewerSettings s = DefaultSettings("C:\\T\\Tavishore 32.exe");
  s.HiddenOptions = true;
  LoadSaveSettings(ini, true, true, "C:\\T\\Tavishore 32.exe", s, controls);
  CHECK(s.ZoomPercent >= 100 && s.ZoomPercent <= 300);
  CHECK(s.MonitorGamma >= 20 && s.MonitorGamma <= 800);
  CHECK(s.FolderHistory >= 10 && s.FolderHistory <= 100);
  CHECK(s.MaskHistory >= 10 && s.MaskHistory <= 100);
  CHECK(s.SlideDelay <= 60);
  CHECK(s.ParentalLevel <= 4);
  CHECK(s.GalleryPerPage >= 10 && s.GalleryPerPage <= 1000);
  CHECK(s.SaveAsOptions.Format >= 0 && s.SaveAsOptions.Format <= 6);
  CHECK(s.SaveAsOptions.JpegQuality >= 1 && s.SaveAsOptions.JpegQuality <= 100);
  CHECK(s.SaveAsOptions.PngGamma >= 20 && s.SaveAsOptions.PngGamma <= 800);
  CHECK(s.SaveAsOptions.BatchWidth >= 1 && s.SaveAsOptions.BatchHeight >= 1);
  CHECK(s.CustomColors.size() == 16);
  CHECK(controls.Lists[tSettingsControls::lsFolderHistory].size() <= 100 + 1);

  LoadSaveSettings(ini, false, true, "C:\\T\\Tavishore 32.exe", s, controls);
  tPlainSettingsControls again;
  tViewerSettings t = DefaultSettings("C:\\T\\Tavishore 32.exe");
  LoadSaveSettings(ini, true, true, "C:\\T\\Tavishore 32.exe", t, again);
  // Texts may lose a pair of quotes on the way, as with the system's profile files; numbers not.
  CHECK(t.ZoomPercent == s.ZoomPercent && t.SlideColor == s.SlideColor);
  CHECK(t.ParentalLevel == s.ParentalLevel && t.SaveAsOptions.PngGamma == s.SaveAsOptions.PngGamma);
  CHECK(t.GalleryBounds.Left == s.GalleryBounds.Left && t.WindowlessWavs == s.WindowlessWavs);
  for (char c : std::string("FBNUESDH")) CHECK(again.ButtonDown(c) == controls.ButtonDown(c));

  std::string text(reinterpret_cast<const char*>(data), size);
  std::string changed = WininitWithRename(text, "C:\\T\\u.exe");
  CHECK(changed.find("NUL=C:\\T\\u.exe\r\n") != std::string::npos);
  return 0;
}
