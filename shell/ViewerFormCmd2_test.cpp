// More of the main window's commands through real messages: printing the folder's thumbnails
// through the real spooler.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "foundation/DialogDriver_test.h"
#include "foundation/uFormat.h"
#include "framework/Application.h"
#include "framework/TrackBar.h"
#include "shell/ScratchSettings_test.h"
#include "shell/ViewerForm.h"
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
