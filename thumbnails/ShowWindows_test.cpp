// The main program's slide show windows on real windows: the screen saver settings, the slide
// show and the script editor, with their files in a scratch folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "foundation/DialogDriver_test.h"
#include "foundation/uIniFile.h"
#include "foundation/uMessages.h"
#include "framework/Application.h"
#include "imaging/uGraphic.h"
#include "tests/TestSupport.h"
#include "thumbnails/ShowTestFiles_test.h"
#include "thumbnails/ScreenSaverSettingsForm.h"
#include "thumbnails/ScriptEditorDialog.h"
#include "thumbnails/SlideShowWindow.h"
#include "viewers/media/FakeMciPlayer.h"

namespace {

namespace fs = std::filesystem;

using showtest::WriteBmp;

class ShowWindows : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = testsupport::ScratchDir("showwin");
    program_ = (dir_ / "Tavishore32.exe").string();
    ini_ = (dir_ / "Tavishore32.ini").string();
    Application.Title = "Tavishore 32";
    RegisterAllFormats();
    WriteBmp(dir_ / "red.bmp", 160, 120, 0, 0, 255);
    WriteBmp(dir_ / "green.bmp", 120, 160, 0, 200, 0);
    WriteBmp(dir_ / "blue.bmp", 200, 100, 255, 0, 0);
  }
  std::string File(const char* name) { return (dir_ / name).string(); }
  int AddScript(const std::string& title, std::vector<std::string> lines, int delay = 10,
                uint32_t color = 0) {
    tVList lib{ini_, false};
    std::vector<std::string> list;
    tScriptSettings s;
    int freeNumber = 0;
    ScriptLibraryEntry(lib, smList, 0, s, freeNumber, list);
    s.Title = title;
    s.Delay = delay;
    s.Color = color;
    int replaced = 0;
    EXPECT_TRUE(ScriptLibraryEntry(lib, smWrite, freeNumber, s, replaced, lines));
    return freeNumber;
  }
  fs::path dir_;
  std::string program_, ini_;
};

TEST_F(ShowWindows, SettingsWindowLoadsTheChosenScriptAndSavesEveryKey) {
  AddScript("Beach", {File("red.bmp"), File("green.bmp")}, 10, 0x00FF00);
  const int garden = AddScript("Garden", {File("blue.bmp")}, 7, 0x0000FF);
  tScreenSaverSettings s;
  s.ScriptNumber = garden;
  s.Delay = 45;
  s.Mode = 2;
  s.Position = 3;
  ASSERT_TRUE(ScreenSaverIni(false, program_, s));

  int32_t slidePosition = 1;
  tSaverSettingsHost host;
  host.ProgramPath = program_;
  host.SlidePosition = &slidePosition;
  auto* form = new TScreenSaverSettingsForm(&Application, host);
  ASSERT_TRUE(form->Load());
  EXPECT_EQ(form->ViewList->Count(), 2);
  EXPECT_EQ(form->ViewList->String(form->ViewList->ItemIndex()), "Garden [2]");
  EXPECT_EQ(form->Title->Caption(),
            "Garden (1 entries in " + (dir_ / "Script 00002.ini").string() + ")");
  EXPECT_EQ(form->ListDelay->Value(), 45);
  EXPECT_EQ(form->tbMode->Position(), 2);
  EXPECT_TRUE(form->seTimerInt->Enabled());
  EXPECT_EQ(slidePosition, 3);  // the saver's position while the window is open
  form->Show();
  dialogtest::Pump();
  dialogtest::Screenshot(form->Handle(), "saver-settings");

  form->tbMode->SetPosition(0);
  EXPECT_FALSE(form->seTimerInt->Enabled());
  form->ViewList->SetItemIndex(0);
  form->ViewList->OnClick(form->ViewList);
  form->chkRandom->SetChecked(true);
  ASSERT_TRUE(form->Save());
  delete form;

  tScreenSaverSettings back;
  ScreenSaverIni(true, program_, back);
  EXPECT_EQ(back.ScriptNumber, 1);
  EXPECT_EQ(back.ScriptFileName, (dir_ / "Script 00001.ini").string());
  EXPECT_EQ(back.Delay, 10);  // the script's delay came with it
  EXPECT_EQ(back.Color, 0x00FF00u);
  EXPECT_EQ(back.Mode, 0);
  EXPECT_TRUE(back.Random);
  EXPECT_EQ(back.Position, 3);
}

TEST_F(ShowWindows, CancellingWritesNothingAndRestoresTheSlidePosition) {
  AddScript("Beach", {File("red.bmp")});
  int32_t slidePosition = 2;
  tSaverSettingsHost host;
  host.ProgramPath = program_;
  host.SlidePosition = &slidePosition;
  dialogtest::TDriver driver;
  driver.Then([] { return dialogtest::PressButton("Tavishore 32 Screen Saver Settings", "Cancel"); });
  driver.Start();
  EXPECT_EQ(ShowScreenSaverSettings(&Application, host), mrCancel);
  EXPECT_FALSE(driver.TimedOut());
  EXPECT_EQ(slidePosition, 2);
  EXPECT_FALSE(TIniFile(ini_).SectionExists("Screen Saver"));
}

TEST_F(ShowWindows, SettingsWithoutScriptsSayHowToMakeOne) {
  tSaverSettingsHost host;
  host.ProgramPath = program_;
  host.MessageSounds = false;
  std::string text;
  dialogtest::TDriver driver;
  driver.Then([&] {
    HWND box = dialogtest::FindForm("Information");
    if (!box) return false;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
      if (dialogtest::WindowText(c).find("No scripts") != std::string::npos)
        text = dialogtest::WindowText(c);
    return dialogtest::PressButton("Information", "OK");
  });
  driver.Start();
  EXPECT_EQ(ShowScreenSaverSettings(&Application, host), mrNone);
  EXPECT_FALSE(driver.TimedOut());
}

TEST_F(ShowWindows, ManualSlideShowStepsPlacesAndCloses) {
  TForm owner(&Application);
  bool refreshed = false;
  owner.OnMessage(WM_REFRESHLIST, [&](WPARAM, LPARAM) -> LRESULT {
    refreshed = true;
    return 0;
  });
  int32_t position = -1;
  int endSounds = 0;
  tSlideShowHost host;
  host.SlidePosition = &position;
  host.PlayEndOfSlidesSound = [&] { ++endSounds; };
  auto* show = StartSlideShow(&Application, owner.Handle(),
                              {dir_.string() + "\\", "red.bmp", "missing.bmp", "blue.bmp"}, true,
                              0, "", 0x404040, true, host);
  HWND window = show->Handle();
  dialogtest::Pump();
  EXPECT_EQ(show->Sequence.Pictures.size(), 3u);
  EXPECT_EQ(show->Sequence.Pictures[0], File("red.bmp"));
  show->KeyPressed(VK_RIGHT);
  EXPECT_EQ(show->Sequence.PictureIndex, 0);
  show->KeyPressed(VK_LEFT);  // on the first picture: the end sound, the picture stays
  EXPECT_EQ(endSounds, 1);
  EXPECT_EQ(show->Sequence.PictureIndex, 0);
  show->KeyPressed(VK_SPACE);  // skips the missing file
  EXPECT_EQ(show->Sequence.PictureIndex, 2);
  ASSERT_NE(show->Picture(), nullptr);
  EXPECT_EQ(show->Picture()->Width(), 200);
  show->KeyReleased('I');
  dialogtest::Pump();
  dialogtest::Screenshot(window, "slide-show");
  const int w = show->ClientWidth(), h = show->ClientHeight();
  show->DropAt(w / 2, 5);  // top middle: refused
  EXPECT_EQ(position, -1);
  show->DropAt(w - 5, h - 5);
  EXPECT_EQ(position, 3);
  EXPECT_EQ(show->Layout.PictureRect.Right, w);
  show->KeyReleased('C');
  EXPECT_EQ(position, -1);
  show->KeyReleased('P');
  EXPECT_TRUE(show->Paused());
  show->KeyReleased('P');
  show->KeyPressed(VK_ESCAPE);
  for (int i = 0; i < 50 && IsWindow(window); ++i) dialogtest::Pump(2);
  EXPECT_FALSE(IsWindow(window));
  dialogtest::Pump();
  EXPECT_TRUE(refreshed);
}

// The volume panel over a player of the test's own: the sliders set both channels of an
// output, the level box shows what the outputs report (a MIDI output without a volume
// control shows none), and the end of each piece of music starts the next.
TEST_F(ShowWindows, VolumePanelAndMusicGoThroughThePlayer) {
  struct tNoMidiVolume : TFakeMciPlayer {
    bool OutputVolume(bool midi, uint32_t& volume) override {
      return !midi && TFakeMciPlayer::OutputVolume(midi, volume);
    }
  };
  tNoMidiVolume* player = nullptr;
  auto calls = std::make_shared<std::vector<std::string>>();
  TShowForm::MakeMusicPlayer = [&] {
    auto p = std::make_unique<tNoMidiVolume>();
    p->Calls = calls;
    player = p.get();
    return std::unique_ptr<TMciPlayer>(std::move(p));
  };
  auto* show = StartSlideShow(&Application, nullptr, {File("red.bmp"), File("one.wav"), File("two.wav")},
                              false, 0, "", 0, true, {});
  TShowForm::MakeMusicPlayer = CreateMciPlayer;
  HWND window = show->Handle();
  dialogtest::Pump();
  ASSERT_NE(player, nullptr);
  EXPECT_EQ(show->VolPB->Level(false), 50);  // 0x8000 on both channels
  EXPECT_EQ(show->VolPB->Level(true), -1);
  EXPECT_EQ(show->waveVol->Position(), 50);
  show->waveVol->SetPosition(80);
  EXPECT_EQ(player->Volume[0], 0xCCCCCCCCu);
  EXPECT_EQ(show->VolPB->Level(false), 80);
  show->midiVol->SetPosition(20);
  EXPECT_EQ(player->Volume[1], 0x33333333u);

  EXPECT_EQ(player->FileName, File("one.wav"));
  EXPECT_EQ(player->CurrentMode, mpPlaying);
  player->Advance(player->MediaLength);  // the end comes back as a posted message
  dialogtest::Pump();
  EXPECT_EQ(player->FileName, File("two.wav"));
  EXPECT_EQ(player->CurrentMode, mpPlaying);
  show->KeyReleased('V');
  show->KeyPressed(VK_SPACE);
  dialogtest::Pump();
  dialogtest::Screenshot(window, "slide-show-volume");
  {
    // The wave bar is lit near its foot; the MIDI bar, with no level, is not.
    RedrawWindow(show->VolPB->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetDC(show->VolPB->Handle());
    const int w = show->VolPB->ClientWidth(), h = show->VolPB->ClientHeight();
    const COLORREF wave = GetPixel(dc, w / 4, h * 2 / 3), midi = GetPixel(dc, w * 3 / 4, h * 2 / 3);
    ReleaseDC(show->VolPB->Handle(), dc);
    EXPECT_EQ(wave, RGB(0, 0xC0, 0));
    EXPECT_NE(midi, RGB(0, 0xC0, 0));
  }
  show->KeyPressed(VK_ESCAPE);
  for (int i = 0; i < 50 && IsWindow(window); ++i) dialogtest::Pump(2);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(calls->back(), "Close");
}

// A palette picture is drawn in its own palette, which the window offers the system.
TEST_F(ShowWindows, PalettePictureOffersItsPalette) {
  const fs::path pal8 = testsupport::TestData("bmp/pal8.bmp");
  if (!fs::exists(pal8)) GTEST_SKIP() << "test data missing";
  auto* show = StartSlideShow(&Application, nullptr, {pal8.string()}, false, 0, "", 0, true, {});
  HWND window = show->Handle();
  show->KeyPressed(VK_SPACE);
  dialogtest::Pump();
  ASSERT_NE(show->Picture(), nullptr);
  EXPECT_NE(show->Picture()->Palette(), nullptr);
  EXPECT_EQ(SendMessageW(window, WM_QUERYNEWPALETTE, 0, 0), TRUE);
  show->KeyPressed(VK_ESCAPE);
  for (int i = 0; i < 50 && IsWindow(window); ++i) dialogtest::Pump(2);
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(ShowWindows, AutomaticShowOfOnePictureEndsByItself) {
  auto* show = StartSlideShow(&Application, nullptr, {File("green.bmp")}, false, 1, "", 0, true, {});
  HWND window = show->Handle();
  const ULONGLONG end = GetTickCount64() + 20000;
  while (IsWindow(window) && GetTickCount64() < end) dialogtest::Pump(2);
  EXPECT_FALSE(IsWindow(window));
}

TEST_F(ShowWindows, ShowFreedByItsOwnerLeavesNothingRunning) {
  auto* owner = new TForm(&Application);
  auto* show = StartSlideShow(owner, nullptr, {File("red.bmp"), File("blue.bmp")}, false, 5, "",
                              0, true, {});
  HWND window = show->Handle();
  dialogtest::Pump();
  EXPECT_TRUE(show->CursorHidden());
  delete owner;  // frees the show without closing it
  EXPECT_FALSE(IsWindow(window));
  dialogtest::Pump();
}

TEST_F(ShowWindows, ScriptEditorBuildsSavesAndLoadsAScript) {
  tScriptEditorHost host;
  host.IniPath = ini_;
  host.MessageSounds = false;
  auto* editor = new TScriptDlg(&Application, host,
                                {dir_.string() + "\\", "red.bmp", "green.bmp", "blue.bmp"});
  ASSERT_EQ(editor->SrcList->Count(), 3);
  EXPECT_EQ(editor->SrcList->String(1), File("green.bmp"));
  editor->SrcList->SetSelected(0, true);
  editor->SrcList->SetSelected(2, true);
  editor->Move(editor->SrcList, editor->DstList, false);
  EXPECT_EQ(editor->DstList->Count(), 2);
  EXPECT_EQ(editor->DstList->String(1), File("blue.bmp"));
  EXPECT_EQ(editor->SrcList->Count(), 1);
  editor->Title->SetText("Trip");
  editor->ListDelay->SetValue(0);
  editor->Show();
  dialogtest::Pump();
  dialogtest::Screenshot(editor->Handle(), "script-editor");
  ASSERT_TRUE(editor->SaveScript());
  EXPECT_EQ(editor->DstList->Count(), 0);
  ASSERT_EQ(editor->ViewList->Count(), 1);
  EXPECT_EQ(editor->ViewList->String(0), "Trip [1]");
  editor->ViewList->SetItemIndex(0);
  ASSERT_TRUE(editor->LoadScript());
  EXPECT_EQ(editor->DstList->Count(), 2);
  EXPECT_EQ(editor->Title->Text(), "Trip");
  EXPECT_EQ(editor->ListDelay->Value(), 0);
  EXPECT_EQ(editor->LoadedNumber(), 1);
  EXPECT_FALSE(editor->Changed());
  delete editor;
  EXPECT_EQ(ReadScriptFileLines((dir_ / "Script 00001.ini").string()),
            (std::vector<std::string>{File("red.bmp"), File("blue.bmp")}));
}

}  // namespace
