// More of the main window's commands through real messages: printing the folder's thumbnails
// through the real spooler; the buttons' hints under the real mouse.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <filesystem>

#include "foundation/DialogDriver_test.h"
#include "foundation/uFormat.h"
#include "framework/Application.h"
#include "framework/TrackBar.h"
#include "shell/ScratchSettings_test.h"
#include "framework/HintWindow.h"
#include "shell/ViewerForm.h"
#include "tests/MouseInput.h"
#include "tests/PrintedPages.h"
#include "tests/TestSupport.h"
#include "thumbnails/GalleryDialogs.h"

namespace fs = std::filesystem;

namespace {
// The windows of this program keep their settings in a scratch folder of their own.
const bool settingsReady = [] {
  StartCommandLine = "Tavishore32.exe";
  testsettings::UseScratchSettings("cmd2_ini");
  return true;
}();

// A main window on a folder of pictures (and one text file), once their thumbnails are made.
struct PictureWindow {
  TViewerForm* form;
  fs::path dir;
  explicit PictureWindow(const std::string& name) {
    dir = testsupport::ScratchDir("cmd2_" + name);
    for (const char* source : {"gif/flag_fr.gif", "png/basn2c08.png", "bmp/pal8.bmp"})
      fs::copy_file(testsupport::TestData(source), dir / fs::path(source).filename());
    testsupport::WriteFile(dir / "notes.txt", std::vector<uint8_t>(40, 'n'));
    form = new TViewerForm(nullptr);
    form->FinishCreate();
    form->SetBounds(30, 30, 630, 475);
    form->Show();
    SetForegroundWindow(form->Handle());
    form->Orvex_DirList1->SetDirectory(dir.string());
    dialogtest::PumpUntil([&] { return form->ThumbState() == 0 && Files().ThumbnailCount() == 3; });
  }
  ~PictureWindow() { delete form; }
  TOrvex_FileList& Files() { return *form->Orvex_FileList1; }
};

// A file menu item chosen by its command number, as the menu reports it.
bool ChooseFileCommand(TViewerForm* form, int tag) {
  form->filePopup->Handle();
  const bool taken = form->filePopup->DispatchCommand(form->filePopup->FindItemByTag(tag)->Command());
  dialogtest::Pump();
  return taken;
}

// The file popup brought up (its items set for the state) and closed again.
void PopUpFileMenu(TViewerForm* form) {
  dialogtest::TDriver close;
  close.Then([] { return FindWindowW(L"#32768", nullptr) && EndMenu(); });
  close.Start();
  form->ShowFilePopup();
  dialogtest::Pump();
}

class MainWindowPrint : public testing::Test {
 protected:
  void SetUp() override {
    if (!output_.Start()) GTEST_SKIP() << "no printer (run in tests/cups-session)";
  }
  testsupport::PrintOutput output_;
};
}  // namespace

TEST_F(MainWindowPrint, PrintsTheFolderCatalogOrTheTaggedPictures) {
  PictureWindow w("print");
  ASSERT_EQ(w.Files().ThumbnailCount(), 3);
  w.Files().SetItemIndex(w.Files().IndexOfName("flag_fr.gif"));
  PopUpFileMenu(w.form);
  EXPECT_TRUE(w.form->filePopup->FindItemByTag(14)->Enabled);
  TViewerForm& settings = *ViewerForm;
  settings.GalleryPrintSize = 1;
  settings.GalleryCenterPrint = false;
  settings.GalleryOrientation = poPortrait;
  const std::string program = "Tavishore 32";
  struct Case {
    bool tagged;
    int orientation;  // what the printer setup hands back
    std::vector<const char*> names, absent;
  } cases[] = {
      {false, poPortrait, {"flag_fr.gif", "basn2c08.png", "pal8.bmp"}, {"notes.txt"}},
      {true, poLandscape, {"flag_fr.gif", "pal8.bmp"}, {"basn2c08.png", "notes.txt"}},
  };
  for (const Case& c : cases) {
    if (c.tagged) {
      w.Files().SetTag(w.Files().IndexOfName("flag_fr.gif"), 1);
      w.Files().SetTag(w.Files().IndexOfName("pal8.bmp"), 1);
      w.form->filePopup->FindItemByTag(8)->Checked = true;
    }
    int shownSize = -1;
    dialogtest::TDriver driver;
    driver.Then([&] {
      HWND h = dialogtest::FindForm("Print thumbnails");
      if (!h) return false;
      auto* d = static_cast<TThumbPrintDialog*>(TWindow::FromHandle(h));
      shownSize = d->TrackBar1->Position();
      d->TrackBar1->SetPosition(2);
      d->Orientation = c.orientation;
      return true;
    });
    driver.Then([] { return dialogtest::PressButton("Print thumbnails", "OK"); });
    driver.Start();
    EXPECT_TRUE(ChooseFileCommand(w.form, 14));
    EXPECT_TRUE(driver.Finished() && !driver.TimedOut());
    // The dialog starts from the settings; only the orientation is kept.
    EXPECT_EQ(shownSize, 1);
    EXPECT_EQ(settings.GalleryPrintSize, 1);
    EXPECT_EQ(settings.GalleryOrientation, c.orientation);

    const std::string pdf = output_.NextPdf("Tavishore_32_catalog-");
    ASSERT_FALSE(pdf.empty());
    testsupport::RgbImage page;
    ASSERT_TRUE(output_.PagePicture(pdf, 20, page));
    EXPECT_EQ(page.width > page.height, c.orientation == poLandscape);
    const std::vector<std::string> pages = output_.PageTexts(pdf);
    output_.Remove(pdf);
    // A 32-bit program under qemu gets no text back from the Unix text tool it starts.
    if (pages.empty()) continue;
    ASSERT_EQ(pages.size(), 1u);
    const std::string header = Format("%s catalog of %s", {program, w.dir.string()});
    EXPECT_NE(pages[0].find(header), std::string::npos) << pages[0];
    EXPECT_NE(pages[0].find("Page 1"), std::string::npos);
    EXPECT_EQ(pages[0].find("Page 1 of"), std::string::npos);
    for (const char* name : c.names) EXPECT_NE(pages[0].find(name), std::string::npos) << name;
    for (const char* name : c.absent) EXPECT_EQ(pages[0].find(name), std::string::npos) << name;
  }
  // Cancel prints nothing and keeps the orientation.
  dialogtest::TDriver cancel;
  cancel.Then([] { return dialogtest::PressButton("Print thumbnails", "Cancel"); });
  cancel.Start();
  EXPECT_TRUE(ChooseFileCommand(w.form, 14));
  EXPECT_EQ(settings.GalleryOrientation, poLandscape);
  settings.GalleryOrientation = poPortrait;
}

// The hint that comes up with the mouse resting on a button ("" when none comes).
std::string HintOver(TButton* button) {
  testsupport::MouseTo(POINT{0, 0});
  dialogtest::Pump(60);
  // A move back to where the pointer last was in this program may not reach it: a new spot.
  static int spot = 0;
  POINT at = testsupport::CentreOf(button->Handle());
  at.x += ++spot % 2 ? -3 : 3;
  testsupport::MouseTo(at);
  dialogtest::PumpUntil(testsupport::HoldMouseStill, 2000);
  if (!dialogtest::PumpUntil([] { return ControlHintShowing() != nullptr; }, 4000)) return "";
  return ControlHintShowing()->Caption();
}

TEST(MainWindowHints, ButtonsNameTheirCommands) {
  PictureWindow w("hints");
  EXPECT_EQ(HintOver(w.form->btnOptions), "Program options");
  EXPECT_EQ(HintOver(w.form->btnExit), "Exit program");
  // A new window closes only itself.
  TViewerForm* second = OpenViewerFormAt(w.form, w.dir.string());
  // Timers wait while a thumbnail pass keeps the queue full.
  dialogtest::PumpUntil([&] { return second->ThumbState() == 0; });
  EXPECT_EQ(HintOver(second->btnExit), "Close this Window");
  delete second;
  // Hints switched off in the options: none comes.
  Application.ShowHint = false;
  EXPECT_EQ(HintOver(w.form->btnOptions), "");
  Application.ShowHint = true;
  testsupport::MouseTo(POINT{0, 0});
}

namespace {
// A right click on the tray icon, as the system reports it to the icon's window; the menu that
// comes up is looked at and the item with the given key is chosen.
bool TrayMenuChoice(TViewerForm* form, wchar_t key, const char* shot) {
  bool shown = false;
  dialogtest::TDriver choose;
  choose.Then([&] {
    if (!FindWindowW(L"#32768", nullptr)) return false;
    shown = true;
    dialogtest::Pump(2);
    dialogtest::Screenshot(GetDesktopWindow(), shot);
    PostMessageW(form->Handle(), WM_CHAR, key, 1);
    return true;
  });
  choose.Start();
  SendMessageW(form->TrayIcon->WindowHandle(), WM_TRAYICON, 1, WM_RBUTTONUP);
  dialogtest::Pump();
  return shown;
}
}  // namespace

TEST(MainWindowTray, TheIconsMenuRestoresAndEnds) {
  Application.Terminated = false;
  auto* form = Application.CreateForm<TViewerForm>();
  form->Orvex_DirList1->SetDirectory(testsupport::ScratchDir("cmd2_tray").string());
  form->Show();
  dialogtest::Pump();
  form->TrayIcon->SetActive(true);
  // Closing takes the window to the tray.
  form->Close();
  dialogtest::Pump();
  ASSERT_FALSE(IsWindowVisible(form->Handle()));
  EXPECT_TRUE(form->TrayIcon->IconShown());
  EXPECT_TRUE(TrayMenuChoice(form, 'r', "main-tray-popup"));
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_FALSE(IsIconic(form->Handle()));
  EXPECT_FALSE(form->TrayIcon->IconShown());
  EXPECT_FALSE(Application.Terminated);
  // Away again, then "e&Xit": the icon goes and the program ends.
  ShowWindow(form->Handle(), SW_MINIMIZE);
  dialogtest::Pump();
  ASSERT_FALSE(IsWindowVisible(form->Handle()));
  EXPECT_TRUE(TrayMenuChoice(form, 'x', "main-tray-popup-exit"));
  EXPECT_FALSE(form->TrayIcon->Active());
  EXPECT_FALSE(form->TrayIcon->IconShown());
  EXPECT_TRUE(form->Closing);
  EXPECT_TRUE(Application.Terminated);
  // The program's end is taken back, so the tests after this one still have a message loop.
  MSG quit;
  while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  Application.DestroyComponents();
  Application.MainForm = nullptr;
  Application.Terminated = false;
}

namespace {
// The header's divider at the right end of a section, on the screen.
POINT DividerOf(THeaderControl& header, int section) {
  RECT r{};
  SendMessageW(header.Handle(), HDM_GETITEMRECT, static_cast<WPARAM>(section),
               reinterpret_cast<LPARAM>(&r));
  POINT p{r.right - 1, (r.top + r.bottom) / 2};
  ClientToScreen(header.Handle(), &p);
  return p;
}

void MouseToAndSettle(POINT p) {
  testsupport::MouseTo(p);
  dialogtest::PumpUntil(testsupport::HoldMouseStill, 2000);
  dialogtest::Pump(4);
}
}  // namespace

TEST(MainWindowHeader, DraggingADividerShowsALineAndResizes) {
  PictureWindow w("header");
  THeaderControl& header = *w.form->HeaderControl1;
  struct Case {
    int section, by;
    TWindow* crossed;
  } cases[] = {{3, 40, w.form->Orvex_FileList1},
               {0, 30, w.form->Orvex_FileList1},  // widened: the line is past the folder list
               {0, -20, w.form->Orvex_DirList1}};
  for (const Case& c : cases) {
    const int before = header.SectionWidth(c.section);
    const POINT from = DividerOf(header, c.section);
    MouseToAndSettle(from);
    testsupport::MouseEvent(MOUSEEVENTF_LEFTDOWN, testsupport::LastMousePlace());
    dialogtest::Pump(4);
    for (int step = 1; step <= 4; ++step) MouseToAndSettle(POINT{from.x + c.by * step / 4, from.y});
    // Mid-drag: the line follows the mouse across the list below, which keeps its layout.
    EXPECT_NEAR(header.TrackLineX(), from.x + c.by, 2) << c.section;
    EXPECT_EQ(header.SectionWidth(c.section), before);
    HWND list = c.crossed->Handle();
    RECT inside;
    GetClientRect(list, &inside);
    POINT line{header.TrackLineX(), 0};
    ScreenToClient(list, &line);
    HDC dc = GetDC(list);
    const COLORREF onLine = GetPixel(dc, line.x, inside.bottom - 4);
    const COLORREF beside = GetPixel(dc, line.x + 6, inside.bottom - 4);
    ReleaseDC(list, dc);
    EXPECT_NE(onLine, beside) << c.section;
    dialogtest::Screenshot(w.form->Handle(), c.section     ? "main-header-drag"
                                              : c.by > 0 ? "main-header-drag-left-wider"
                                                         : "main-header-drag-left-narrower");
    testsupport::MouseEvent(MOUSEEVENTF_LEFTUP, testsupport::LastMousePlace());
    dialogtest::Pump();
    EXPECT_EQ(header.TrackLineX(), -1);
    EXPECT_NEAR(header.SectionWidth(c.section), before + c.by, 2) << c.section;
  }
  // The left panel follows its section.
  EXPECT_EQ(w.form->pnlLeft->Width(), header.SectionWidth(0));
  testsupport::MouseTo(POINT{0, 0});
}
