// The main window's header under the real window system: the tag and category sections show
// their glyphs, drawn by the window, inside the section.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <filesystem>

#include "foundation/DialogDriver_test.h"
#include "shell/MainWindowDriver_test.h"
#include "shell/ScratchSettings_test.h"
#include "shell/ViewerForm.h"
#include "tests/TestSupport.h"

namespace {
const bool settingsReady = [] {
  StartCommandLine = "Tavishore32.exe";
  testsettings::UseScratchSettings("header_ini");
  return true;
}();

// Pixels of the section's face (its frame left out) that are not the face colour.
int MarkedPixels(HWND header, int section) {
  RECT r;
  Header_GetItemRect(header, section, &r);
  InflateRect(&r, -2, -2);
  HDC dc = GetDC(header);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  int marked = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) marked += GetPixel(dc, x, y) != face;
  ReleaseDC(header, dc);
  return marked;
}
}  // namespace

TEST(ViewerFormHeader, TheGlyphSectionsShowTheirGlyphs) {
  mainwindowtest::Window w(testsupport::ScratchDir("header"));
  THeaderControl& header = *w.form->HeaderControl1;
  RedrawWindow(header.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  dialogtest::Pump();
  for (int section = 0; section < header.SectionCount(); ++section) {
    SCOPED_TRACE(section);
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    ASSERT_TRUE(Header_GetItem(header.Handle(), section, &item));
    const bool glyph = section == 1 || section == 2;
    EXPECT_EQ((item.fmt & HDF_OWNERDRAW) != 0, glyph);
    if (glyph) EXPECT_GT(MarkedPixels(header.Handle(), section), 10);
  }
  dialogtest::Screenshot(w.form->Handle(), "main-header-glyphs");
}
