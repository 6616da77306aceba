// The picture window's commands under the real window system: saving in every format through
// the save dialog (read back by our own readers), a failed save that is reported and keeps the
// picture unsaved, the wallpaper set and read back from the system, the adjustment tool applying
// and resetting, the zoom window and magnifier opening and closing by click and key, and copying
// to the clipboard, and the companion dialogs the commands open once the program connected them.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <functional>

#include "foundation/DialogDriver_test.h"
#include "foundation/uFiles.h"
#include "framework/Application.h"
#include "framework/Clipboard.h"
#include "imaging/uGraphic.h"
#include "tests/PrintedPages.h"
#include "tests/TestSupport.h"
#include "viewers/picture/CommentWindow.h"
#include "viewers/picture/DetailsWindow.h"
#include "viewers/picture/FullClipDialog.h"
#include "viewers/picture/PaletteDialog.h"
#include "viewers/picture/PictureCompanions.h"
#include "viewers/picture/PictureDialogs.h"
#include "viewers/picture/PictureWindow.h"
#include "viewers/picture/SaveDialog.h"
#include "viewers/picture/TweakForm.h"
#include "viewers/picture/ZoomWindow.h"

namespace {
namespace fs = std::filesystem;
using dialogtest::TDriver;

// The formats are registered by the picture window tests of this program.
using dialogtest::PumpUntil;

template <class T>
T* FindForm() {
  for (auto it = Screen.Forms.rbegin(); it != Screen.Forms.rend(); ++it)
    if (auto* f = dynamic_cast<T*>(*it)) return f;
  return nullptr;
}

// A copy of a test picture in a scratch folder, opened and decoded in a window.
class PictureCommands : public testing::Test {
 protected:
  TPictureWindow* Open(const char* relative, const std::string& scratch) {
    dir_ = testsupport::ScratchDir(scratch);
    const fs::path source = testsupport::TestData(relative);
    file_ = (dir_ / source.filename()).string();
    // The test files are read-only: the copy is made writable, so that it can go again.
    std::error_code ec;
    fs::permissions(file_, fs::perms::owner_write, fs::perm_options::add, ec);
    fs::copy_file(source, file_, fs::copy_options::overwrite_existing);
    fs::permissions(file_, fs::perms::owner_write, fs::perm_options::add);
    return OpenFile();
  }
  // The picture at file_, in a scratch folder dir_.
  TPictureWindow* OpenFile() {
    auto stream = std::make_unique<tBuffStream>(file_, OpenFileStream(file_), false);
    if (!OpenPictureWindow(nullptr, stream.get(), 0)) return nullptr;
    stream.release();
    TPictureWindow* w = FindForm<TPictureWindow>();
    if (!w || !PumpUntil([&] { return w->StatusMode == psDone && w->Painted; })) return nullptr;
    window_ = w;
    return w;
  }
  void TearDown() override {
    if (window_) {
      window_->Saved = 1;
      window_->Close();
      PumpUntil([] { return FindForm<TPictureWindow>() == nullptr; }, 5000);
    }
  }
  // Clicks a button of the window while the driver's steps run in the modal loops it opens.
  void ClickWith(TBitBtn* button, TDriver& driver) {
    driver.Start();
    button->Click();
    PumpUntil([&] { return driver.Finished(); }, 20000);
    EXPECT_FALSE(driver.TimedOut());
  }
  fs::path dir_;
  std::string file_;
  TPictureWindow* window_ = nullptr;
};

// The dialog's OK pressed after its tab is chosen (as a click on the tab would).
TDriver::Step SaveOn(int page, const std::function<void(TSaveDialog&)>& more = {}) {
  return [page, more]() {
    TSaveDialog* d = FindForm<TSaveDialog>();
    if (!d || !IsWindowVisible(d->Handle())) return false;
    d->Tabs->SetTabIndex(page);
    d->Tabs->OnChange(d->Tabs);
    if (more) more(*d);
    static const char* const kNames[] = {"gif", "pcx", "bmp", "tga", "tif", "jpg", "png"};
    dialogtest::Screenshot(d->Handle(), std::string("save-dialog-") + kNames[page]);
    PostMessageW(d->btnOK->Handle(), BM_CLICK, 0, 0);
    return true;
  };
}

BOOL CALLBACK AddChildText(HWND c, LPARAM p) {
  *reinterpret_cast<std::string*>(p) += dialogtest::WindowText(c) + " | ";
  return TRUE;
}

// Waits for the save to end; an error box is a failure, reported with its text, and closed.
TDriver::Step SaveEnded(TPictureWindow* w, const std::string& before) {
  return [w, before]() {
    if (HWND e = dialogtest::FindForm("Error")) {
      std::string text;
      EnumChildWindows(e, &AddChildText, reinterpret_cast<LPARAM>(&text));
      ADD_FAILURE() << "save failed: " << text;
      return dialogtest::PressButton("Error", "OK");
    }
    return FindForm<TSaveDialog>() == nullptr && w->LastSave != before;
  };
}

TEST_F(PictureCommands, SavesEveryFormatThroughTheDialog) {
  TPictureWindow* w = Open("bmp/rgb24.bmp", "pic_save_all");
  ASSERT_NE(w, nullptr);
  const uint8_t expected[] = {fmtGIF, fmtPCX, fmtBMP, fmtTGA, fmtTIF, fmtJPG, fmtPNG};
  for (int page = 0; page < 7; ++page) {
    SCOPED_TRACE(page);
    TDriver d;
    d.Then(SaveOn(page)).Then(SaveEnded(w, w->LastSave));
    ClickWith(w->SaveButton, d);
    ASSERT_FALSE(w->LastSave.empty());
    EXPECT_NE(w->LastSave, file_);
    ASSERT_TRUE(fs::exists(w->LastSave)) << w->LastSave;
    // Read back by our own registry: the format and size the dialog asked for.
    auto in = std::make_unique<tBuffStream>(w->LastSave, OpenFileStream(w->LastSave), false);
    tGraphicID id(in.get());
    ASSERT_TRUE(id.IdentifyPicture());
    in.release();
    EXPECT_EQ(id.FormatId, expected[page]);
    EXPECT_EQ(id.Width, w->Display->Width());
    EXPECT_EQ(id.Height, w->Display->Height());
  }
  // The user's last choices are offered again: the record holds the PNG page.
  TDriver again;
  again.Then([] {
    TSaveDialog* d = FindForm<TSaveDialog>();
    if (!d || !IsWindowVisible(d->Handle())) return false;
    EXPECT_EQ(d->Tabs->TabIndex(), sfPNG);
    PostMessageW(d->btnCancel->Handle(), BM_CLICK, 0, 0);
    return true;
  });
  const std::string before = w->LastSave;
  ClickWith(w->SaveButton, again);
  EXPECT_EQ(w->LastSave, before);
}

TEST_F(PictureCommands, FailedSaveIsReportedAndThePictureStaysUnsaved) {
  TPictureWindow* w = Open("bmp/pal8.bmp", "pic_save_fail");
  ASSERT_NE(w, nullptr);
  w->Saved = 0;  // as an acquired picture
  w->Decoder->FileName = (dir_ / "gone" / "pal8.bmp").string();
  TDriver d;
  d.Then(SaveOn(sfPNG)).Then([] { return dialogtest::PressButton("Error", "OK"); });
  ClickWith(w->SaveButton, d);
  EXPECT_EQ(w->Saved, 0);
  EXPECT_FALSE(fs::exists(w->LastSave));
  // Closing now asks first.
  TDriver ask;
  bool asked = false;
  ask.Then([&] {
    asked = dialogtest::PressButton("Confirm", "&Yes");
    return asked;
  });
  ask.Start();
  w->Close();
  PumpUntil([&] { return ask.Finished(); }, 20000);
  EXPECT_TRUE(asked);
  PumpUntil([] { return FindForm<TPictureWindow>() == nullptr; }, 5000);
  window_ = nullptr;
}

TEST_F(PictureCommands, WallpaperIsSavedAsBmpAndSetForTheDesktop) {
  TPictureWindow* w = Open("bmp/pal8.bmp", "pic_wallpaper");
  ASSERT_NE(w, nullptr);
  // The desktop gets its own wallpaper back, so later pictures of the screen show no trace.
  wchar_t before[MAX_PATH] = {};
  SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, before, 0);
  TDriver d;
  d.Then(SaveOn(sfBMP, [](TSaveDialog& dlg) { dlg.chkWallpaper->SetChecked(true); }));
  ClickWith(w->SaveButton, d);
  ASSERT_TRUE(fs::exists(w->LastSave)) << w->LastSave;
  EXPECT_EQ(ExtractFilePath(w->LastSave), AddBackslash(WindowsDirectory()));
  wchar_t paper[MAX_PATH] = {};
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETDESKWALLPAPER, MAX_PATH, paper, 0));
  EXPECT_EQ(WideToUtf8(paper), w->LastSave);
  SystemParametersInfoW(SPI_SETDESKWALLPAPER, 0, before, SPIF_SENDCHANGE);
  fs::remove(w->LastSave);
}

std::vector<uint8_t> DisplayBits(TPictureWindow& w) {
  std::vector<uint8_t> info, bits;
  w.Display->GetDIB(info, bits);
  return bits;
}

TEST_F(PictureCommands, AdjustmentToolChangesAndResetsThePicture) {
  TPictureWindow* w = Open("bmp/rgb24.bmp", "pic_tweak");
  ASSERT_NE(w, nullptr);
  const std::vector<uint8_t> original = DisplayBits(*w);
  const int width = w->Display->Width(), height = w->Display->Height();
  w->TweakButton->Click();
  TTweakForm* t = FindForm<TTweakForm>();
  ASSERT_NE(t, nullptr);
  EXPECT_FALSE(w->TweakButton->Enabled());
  t->Sliders[tsBright]->SetPosition(80);
  dialogtest::Pump();
  dialogtest::Screenshot(GetDesktopWindow(), "tweak-beside-picture");
  PostMessageW(t->btnApply->Handle(), BM_CLICK, 0, 0);
  PumpUntil([&] { return w->Adjusted == 1; }, 5000);
  EXPECT_EQ(w->SliderValues[tsBright], 80);
  EXPECT_NE(DisplayBits(*w), original);
  // A quarter turn swaps the sides.
  t->SetRotation(1);
  PostMessageW(t->btnApply->Handle(), BM_CLICK, 0, 0);
  PumpUntil([&] { return w->Rotation == 1; }, 5000);
  EXPECT_EQ(w->Display->Width(), height);
  EXPECT_EQ(w->Display->Height(), width);
  PostMessageW(t->btnReset->Handle(), BM_CLICK, 0, 0);
  PumpUntil([&] { return w->Adjusted == 0 && w->Rotation == 0; }, 5000);
  EXPECT_EQ(DisplayBits(*w), original);
  PostMessageW(t->btnClose->Handle(), BM_CLICK, 0, 0);
  PumpUntil([] { return FindForm<TTweakForm>() == nullptr; }, 5000);
  EXPECT_TRUE(w->TweakButton->Enabled());
}

TEST_F(PictureCommands, ZoomWindowsOpenAndCloseByClickAndKey) {
  TPictureWindow* w = Open("bmp/rgb24.bmp", "pic_zoom");
  ASSERT_NE(w, nullptr);
  auto shown = [] { return ZoomWindow && IsWindowVisible(ZoomWindow->Handle()); };
  // The magnifier, closed by a key.
  TDriver magnifier;
  magnifier.Then([&] {
    if (!shown()) return false;
    EXPECT_TRUE(ZoomWindow->Magnifier);
    dialogtest::Screenshot(ZoomWindow->Handle(), "magnifier");
    PostMessageW(ZoomWindow->Handle(), WM_KEYDOWN, VK_SPACE, 0);
    return true;
  });
  ClickWith(w->ZoomButton, magnifier);
  EXPECT_EQ(ZoomWindow, nullptr);
  // Full screen, closed by a click.
  TDriver full;
  full.Then([&] {
    if (!shown()) return false;
    EXPECT_FALSE(ZoomWindow->Magnifier);
    PostMessageW(ZoomWindow->PaintBox->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    return true;
  });
  ClickWith(w->FullScreenButton, full);
  EXPECT_EQ(ZoomWindow, nullptr);
  // A selection dragged on the picture zooms it; a thin one does not.
  TDriver zoomed;
  zoomed.Then([&] {
    if (!shown()) return false;
    EXPECT_EQ(ZoomWindow->SourceWidth, 20);
    PostMessageW(ZoomWindow->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    return true;
  });
  zoomed.Start();
  const int ox = w->PaintOrigin.x, oy = w->PaintOrigin.y;
  w->PictureMouseDown(mbLeft, ox + 4, oy + 4);
  w->PictureMouseMove(ox + 24, oy + 24);
  w->PictureMouseUp(mbLeft, ox + 24, oy + 24);
  PumpUntil([&] { return zoomed.Finished(); }, 20000);
  EXPECT_EQ(w->ZoomShown, 1);
  EXPECT_EQ(w->Selection.left, 4);
  EXPECT_EQ(w->Selection.right, 24);
  w->PictureMouseDown(mbLeft, ox + 4, oy + 4);
  w->PictureMouseUp(mbLeft, ox + 10, oy + 50);
  EXPECT_EQ(w->ZoomShown, 0);
}

bool ClipboardSize(int& width, int& height) {
  std::vector<uint8_t> image;
  if (!GetClipboardBmpImage(image) || image.size() < 26) return false;
  const auto* info = reinterpret_cast<const BITMAPINFOHEADER*>(image.data() + 14);
  width = info->biWidth;
  height = std::abs(info->biHeight);
  return true;
}

TEST_F(PictureCommands, CopyPutsTheWholePictureOrTheSelectionOnTheClipboard) {
  TPictureWindow* w = Open("bmp/rgb24.bmp", "pic_copy");
  ASSERT_NE(w, nullptr);
  w->Selection = RECT{};
  w->CopyButton->Click();
  int cw = 0, ch = 0;
  ASSERT_TRUE(ClipboardSize(cw, ch));
  EXPECT_EQ(cw, w->Display->Width());
  EXPECT_EQ(ch, w->Display->Height());
  // The part, when the whole-or-part dialog answers so: one pixel less than a save of it.
  SetFullOrClipChooser([](TForm*, TBitmap&, const RECT&, const std::string&) { return 2; });
  w->Selection = RECT{30, 20, 10, 5};
  w->CopyButton->Click();
  SetFullOrClipChooser(nullptr);
  ASSERT_TRUE(ClipboardSize(cw, ch));
  EXPECT_EQ(cw, 20);
  EXPECT_EQ(ch, 15);
  // The clipboard's picture opens as a picture of its own.
  ASSERT_TRUE(OpenClipboardPicture(nullptr, dir_.string()));
  TPictureWindow* clip = FindForm<TPictureWindow>();
  ASSERT_NE(clip, w);
  EXPECT_TRUE(PumpUntil([&] { return clip->StatusMode == psDone; }, 10000));
  EXPECT_EQ(clip->Decoder->Width, 20);
  EXPECT_FALSE(clip->EncodeButton->Enabled());
  clip->Close();
  PumpUntil([&] { return FindForm<TPictureWindow>() == w; }, 5000);
}
}  // namespace

namespace {
TEST_F(PictureCommands, EncodeWritesTheFileOnceAndIsThenOff) {
  TPictureWindow* w = Open("gif/flag_fr.gif", "pic_encode");
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(w->EncodeButton->Enabled());
  TDriver d;
  d.Then([] { return dialogtest::PressButton("Confirm", "&Yes"); }).Then([] {
    return dialogtest::PressButton("Information", "OK");
  });
  ClickWith(w->EncodeButton, d);
  int encoded = 0;
  for (const auto& e : fs::directory_iterator(dir_)) encoded += e.path().extension() == ".xxe";
  EXPECT_EQ(encoded, 1);
  EXPECT_FALSE(w->EncodeButton->Enabled());
  w->ShowStatus(psDone);
  EXPECT_FALSE(w->EncodeButton->Enabled());
}
}  // namespace

namespace {
template <class T>
T* VisibleForm() {
  T* f = FindForm<T>();
  return f && IsWindowVisible(f->Handle()) ? f : nullptr;
}

// The program connects the real dialogs at start; the other tests here run with the fallbacks.
class PictureCompanionDialogs : public PictureCommands {
 protected:
  void SetUp() override {
    ConnectPictureDialogs();
    CommentsProgramFile = (testsupport::ScratchDir("pic_companions_cmt") / "Tavishore32.exe").string();
  }
  void TearDown() override {
    PictureCommands::TearDown();
    SetFullOrClipChooser(nullptr);
    SetDetailsShower(nullptr);
    SetCommentsEditor(nullptr);
    SetPaletteColorChooser(nullptr);
    CommentsProgramFile.clear();
  }
};

TEST_F(PictureCompanionDialogs, DetailsOpenBesideThePictureAndFreeTheButtonWhenClosed) {
  TPictureWindow* w = Open("bmp/pal8.bmp", "pic_companions_details");
  ASSERT_NE(w, nullptr);
  ASSERT_TRUE(w->DocButton->Enabled());
  w->DocButton->Click();
  TDocWindow* doc = nullptr;
  ASSERT_TRUE(PumpUntil([&] { return (doc = VisibleForm<TDocWindow>()) != nullptr; }, 5000));
  EXPECT_EQ(doc->Caption(), "pal8.bmp details");
  EXPECT_EQ(doc->PaletteCount(), 252);
  EXPECT_FALSE(w->DocButton->Enabled());
  dialogtest::Screenshot(GetDesktopWindow(), "details-window");
  doc->Close();
  EXPECT_TRUE(PumpUntil([] { return FindForm<TDocWindow>() == nullptr; }, 5000));
  EXPECT_TRUE(w->DocButton->Enabled());
}

TEST_F(PictureCompanionDialogs, CopyOfASelectionAsksWholeOrPart) {
  TPictureWindow* w = Open("bmp/pal8.bmp", "pic_companions_copy");
  ASSERT_NE(w, nullptr);
  w->Selection = RECT{10, 10, 40, 30};
  TDriver d;
  d.Then([] {
    TFullClipDlg* dlg = VisibleForm<TFullClipDlg>();
    if (!dlg) return false;
    EXPECT_EQ(dlg->Caption(), "Copy to clipboard...");
    EXPECT_TRUE(dlg->FullBtn->Down());
    dialogtest::Screenshot(dlg->Handle(), "full-or-clip");
    dlg->PartBtn->Click();
    PostMessageW(dlg->OKBtn->Handle(), BM_CLICK, 0, 0);
    return true;
  });
  ClickWith(w->CopyButton, d);
  int cw = 0, ch = 0;
  ASSERT_TRUE(ClipboardSize(cw, ch));
  EXPECT_EQ(cw, 30);
  EXPECT_EQ(ch, 20);
}

TEST_F(PictureCompanionDialogs, SaveDialogOpensThePaletteAndCommentsDialogs) {
  TPictureWindow* w = Open("bmp/pal8.bmp", "pic_companions_save");
  ASSERT_NE(w, nullptr);
  bool palette = false, comments = false;
  TDriver d;
  d.Then([] {
     TSaveDialog* s = VisibleForm<TSaveDialog>();
     if (!s) return false;
     s->Tabs->SetTabIndex(sfGIF);
     s->Tabs->OnChange(s->Tabs);
     EXPECT_TRUE(s->btnSpecial->Enabled());
     EXPECT_TRUE(s->btnComments->Enabled());
     PostMessageW(s->btnSpecial->Handle(), BM_CLICK, 0, 0);
     return true;
   })
      .Then([&] {
        TPaletteDialog* p = VisibleForm<TPaletteDialog>();
        if (!p) return false;
        palette = true;
        dialogtest::Screenshot(p->Handle(), "palette-dialog");
        PostMessageW(p->CancelBtn->Handle(), BM_CLICK, 0, 0);
        return true;
      })
      .Then([] {
        TSaveDialog* s = VisibleForm<TSaveDialog>();
        if (!s || VisibleForm<TPaletteDialog>()) return false;
        PostMessageW(s->btnComments->Handle(), BM_CLICK, 0, 0);
        return true;
      })
      .Then([&] {
        TCommentWindow* c = VisibleForm<TCommentWindow>();
        if (!c) return false;
        comments = true;
        c->SetText("Said in the test");
        PostMessageW(c->CloseBtn->Handle(), BM_CLICK, 0, 0);
        return true;
      })
      .Then([] {
        TSaveDialog* s = VisibleForm<TSaveDialog>();
        if (!s || VisibleForm<TCommentWindow>()) return false;
        PostMessageW(s->btnCancel->Handle(), BM_CLICK, 0, 0);
        return true;
      })
      .Then([] { return VisibleForm<TSaveDialog>() == nullptr; });
  ClickWith(w->SaveButton, d);
  EXPECT_TRUE(palette);
  EXPECT_TRUE(comments);
  EXPECT_EQ(w->Decoder->FormatRemarks("", 1), "Said in the test");
}
}  // namespace

// Printing through the real printer (tests/PrintedPages.h): the page, made a picture again by
// pdftoppm, shows the picture the right way up, fitted to the page, in its own colours.
namespace {
struct tRgb {
  int r, g, b;
};
constexpr tRgb kQuarters[4] = {{255, 0, 0}, {0, 160, 0}, {0, 0, 255}, {255, 220, 0}};

// A picture of four flat quarters (red, green / blue, yellow), taller than wide.
std::vector<uint8_t> QuartersPpm(int width, int height) {
  const std::string head = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
  std::vector<uint8_t> data(head.begin(), head.end());
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const tRgb& c = kQuarters[(y >= height / 2) * 2 + (x >= width / 2)];
      data.insert(data.end(), {uint8_t(c.r), uint8_t(c.g), uint8_t(c.b)});
    }
  return data;
}

tRgb PixelAt(const testsupport::RgbImage& page, int x, int y) {
  const size_t i = (static_cast<size_t>(y) * page.width + x) * 3;
  return {page.samples[i], page.samples[i + 1], page.samples[i + 2]};
}

bool Near(const tRgb& a, const tRgb& b) {
  return std::abs(a.r - b.r) < 60 && std::abs(a.g - b.g) < 60 && std::abs(a.b - b.b) < 60;
}

// The smallest rectangle holding every pixel that is not paper white.
RECT InkBounds(const testsupport::RgbImage& page) {
  RECT r{page.width, page.height, 0, 0};
  for (int y = 0; y < page.height; ++y)
    for (int x = 0; x < page.width; ++x) {
      const tRgb p = PixelAt(page, x, y);
      if (p.r > 235 && p.g > 235 && p.b > 235) continue;
      r.left = std::min<LONG>(r.left, x);
      r.top = std::min<LONG>(r.top, y);
      r.right = std::max<LONG>(r.right, x + 1);
      r.bottom = std::max<LONG>(r.bottom, y + 1);
    }
  return r;
}

class PicturePrinting : public PictureCommands {
 protected:
  void SetUp() override {
    if (!output_.Start()) GTEST_SKIP() << "no printer (run in tests/cups-session)";
  }
  void TearDown() override {
    SetFullOrClipChooser(nullptr);
    PictureCommands::TearDown();
  }
  // Prints through the print dialog; the first page as a picture.
  bool PrintPage(TPictureWindow* w, testsupport::RgbImage& page) {
    TDriver d;
    d.Then([] { return dialogtest::PressButton("Print", "OK"); });
    ClickWith(w->PrintButton, d);
    const std::string pdf = output_.NextPdf();
    if (pdf.empty()) return false;
    const bool ok = output_.PagePicture(pdf, 20, page);
    output_.Remove(pdf);
    return ok;
  }
  testsupport::PrintOutput output_;
};

TEST_F(PicturePrinting, ATallPictureFillsAnUprightPageTheRightWayUp) {
  dir_ = testsupport::ScratchDir("pic_print_tall");
  file_ = (dir_ / "quarters.ppm").string();
  testsupport::WriteFile(file_, QuartersPpm(100, 160));
  TPictureWindow* w = OpenFile();
  ASSERT_NE(w, nullptr);
  testsupport::RgbImage page;
  ASSERT_TRUE(PrintPage(w, page));
  EXPECT_LT(page.width, page.height);
  const RECT ink = InkBounds(page);
  const int iw = ink.right - ink.left, ih = ink.bottom - ink.top;
  ASSERT_GT(iw, 0);
  // Fitted: as wide as the page but for its margins, in the picture's proportions.
  EXPECT_GT(iw, page.width * 8 / 10);
  EXPECT_NEAR(double(ih) / iw, 1.6, 0.06);
  for (int q = 0; q < 4; ++q) {
    const tRgb p = PixelAt(page, ink.left + iw / 4 + (q % 2) * iw / 2, ink.top + ih / 4 + (q / 2) * ih / 2);
    EXPECT_TRUE(Near(p, kQuarters[q])) << q << ": " << p.r << "," << p.g << "," << p.b;
  }
}

TEST_F(PicturePrinting, AWideSelectionPrintsOnALyingPage) {
  dir_ = testsupport::ScratchDir("pic_print_part");
  file_ = (dir_ / "quarters.ppm").string();
  testsupport::WriteFile(file_, QuartersPpm(100, 160));
  TPictureWindow* w = OpenFile();
  ASSERT_NE(w, nullptr);
  // A strip of the red quarter: its rows count from the top of the picture.
  SetFullOrClipChooser([](TForm*, TBitmap&, const RECT&, const std::string&) { return 2; });
  w->Selection = RECT{4, 10, 44, 30};
  testsupport::RgbImage page;
  ASSERT_TRUE(PrintPage(w, page));
  EXPECT_GT(page.width, page.height);
  const RECT ink = InkBounds(page);
  const int iw = ink.right - ink.left, ih = ink.bottom - ink.top;
  ASSERT_GT(iw, 0);
  EXPECT_NEAR(double(iw) / ih, 2.0, 0.1);
  for (int q = 0; q < 4; ++q) {
    const tRgb p = PixelAt(page, ink.left + iw / 4 + (q % 2) * iw / 2, ink.top + ih / 4 + (q / 2) * ih / 2);
    EXPECT_TRUE(Near(p, kQuarters[0])) << q << ": " << p.r << "," << p.g << "," << p.b;
  }
}
}  // namespace
