// What the viewer windows get from the main window: its settings as they are now (the options
// dialog changes them after the windows were made), and the about box.
#include "viewers/ViewerHost.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <memory>

#include "foundation/DialogDriver_test.h"
#include "foundation/uBuffStream.h"
#include "foundation/uFiles.h"
#include "framework/Application.h"
#include "online/AboutBox.h"
#include "shell/ViewerForm.h"
#include "shell/ScratchSettings_test.h"
#include "tests/TestSupport.h"
#include "viewers/text/TextWindow.h"

namespace fs = std::filesystem;

namespace {
void Pump() {
  for (int i = 0; i < 20; ++i) {
    Application.ProcessMessages();
    Sleep(10);
  }
}

TTextWindow* OpenText(TForm* owner, const fs::path& file) {
  auto stream = std::make_unique<tBuffStream>(file.string(), OpenFileStream(file.string()), false);
  if (!OpenTextWindow(owner, stream)) return nullptr;
  for (TForm* f : Screen.Forms)
    if (auto* w = dynamic_cast<TTextWindow*>(f)) return w;
  return nullptr;
}
}  // namespace

TEST(ViewerHost, FollowsTheMainWindowsSettingsAndShowsTheAboutBox) {
  // Settings that record the running version: a fresh file would leave the new-version welcome
  // box to the timer of every later window in this program.
  const fs::path dir = testsettings::UseScratchSettings("viewerhost").parent_path();
  testsupport::WriteFile(dir / "notes.txt", {'h', 'i'});
  Application.Terminated = false;
  auto* form = Application.CreateForm<TViewerForm>();
  form->ParentalLevel = 0;
  TTextWindow* text = OpenText(form, dir / "notes.txt");
  ASSERT_NE(text, nullptr);
  EXPECT_TRUE(text->btnEdit->Enabled());
  text->Close();
  Pump();

  // As the options dialog leaves them.
  form->ParentalLevel = 1;
  form->MessageSounds = !form->MessageSounds;
  form->WindowPlacement = 0;
  form->StripTextfileBackspace = true;
  EXPECT_EQ(ViewerHost().ParentalLevel, 1);
  EXPECT_EQ(ViewerHost().MessageSounds, form->MessageSounds);
  EXPECT_EQ(ViewerHost().WindowPlacement, 0);
  EXPECT_TRUE(ViewerHost().StripTextfileBackspace);
  text = OpenText(form, dir / "notes.txt");
  ASSERT_NE(text, nullptr);
  EXPECT_FALSE(text->btnEdit->Enabled());

  // The text window's About shows the program's about box.
  bool shown = false;
  dialogtest::TDriver driver;
  driver.Then([&] {
    HWND box = dialogtest::FindForm("About");
    if (!box || !IsWindowVisible(box)) return false;
    shown = true;
    PostMessageW(box, WM_CLOSE, 0, 0);
    return true;
  });
  driver.Start();
  text->AboutButton->OnClick(text->AboutButton);
  EXPECT_TRUE(shown);
  EXPECT_FALSE(driver.TimedOut());
  text->Close();
  Pump();
  Application.DestroyComponents();
  Application.MainForm = nullptr;
  Application.Terminated = false;
}
