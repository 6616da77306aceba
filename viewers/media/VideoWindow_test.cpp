// The media window over a player of the test's own (and, at the end, the system's player on
// real files): pages, texts, autostart, refusals, the music page, the video's size, closing.
#include "viewers/media/VideoWindow.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "foundation/DialogDriver_test.h"
#include "foundation/SoundMessageDialog.h"
#include "framework/Application.h"
#include "framework/Text.h"
#include "foundation/uUtil.h"
#include "tests/TestSupport.h"
#include "viewers/media/FakeMciPlayer.h"
#include "viewers/media/uMediaWin.h"

namespace {

using dialogtest::TDriver;

std::string Data(const std::string& name) { return testsupport::TestData(name).string(); }

struct MediaWindowTest : testing::Test {
  TFakeMciPlayer* fake = nullptr;  // until the window frees it
  std::shared_ptr<std::vector<std::string>> calls;
  TVideoWindow* window = nullptr;
  int closed = 0;
  TMediaWindowSettings settings;

  void SetUp() override {
    settings.MakePlayer = [this] {
      auto p = std::make_unique<TFakeMciPlayer>();
      fake = p.get();
      calls = fake->Calls;
      fake->Info = info;
      fake->Rect = rect;
      fake->MediaLength = length;
      fake->OpenFails = openFails;
      fake->Playable = playable;
      return p;
    };
    settings.OnShowing = [this](TVideoWindow* w) { window = w; };
    settings.OnClosed = [this] { closed++; };
  }
  TMediaDeviceInfo info{mciDevWaveAudio, true, false, true, 0x8000};
  TRect rect;
  uint32_t length = 4000;
  bool openFails = false, playable = true;

  // Pumps messages until done() or about two seconds passed.
  template <class F>
  bool PumpUntil(F done) {
    for (int i = 0; i < 200 && !done(); i++) {
      Application.ProcessMessages();
      Sleep(10);
    }
    return done();
  }
  void CloseWindow() {
    if (!window) return;
    PostMessageW(window->Handle(), WM_CLOSE, 0, 0);
    PumpUntil([&] { return closed > 0; });
    Application.ProcessMessages();
  }
};

TEST_F(MediaWindowTest, WavOpensOnTheSoundPageAndPlaysByItself) {
  const std::string file = Data("media/boom.wav");
  ASSERT_TRUE(OpenMediaWindow(nullptr, file, settings));
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->Page(), pgSound);
  EXPECT_EQ(window->HelpContext, 901);
  EXPECT_EQ(window->Caption(), "boom.wav");
  TWaveInfo wave;
  ReadWaveInfo(*OpenFileStream(file), wave);
  ASSERT_TRUE(PumpUntil([&] { return !window->lbl_Wave->Caption().empty(); }));
  EXPECT_EQ(window->lbl_Wave->Caption(), WaveFormatText(wave));
  ASSERT_TRUE(PumpUntil([&] { return fake->Mode() == mpPlaying; })) << "autostart";
  EXPECT_EQ(calls->front(), "Open " + file);
  EXPECT_EQ(window->VolumeSlider->Position(), 50);
  EXPECT_TRUE(window->tmrVolume->Enabled());
  // Position and length follow the player.
  fake->Advance(1500);
  ASSERT_TRUE(PumpUntil([&] { return window->lSNDtime->Caption() == "0:01"; }));
  EXPECT_EQ(window->lSNDlng->Caption(), "0:04");
  ASSERT_TRUE(PumpUntil([&] { return window->PositionSlider->Position() == 38; }));
  // The volume slider sets the wave output of device 0, both channels.
  window->VolumeSlider->SetPosition(25);
  EXPECT_EQ(fake->Volume[0], PositionToVolume(25, 100));
  dialogtest::Screenshot(window->Handle(), "media-sound");
  CloseWindow();
  EXPECT_EQ(closed, 1);
}

TEST_F(MediaWindowTest, Mp3PageOnlyWithAHeader) {
  info.DeviceType = mciDevDigitalVideo;
  ASSERT_TRUE(OpenMediaWindow(nullptr, Data("media/id3v1.mp3"), settings));
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->Page(), pgMp3);
  EXPECT_EQ(window->HelpContext, 903);
  const auto rows = window->GridRows();
  ASSERT_EQ(rows.size(), 9u);
  EXPECT_EQ(rows[1].second, "III");
  EXPECT_EQ(rows[5].second, window->MP3.FormatTemplate("%T,T%"));
  PumpUntil([&] { return !window->lMP3lng->Caption().empty(); });
  dialogtest::Screenshot(window->Handle(), "media-mp3");
  CloseWindow();

  // A WAV named .mp3: no header, the sound page.
  const auto dir = testsupport::ScratchDir("media_fake_mp3");
  testsupport::WriteFile(dir / "wave.mp3", testsupport::ReadFile(testsupport::TestData("media/boom.wav")));
  window = nullptr;
  closed = 0;
  ASSERT_TRUE(OpenMediaWindow(nullptr, (dir / "wave.mp3").string(), settings));
  EXPECT_EQ(window->Page(), pgSound);
  CloseWindow();
}

TEST_F(MediaWindowTest, ALongHeaderSearchKeepsMessagesFlowing) {
  // The first frame after 200 KB of other bytes.
  const auto dir = testsupport::ScratchDir("media_late_mp3");
  std::vector<uint8_t> bytes(200000, 0);
  const std::vector<uint8_t> mp3 = testsupport::ReadFile(testsupport::TestData("media/id3v1.mp3"));
  bytes.insert(bytes.end(), mp3.begin(), mp3.end());
  testsupport::WriteFile(dir / "late.mp3", bytes);
  TWindow other;
  ASSERT_TRUE(other.Create("other", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100));
  bool handledBeforeTheWindow = false;
  other.OnMessage(WM_USER + 7, [&](WPARAM, LPARAM) {
    handledBeforeTheWindow = window == nullptr;
    return LRESULT(0);
  });
  other.Post(WM_USER + 7);
  info.DeviceType = mciDevDigitalVideo;
  ASSERT_TRUE(OpenMediaWindow(nullptr, (dir / "late.mp3").string(), settings));
  EXPECT_TRUE(handledBeforeTheWindow);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->Page(), pgMp3);
  TMPEGAudio original;
  original.ReadFile(Data("media/id3v1.mp3"));
  EXPECT_EQ(window->MP3.HeaderPosition, original.HeaderPosition + 200000);
  CloseWindow();
}

TEST_F(MediaWindowTest, RefusalsAndDriverWarning) {
  openFails = true;
  EXPECT_FALSE(OpenMediaWindow(nullptr, Data("media/boom.wav"), settings));
  EXPECT_EQ(window, nullptr);

  openFails = false;
  playable = false;
  std::string text;
  TDriver driver;
  driver.Then([&] {
    HWND box = dialogtest::FindForm("Warning");
    if (!box) return false;
    if (auto* form = dynamic_cast<TMessageForm*>(TWindow::FromHandle(box)))
      text = form->Message()->Caption();
    PostMessageW(box, WM_CLOSE, 0, 0);
    return true;
  });
  driver.Start();
  EXPECT_TRUE(OpenMediaWindow(nullptr, Data("media/boom.wav"), settings));
  EXPECT_FALSE(driver.TimedOut());
  EXPECT_EQ(text, "You don't have a Windows driver installed for this type of file");
  EXPECT_EQ(window, nullptr);
  EXPECT_EQ(calls->back(), "Close");
}

TEST_F(MediaWindowTest, MidiOnTheSequencerGetsTheMusicPageWithResetFirst) {
  info.DeviceType = mciDevSequencer;
  // "reset.mid" beside the program plays first.
  wchar_t module[MAX_PATH];
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  const std::filesystem::path reset = std::filesystem::path(module).parent_path() / "reset.mid";
  std::error_code ec;
  std::filesystem::remove(reset, ec);
  testsupport::WriteFile(reset, testsupport::ReadFile(testsupport::TestData("media/f0.mid")));
  std::string resetPath;
  ASSERT_TRUE(GetResetMidiPath(resetPath));
  const std::string file = Data("media/f1.mid");
  tMidiFile expected(file);
  expected.Analyse();
  std::string tracks, ident, length;
  std::vector<std::string> lines;
  TDriver driver;
  driver
      .Then([&] {
        if (!window || window->l_Tracks->Caption().empty()) return false;
        tracks = window->l_Tracks->Caption();
        ident = window->lIdent->Caption();
        length = window->lMPlng->Caption();
        lines = window->ChannelLines();
        return true;
      })
      .Then([&] { return fake && fake->Mode() == mpPlaying; })
      .Then([&] {
        fake->Advance(expected.Length);  // to the end: stopped, levels back to 0
        return true;
      })
      .Then([&] {
        dialogtest::Screenshot(window->Handle(), "media-music");
        PostMessageW(window->Handle(), WM_CLOSE, 0, 0);
        return true;
      });
  driver.Start();
  ASSERT_TRUE(OpenMediaWindow(nullptr, file, settings));  // modal: returns when closed
  std::filesystem::remove(reset, ec);
  EXPECT_FALSE(driver.TimedOut());
  EXPECT_EQ(closed, 1);
  ASSERT_GE(calls->size(), 4u);
  EXPECT_NE((*calls)[0].find("reset.mid"), std::string::npos);
  EXPECT_EQ((*calls)[1], "PlayWait");
  EXPECT_EQ((*calls)[2], "Close");
  EXPECT_EQ((*calls)[3], "Open " + file);
  EXPECT_EQ(tracks, std::to_string(expected.TrackCount));
  EXPECT_EQ(ident, expected.KindText() + " Midi, " + expected.InstrumentSetText() + " instruments");
  EXPECT_EQ(length, MediaTimeText(expected.Length));
  ASSERT_EQ(lines.size(), 16u);
  EXPECT_EQ(lines[expected.PercussionChannel].substr(3, 10), "Percussion");

  // On another device the same file is a sound.
  info.DeviceType = mciDevWaveAudio;
  window = nullptr;
  closed = 0;
  ASSERT_TRUE(OpenMediaWindow(nullptr, file, settings));
  EXPECT_EQ(window->Page(), pgSound);
  CloseWindow();
}

TEST_F(MediaWindowTest, VideoPageSizesAndGuardsALengthOfZero) {
  info = {mciDevDigitalVideo, false, true, true, 0};
  rect = {0, 0, 160, 120};
  length = 0;
  ASSERT_TRUE(OpenMediaWindow(nullptr, Data("media/boom.wav"), settings));
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->Page(), pgVideo);
  EXPECT_EQ(fake->DisplayWindow, reinterpret_cast<intptr_t>(window->VidScreen->Handle()));
  EXPECT_EQ(window->Notebook->Width(), 285);
  EXPECT_EQ(window->Notebook->Height(), 170);
  EXPECT_TRUE(GetMenu(window->Handle()) != nullptr);
  EXPECT_FALSE(window->VolumeSlider->Enabled());
  // The display rectangle is the video fitted and centred in the screen panel.
  TRect fit;
  FitCenterRect(window->VidScreen->ClientWidth(), window->VidScreen->ClientHeight(), 160, 120, fit);
  EXPECT_EQ(window->VidScreen->ClientWidth(), 281);
  EXPECT_EQ(window->VidScreen->ClientHeight(), 166);
  EXPECT_EQ(fake->Rect, (TRect{fit.Left, fit.Top, fit.Right + 1, fit.Bottom + 1}));
  // Length 0: the slider timer divides by nothing.
  for (int i = 0; i < 30; i++) {
    Application.ProcessMessages();
    Sleep(10);
  }
  EXPECT_EQ(window->PositionSlider->Position(), 0);
  CloseWindow();

  settings.MovieDisplaySize = 3;  // "200%": 563 x 563 box
  window = nullptr;
  closed = 0;
  ASSERT_TRUE(OpenMediaWindow(nullptr, Data("media/boom.wav"), settings));
  EXPECT_EQ(window->Notebook->Width(), 563 + 4);
  EXPECT_EQ(fake->Rect.Right - fake->Rect.Left, 563);
  CloseWindow();
}

// The system's player on a sound, an MPEG file, a MIDI file and a video: each opens on its
// page with its information.
TEST(MediaWindowReal, OpensEveryKindWithTheSystemPlayer) {
  struct Case {
    std::string file;
    TMediaPage page;
    const char* shot;
  } cases[] = {
      {Data("media/secosmic_lo.wav"), pgSound, "media-real-sound"},
      {Data("media/id3v1.mp3"), pgMp3, "media-real-mp3"},
      {std::string(TAVIS_MEDIA_FIXTURES) + "/clip.avi", pgVideo, "media-real-video"},
      {Data("media/abc.mid"), pgMusic, "media-real-music"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    TVideoWindow* window = nullptr;
    int closed = 0;
    TMediaWindowSettings settings;
    settings.OnShowing = [&](TVideoWindow* w) { window = w; };
    settings.OnClosed = [&] { closed++; };
    TDriver driver;
    int rounds = 0;
    driver
        .Then([&] {
          // Shown, started, and played for half a second (a video for a second and a half:
          // its first frame comes when playing has begun).
          return window && ++rounds >= (c.page == pgVideo ? 75 : 25);
        })
        .Then([&] {
          // The video's frames are drawn by the device: the screen as it is, not redrawn.
          const char* dir = std::getenv("TAVIS_SCREENSHOT_DIR");
          if (c.page == pgVideo && dir && *dir)
            dialogtest::SaveScreenPicture(window->Handle(), std::string(dir) + "\\" + c.shot + ".bmp");
          else
            dialogtest::Screenshot(window->Handle(), c.shot);
          EXPECT_EQ(window->Page(), c.page);
          if (c.page == pgSound) {
            EXPECT_NE(window->lbl_Wave->Caption(), "");
          } else if (c.page == pgMusic) {
            EXPECT_NE(window->l_Tracks->Caption(), "");
          } else if (c.page == pgMp3) {
            EXPECT_TRUE(window->MP3.IsValid());
          }
          PostMessageW(window->Handle(), WM_CLOSE, 0, 0);
          return true;
        });
    driver.Start();
    if (!OpenMediaWindow(nullptr, c.file, settings)) {
      // Wine opens MPEG audio only with a decoder of its media framework installed; the
      // window then refuses silently, as it should.
      EXPECT_EQ(c.page, pgMp3) << "refused";
      std::printf("[ note ] the system's player cannot open %s here\n", c.file.c_str());
      continue;
    }
    const DWORD until = GetTickCount() + 20000;
    while (!closed && GetTickCount() < until) {
      Application.ProcessMessages();
      Sleep(10);
    }
    EXPECT_EQ(closed, 1);
    EXPECT_FALSE(driver.TimedOut());
  }
}

}  // namespace
