// TWAIN acquisition under the real window system, through the stand-in source manager that the
// test program loads from beside itself by its path, with the code that loads the system's by
// its name: enumeration, one acquisition run by messages through the source, the picture handed
// on as a BMP file image and opened in a picture window, refused blocks, cancelling, and the
// acquisition dialog.
#include "viewers/picture/TwainDialog.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "foundation/DialogDriver_test.h"
#include "framework/Application.h"
#include "framework/Text.h"
#include "imaging/uGraphic.h"
#include "shell/ViewerForm.h"
#include "shell/ScratchSettings_test.h"
#include "tests/TestSupport.h"
#include "viewers/picture/PictureWindow.h"

namespace {
struct Setup {
  Setup() {
    // The stand-in has a name of its own: Wine loads its built-in source manager for any file
    // named TWAIN_32.DLL, even one given by its full path.
    wchar_t exe[MAX_PATH * 2] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH * 2);
    std::wstring path = exe;
    path = path.substr(0, path.find_last_of(L"\\/") + 1) + L"TwainStandIn.dll";
    TTwain::LibraryName = WideToUtf8(path);
    RegisterAllFormats();
    StartCommandLine = "Tavishore32.exe";
    testsettings::UseScratchSettings("twain_ini");
  }
} setup;

void UseDib(const char* kind, int sources = 1) {
  SetEnvironmentVariableA("TAVIS_TWAIN_DIB", kind);
  SetEnvironmentVariableA("TAVIS_TWAIN_SOURCES", std::to_string(sources).c_str());
}

uint32_t Get32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// A window for the source's messages.
struct Host {
  TForm* form = new TForm(nullptr);
  ~Host() { delete form; }
};

int PictureWindows() {
  int n = 0;
  for (TForm* f : Screen.Forms) n += dynamic_cast<TPictureWindow*>(f) != nullptr;
  return n;
}
}  // namespace

TEST(Twain, LoadsTheSourceManagerByNameAndFindsItsSources) {
  UseDib("24", 2);
  Host host;
  TTwain twain(nullptr);
  ASSERT_TRUE(twain.SourceManagerAvailable());
  EXPECT_EQ(twain.State, 2);
  twain.EnumerateSources(host.form->Handle());
  ASSERT_EQ(twain.Sources.size(), 2u);
  EXPECT_EQ(twain.Sources[1]->ProductName(), "Stand-in scanner 2");
  // The manager was opened for the enumeration only.
  EXPECT_EQ(twain.State, 2);
}

TEST(Twain, MissingLibraryMeansNoAcquisition) {
  const std::string saved = TTwain::LibraryName;
  TTwain::LibraryName = saved.substr(0, saved.size() - 16) + "NoTwainStand.dll";
  TTwain twain(nullptr);
  EXPECT_FALSE(twain.SourceManagerAvailable());
  EXPECT_EQ(twain.LoadStatus, -1);
  EXPECT_EQ(twain.State, 1);
  TTwain::LibraryName = saved;
}

TEST(Twain, AcquiresOnePictureThroughTheMessageLoop) {
  struct Row {
    const char* kind;
    int bits;
    uint32_t offset;
  } rows[] = {{"24", 24, 54}, {"8", 8, 54 + 1024}, {"16bf", 16, 54 + 12}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.kind);
    UseDib(r.kind);
    Host host;
    TTwain twain(nullptr);
    twain.EnumerateSources(host.form->Handle());
    ASSERT_EQ(twain.Sources.size(), 1u);
    std::vector<uint8_t> got;
    int statesSeen = 0;
    twain.OnAcquire = [&](TTwain& t) {
      statesSeen = t.State;
      got.assign(t.Picture.Memory(), t.Picture.Memory() + t.Picture.DataSize());
    };
    twain.Acquire(host.form->Handle(), 0, 1);
    EXPECT_EQ(statesSeen, 7);
    EXPECT_EQ(twain.State, 2);
    EXPECT_EQ(twain.SourceName, "Stand-in scanner 1");
    ASSERT_GT(got.size(), 54u);
    EXPECT_EQ(got[0], 'B');
    EXPECT_EQ(Get32(&got[10]), r.offset);
    EXPECT_EQ(Get32(&got[18]), 37u);
    EXPECT_EQ(Get32(&got[22]), 23u);
    EXPECT_EQ(got[28], r.bits);
    EXPECT_EQ(Get32(&got[2]), got.size());
    if (r.bits == 24) {
      // Pixel (x 3, y 0): red 21, green 0, blue 3; the top row is the last row of the file.
      const uint8_t* top = got.data() + got.size() - 112;
      EXPECT_EQ(top[9], 3);
      EXPECT_EQ(top[10], 0);
      EXPECT_EQ(top[11], 21);
    }
  }
}

TEST(Twain, ShortBlocksAndCancelsGiveNoPicture) {
  for (const char* kind : {"short", "cancel"}) {
    UseDib(kind);
    Host host;
    TTwain twain(nullptr);
    twain.EnumerateSources(host.form->Handle());
    int pictures = 0;
    twain.OnAcquire = [&](TTwain&) { ++pictures; };
    twain.Acquire(host.form->Handle(), 0, 1);
    EXPECT_EQ(pictures, 0) << kind;
    EXPECT_EQ(twain.RefusedImages, std::string(kind) == "short" ? 1 : 0) << kind;
    EXPECT_EQ(twain.State, 2) << kind;
  }
}

TEST(TwainDialog, ListsTheSources) {
  struct Row {
    int sources;
    const char* text;
    bool acquire;
  } rows[] = {{1, "Stand-in scanner 1", true},
              {3, "(select device)", false},
              {0, "(no available devices)", false}};
  for (const Row& r : rows) {
    UseDib("24", r.sources);
    auto* d = new TTwainDialog(nullptr);
    EXPECT_EQ(d->Caption(), "Acquire");
    EXPECT_EQ(d->HelpContext, 62);
    EXPECT_EQ(d->cbTwainSources->Text(), r.text);
    EXPECT_EQ(d->btnAcquire->Enabled(), r.acquire);
    if (r.sources == 3) {
      d->cbTwainSources->SetItemIndex(1);
      d->cbTwainSources->OnChange(d->cbTwainSources);
      EXPECT_TRUE(d->btnAcquire->Enabled());
    }
    delete d;
  }
}

TEST(TwainDialog, ScansIntoAPictureWindowAndCannotCloseMeanwhile) {
  UseDib("24", 1);
  auto* main = new TViewerForm(nullptr);
  main->FinishCreate();
  main->Show();
  auto* d = new TTwainDialog(nullptr);
  d->Show();
  dialogtest::Pump();
  dialogtest::Screenshot(d->Handle(), "twain-acquire");
  const int before = PictureWindows();
  bool closable = true;
  auto open = d->Twain->OnAcquire;
  d->Twain->OnAcquire = [&](TTwain& t) {
    closable = d->CloseQuery();
    open(t);
  };
  d->AcquireClick();
  EXPECT_FALSE(closable);
  EXPECT_TRUE(d->CloseQuery());
  EXPECT_EQ(PictureWindows(), before + 1);
  TPictureWindow* w = nullptr;
  for (TForm* f : Screen.Forms)
    if (auto* p = dynamic_cast<TPictureWindow*>(f)) w = p;
  ASSERT_NE(w, nullptr);
  ASSERT_NE(w->Decoder, nullptr);
  EXPECT_EQ(w->Decoder->Width, 37);
  EXPECT_EQ(w->Decoder->Height, 23);
  delete d;
  delete main;
}
