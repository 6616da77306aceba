// Picture windows driven by their messages under the real window system: every format of the
// independent test files decoded to the end with the status showing its headline, an animation
// running its frames, a picture larger than the screen fitted, palette screens, and a close
// during decoding that stops the decoder.
#include "viewers/picture/PictureWindow.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <set>

#include "foundation/DialogDriver_test.h"
#include "foundation/uFiles.h"
#include "foundation/uUtil.h"
#include "framework/Application.h"
#include "imaging/formats/gWMFWin.h"
#include "imaging/uGraphic.h"
#include "tests/TestSupport.h"

namespace {
struct Formats {
  Formats() {
    InstallMetafileReader();
    RegisterAllFormats();
  }
} formats;

using dialogtest::PumpUntil;

// The picture window opened last.
TPictureWindow* LastPictureWindow() {
  for (auto it = Screen.Forms.rbegin(); it != Screen.Forms.rend(); ++it)
    if (auto* w = dynamic_cast<TPictureWindow*>(*it)) return w;
  return nullptr;
}

int PictureWindowCount() {
  int n = 0;
  for (TForm* f : Screen.Forms) n += dynamic_cast<TPictureWindow*>(f) != nullptr;
  return n;
}

TPictureWindow* Open(const std::string& path) {
  std::unique_ptr<TStream> file = OpenFileStream(path);
  if (!file) return nullptr;
  auto stream = std::make_unique<tBuffStream>(path, std::move(file), false);
  if (!OpenPictureWindow(nullptr, stream.get(), 0)) return nullptr;
  stream.release();
  return LastPictureWindow();
}

bool Decoded(TPictureWindow* w) {
  return w->StatusMode == psDone && w->Decoder && !w->Decoder->Busy;
}

void CloseAndWait(TPictureWindow* w) {
  const int before = PictureWindowCount();
  w->Close();
  EXPECT_TRUE(PumpUntil([&] { return PictureWindowCount() < before; }, 5000));
}

std::string Data(const char* relative) { return testsupport::TestData(relative).string(); }
}  // namespace

class PictureWindowFormats : public testing::TestWithParam<const char*> {};

TEST_P(PictureWindowFormats, DecodesToTheEndWithItsHeadline) {
  TPictureWindow* w = Open(Data(GetParam()));
  ASSERT_NE(w, nullptr) << GetParam();
  ASSERT_TRUE(PumpUntil([&] { return Decoded(w); })) << GetParam();
  EXPECT_EQ(w->Decoder->ErrorCode, 0) << GetParam();
  EXPECT_GE(w->FrameCount, 1);
  ASSERT_TRUE(w->Display && !w->Display->Empty());
  EXPECT_EQ(w->Display->Width(), w->Decoder->DisplayWidth);
  EXPECT_EQ(w->Display->Height(), w->Decoder->DisplayHeight);
  EXPECT_EQ(w->StatusBar->PanelText(0), w->Decoder->InfoHeadline());
  EXPECT_EQ(w->Caption(), ExtractFileName(Data(GetParam())));
  // Done: Stop is off, Close on; Loop only for more than one frame.
  EXPECT_FALSE(w->StopButton->Enabled());
  EXPECT_TRUE(w->QuitButton->Enabled());
  EXPECT_EQ(w->LoopButton->Enabled(), w->FrameCount >= 2);
  PumpUntil([&] { return w->Painted != 0; }, 3000);
  EXPECT_EQ(w->Painted, 1);
  CloseAndWait(w);
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, PictureWindowFormats,
                         testing::Values("gif/flag_fr.gif", "gif/video-001.interlaced.gif",
                                         "jpeg/video-001.jpeg", "jpeg/video-001.progressive.jpeg",
                                         "jpeg/video-005.gray.jpeg", "png/basn2c08.png",
                                         "png/basi3p02.png", "png/basn6a08.png", "bmp/pal8.bmp",
                                         "bmp/rgb24.bmp", "bmp/pal4rle.bmp", "tga/ctc24.tga",
                                         "tga/cbw8.tga", "tiff/video-001-uncompressed.tiff",
                                         "tiff/blue-purple-pink.lzwcompressed.tiff",
                                         "tiff/bw-packbits.tiff", "ico/llama-blue.ico",
                                         "pcx/green.pcx", "wmf/sample2.wmf"));

TEST(PictureWindow, NonPicturesOpenNoWindow) {
  const int before = PictureWindowCount();
  EXPECT_EQ(Open(Data("README.md")), nullptr);
  EXPECT_EQ(PictureWindowCount(), before);
}

namespace {
// What the window showed right after each frame delay began (seen after its handler returned):
// a slow machine may run several frames within one round of messages.
struct DelaySeen {
  int delays = 0;
  bool skipOn = true, stopOn = true, loopOff = true;
};
DelaySeen* delaySeen = nullptr;
TPictureWindow* delayWindow = nullptr;

LRESULT CALLBACK AfterMessage(int code, WPARAM w, LPARAM l) {
  auto* m = reinterpret_cast<CWPRETSTRUCT*>(l);
  if (code == HC_ACTION && delaySeen && delayWindow && m->hwnd == delayWindow->Handle() &&
      m->message == WM_GRAPHIC_DELAY) {
    ++delaySeen->delays;
    delaySeen->skipOn &= delayWindow->DelayButton->Enabled();
    delaySeen->stopOn &= delayWindow->StopButton->Enabled();
    delaySeen->loopOff &= !delayWindow->LoopButton->Enabled();
  }
  return CallNextHookEx(nullptr, code, w, l);
}
}  // namespace

TEST(PictureWindow, AnimationRunsItsFramesWithTheirDelays) {
  DelaySeen seen;
  delaySeen = &seen;
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROCRET, &AfterMessage, nullptr, GetCurrentThreadId());
  TPictureWindow* w = Open(Data("gif/anim_dog.gif"));
  ASSERT_NE(w, nullptr);
  delayWindow = w;
  // Between frames the window waits out each delay with Stop and Skip on.
  ASSERT_TRUE(PumpUntil([&] { return Decoded(w); }));
  UnhookWindowsHookEx(hook);
  delaySeen = nullptr;
  delayWindow = nullptr;
  EXPECT_GE(seen.delays, 3);
  EXPECT_TRUE(seen.skipOn);
  EXPECT_TRUE(seen.stopOn);
  EXPECT_TRUE(seen.loopOff);
  EXPECT_EQ(w->FrameCount, 4);
  EXPECT_TRUE(w->LoopButton->Enabled());
  // Loop replays the frames until Stop.
  w->LoopButton->Click();
  ASSERT_TRUE(PumpUntil([&] { return w->Replaying && w->DelayTimer->Enabled(); }));
  w->StopButton->Click();
  ASSERT_TRUE(PumpUntil([&] { return Decoded(w) && !w->DelayTimer->Enabled(); }));
  EXPECT_EQ(w->Replaying, 0);
  CloseAndWait(w);
}

TEST(PictureWindow, APictureLargerThanTheScreenIsFitted) {
  // A picture of twice the screen each way, made here.
  int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  const int width = sw * 2, height = sh * 2;
  std::vector<uint8_t> bmp(54 + size_t(width) * 3 * height);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bmp[at + i] = uint8_t(v >> (8 * i));
  };
  bmp[0] = 'B';
  bmp[1] = 'M';
  put32(2, uint32_t(bmp.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, uint32_t(width));
  put32(22, uint32_t(height));
  bmp[26] = 1;
  bmp[28] = 24;
  for (size_t i = 54; i < bmp.size(); ++i) bmp[i] = uint8_t(i * 7);
  auto dir = testsupport::ScratchDir("picturewindow");
  testsupport::WriteFile(dir / "big.bmp", bmp);
  TPictureWindow* w = Open((dir / "big.bmp").string());
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return Decoded(w); }));
  // The window fills the work area, frame and caption included.
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  EXPECT_NEAR(w->Height(), work.bottom - work.top, 2);
  EXPECT_NEAR(w->Width(), work.right - work.left, 2);
  EXPECT_LE(w->Height(), sh);
  EXPECT_LE(w->Width(), sw);
  // Both bars range over the whole picture, and the paint box holds it.
  EXPECT_EQ(w->PicScroller->HorzScrollBar().Range, width);
  EXPECT_EQ(w->PicScroller->VertScrollBar().Range, height);
  EXPECT_EQ(w->PaintBox->Width(), width);
  EXPECT_EQ(w->PaintBox->Height(), height);
  EXPECT_GT(w->PicScroller->HorzScrollBar().Increment, 1);
  // End scrolls to the far corner, Home back.
  w->ArrowScroll(5);
  EXPECT_EQ(w->PicScroller->HorzScrollBar().Position, w->PicScroller->MaxPosition(false));
  EXPECT_GT(w->PicScroller->VertScrollBar().Position, 0);
  EXPECT_LT(w->PaintBox->Left(), 0);
  w->ArrowScroll(4);
  EXPECT_EQ(w->PicScroller->HorzScrollBar().Position, 0);
  EXPECT_EQ(w->PaintBox->Left(), 0);
  CloseAndWait(w);
}

TEST(PictureWindow, SmallPicturesKeepTheLeastHeightAndAreCentred) {
  TPictureWindow* w = Open(Data("png/basn2c08.png"));  // 32 x 32
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return Decoded(w); }));
  EXPECT_GE(w->PicScroller->ClientHeight(), 128);
  EXPECT_GT(w->PaintOrigin.x, 0);
  EXPECT_GT(w->PaintOrigin.y, 0);
  // The window cannot be dragged smaller than 120 x 130.
  MINMAXINFO info{};
  w->Send(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 120);
  EXPECT_EQ(info.ptMinTrackSize.y, 130);
  CloseAndWait(w);
}

TEST(PictureWindow, PaletteScreensGetPalettePictures) {
  for (int bits : {8, 4}) {
    TPictureWindow::ScreenBitsOverride = bits;
    TPictureWindow* w = Open(Data("jpeg/video-001.jpeg"));
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return Decoded(w); }));
    DIBSECTION ds{};
    ASSERT_EQ(GetObjectW(w->Display->Handle(), sizeof ds, &ds), int(sizeof ds));
    EXPECT_LE(ds.dsBmih.biBitCount, 8) << bits;
    EXPECT_NE(w->Display->Palette(), nullptr) << bits;
    if (bits == 4) {
      // The 16 standard colours at most.
      RGBQUAD table[256];
      UINT n = GetDIBColorTable(w->Display->Canvas().Handle(), 0, 256, table);
      std::set<uint32_t> colours;
      for (UINT i = 0; i < n; ++i)
        colours.insert(uint32_t(table[i].rgbRed) << 16 | table[i].rgbGreen << 8 | table[i].rgbBlue);
      EXPECT_LE(colours.size(), 16u);
    }
    CloseAndWait(w);
  }
  TPictureWindow::ScreenBitsOverride = 0;
}

TEST(PictureWindow, ClosingWhileDecodingStopsTheDecoderFirst) {
  const uint16_t saved = GraphicOptions;
  GraphicOptions |= goDisplayInterlace;
  TPictureWindow* w = Open(Data("jpeg/video-001.progressive.jpeg"));
  ASSERT_NE(w, nullptr);
  // The close arrives while the first partial picture is shown: it stops the decoder and the
  // window stays.
  w->Post(WM_CLOSE);
  ASSERT_TRUE(PumpUntil([&] { return Decoded(w); }));
  GraphicOptions = saved;
  EXPECT_EQ(w->Decoder->Abort, 1);
  EXPECT_EQ(LastPictureWindow(), w);
  EXPECT_TRUE(w->QuitButton->Enabled());
  // Asked again, it closes.
  CloseAndWait(w);
}

// With TAVIS_SCREENSHOT_DIR set: a photo, an 8-bit picture reduced for a palette screen, and an
// animation between two frames, as a user sees them.
TEST(PictureWindow, Screenshots) {
  const char* dir = std::getenv("TAVIS_SCREENSHOT_DIR");
  if (!dir || !*dir) GTEST_SKIP() << "TAVIS_SCREENSHOT_DIR not set";
  auto shoot = [](TPictureWindow* w, const std::string& name) {
    w->SetBounds(30, 30, w->Width(), w->Height());
    PumpUntil([&] { return w->Painted != 0; }, 3000);
    for (int i = 0; i < 20; ++i) {
      Application.ProcessMessages();
      Sleep(10);
    }
    dialogtest::Screenshot(w->Handle(), name);
  };
  TPictureWindow* w = Open(Data("jpeg/video-001.jpeg"));
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return Decoded(w); }));
  shoot(w, "picture-photo");
  CloseAndWait(w);
  TPictureWindow::ScreenBitsOverride = ScreenColorBits() <= 8 ? 0 : 8;
  w = Open(Data("png/basn3p08.png"));
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return Decoded(w); }));
  shoot(w, "picture-8bit");
  CloseAndWait(w);
  w = Open(Data("jpeg/video-001.jpeg"));
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return Decoded(w); }));
  shoot(w, "picture-photo-on-256-colours");
  CloseAndWait(w);
  TPictureWindow::ScreenBitsOverride = 0;
  w = Open(Data("gif/anim_dog.gif"));
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return w->FrameCount >= 2 && w->StatusMode == psDelay; }));
  // Taken at once, while the frame's delay runs.
  w->SetBounds(30, 30, w->Width(), w->Height());
  w->Repaint();
  dialogtest::Screenshot(w->Handle(), "picture-animation");
  PumpUntil([&] { return Decoded(w); });
  CloseAndWait(w);
}

namespace {
// An uncompressed TIFF of grey 8 x 8 pages, each page a flat level, chained IFD to IFD.
std::vector<uint8_t> GreyPagesTiff(const std::vector<uint8_t>& levels) {
  std::vector<uint8_t> f = {'I', 'I', 42, 0, 0, 0, 0, 0};
  auto put16 = [&](uint16_t v) {
    f.push_back(uint8_t(v));
    f.push_back(uint8_t(v >> 8));
  };
  auto put32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) f.push_back(uint8_t(v >> (8 * i)));
  };
  auto set32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) f[at + i] = uint8_t(v >> (8 * i));
  };
  size_t link = 4;  // where the next IFD's offset goes
  for (uint8_t level : levels) {
    const uint32_t pixels = uint32_t(f.size());
    f.insert(f.end(), 64, level);
    set32(link, uint32_t(f.size()));
    const struct {
      uint16_t tag, type;
      uint32_t value;
    } entries[] = {{256, 3, 8},      {257, 3, 8}, {258, 3, 8}, {259, 3, 1}, {262, 3, 1},
                   {273, 4, pixels}, {277, 3, 1}, {278, 3, 8}, {279, 4, 64}};
    put16(uint16_t(std::size(entries)));
    for (auto& e : entries) {
      put16(e.tag);
      put16(e.type);
      put32(1);
      if (e.type == 3) {
        put16(uint16_t(e.value));
        put16(0);
      } else {
        put32(e.value);
      }
    }
    link = f.size();
    put32(0);
  }
  return f;
}
}  // namespace

TEST(PictureWindow, PagesWaitForTheNextButton) {
  auto dir = testsupport::ScratchDir("picturepages");
  testsupport::WriteFile(dir / "pages.tif", GreyPagesTiff({40, 120, 200}));
  TPictureWindow* w = Open((dir / "pages.tif").string());
  ASSERT_NE(w, nullptr);
  // The first page, then a pause with Next and the commands on.
  ASSERT_TRUE(PumpUntil([&] { return w->StatusMode == psPaused; }));
  EXPECT_EQ(w->FrameCount, 1);
  EXPECT_TRUE(w->NextButton->Enabled());
  EXPECT_FALSE(w->StopButton->Enabled());
  EXPECT_EQ(w->Display->Canvas().Pixel(3, 3), RGB(40, 40, 40));
  w->NextButton->Click();
  ASSERT_TRUE(PumpUntil([&] { return w->FrameCount == 2 && w->StatusMode == psPaused; }));
  EXPECT_EQ(w->Display->Canvas().Pixel(3, 3), RGB(120, 120, 120));
  // Enter is the Next button's key.
  w->KeyPreview = true;
  MSG msg{w->QuitButton->Handle(), WM_KEYUP, VK_RETURN, 0, 0, {}};
  w->PreviewKey(msg);
  ASSERT_TRUE(PumpUntil([&] { return Decoded(w); }));
  EXPECT_EQ(w->FrameCount, 3);
  EXPECT_EQ(w->Display->Canvas().Pixel(3, 3), RGB(200, 200, 200));
  EXPECT_FALSE(w->NextButton->Enabled());
  CloseAndWait(w);
}
