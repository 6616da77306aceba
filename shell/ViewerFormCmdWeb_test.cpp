// The file menu's web page command on a real main window: the dialog opens on the folder with
// the GIF and JPEG pictures that have thumbnails (the tagged ones when rows are tagged), and
// with none it still opens and says so.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "foundation/DialogDriver_test.h"
#include "framework/Application.h"
#include "framework/Button.h"
#include "framework/Label.h"
#include "framework/RichEdit.h"
#include "shell/ScratchSettings_test.h"
#include "shell/ViewerForm.h"
#include "tests/TestSupport.h"
#include "thumbnails/WebPageDialog.h"

namespace fs = std::filesystem;

namespace {

struct tShownDialog {
  std::vector<std::string> pictures;
  std::string stats;
  bool buildEnabled = false;
  std::string log;
};

// Chooses "Web page..." and reads the dialog it brings up, then closes it.
bool ChooseWebPage(TViewerForm* form, tShownDialog& shown) {
  bool seen = false;
  dialogtest::TDriver driver;
  driver.Then([&] {
    HWND h = dialogtest::FindForm("Build Web Page");
    if (!h) return false;
    auto* d = static_cast<TdlgHTML*>(TWindow::FromHandle(h));
    shown.pictures = d->Pictures;
    shown.stats = d->lblStats->Caption();
    shown.buildEnabled = d->btnBuild->Enabled();
    shown.log = d->BuildLog->Caption();
    seen = true;
    return true;
  });
  driver.Then([] { return dialogtest::PressButton("Build Web Page", "Close"); });
  driver.Start();
  form->filePopup->Handle();
  form->filePopup->DispatchCommand(form->batchHTML->Command());
  dialogtest::Pump();
  return seen && driver.Finished() && !driver.TimedOut();
}

}  // namespace

TEST(MainWindowWebPage, OpensOnTheThumbnailedPicturesOrSaysThereAreNone) {
  testsettings::UseScratchSettings("cmdweb_ini");
  const fs::path dir = testsupport::ScratchDir("cmdweb");
  for (const char* source : {"gif/flag_fr.gif", "jpeg/video-001.jpeg", "png/basn2c08.png"})
    fs::copy_file(testsupport::TestData(source), dir / fs::path(source).filename());
  testsupport::WriteFile(dir / "notes.txt", std::vector<uint8_t>(40, 'n'));
  auto* form = new TViewerForm(nullptr);
  form->FinishCreate();
  form->SetBounds(30, 30, 630, 475);
  form->Show();
  SetForegroundWindow(form->Handle());
  form->Orvex_DirList1->SetDirectory(dir.string());
  TOrvex_FileList& files = *form->Orvex_FileList1;
  ASSERT_TRUE(dialogtest::PumpUntil(
      [&] { return form->ThumbState() == 0 && files.ThumbnailCount() == 3; }));
  const std::string folder = dir.string() + "\\";

  tShownDialog all;
  ASSERT_TRUE(ChooseWebPage(form, all));
  EXPECT_EQ(all.pictures, (std::vector<std::string>{"flag_fr.gif", "video-001.jpeg"}));
  EXPECT_EQ(all.stats, "2 pictures in folder " + folder);
  EXPECT_TRUE(all.buildEnabled);

  // Only a row without a thumbnail tagged: no list to hand over, the dialog opens all the same.
  files.SetTag(files.IndexOfName("notes.txt"), 1);
  tShownDialog none;
  ASSERT_TRUE(ChooseWebPage(form, none));
  EXPECT_TRUE(none.pictures.empty());
  EXPECT_EQ(none.stats, "0 pictures in folder " + folder);
  EXPECT_FALSE(none.buildEnabled);
  EXPECT_NE(none.log.find("Fatal error! No pictures in this folder (or no pictures tagged)"),
            std::string::npos)
      << none.log;
  delete form;
}
