#include "viewers/media/uMedia.h"

#include <gtest/gtest.h>

#include "viewers/media/FakeMciPlayer.h"

namespace {

TEST(MediaRules, VolumeScaling) {
  EXPECT_EQ(VolumeToPosition(0xFFFF, 100), 100);
  EXPECT_EQ(VolumeToPosition(0x12340000, 100), 0);  // the left channel only
  EXPECT_EQ(VolumeToPosition(0x8000, 100), 50);
  EXPECT_EQ(PositionToVolume(100, 100), 0xFFFFFFFFu);
  EXPECT_EQ(PositionToVolume(50, 100), 0x7FFF7FFFu);
  EXPECT_EQ(PositionToVolume(0, 100), 0u);
  EXPECT_EQ(PositionToVolume(5, 0), 0u);
  for (int p = 0; p <= 100; p++) EXPECT_NEAR(VolumeToPosition(PositionToVolume(p, 100), 100), p, 1);
}

TEST(MediaRules, Pages) {
  struct Case {
    const char* ext;
    bool mp3, video;
    uint32_t device;
    TMediaPage page;
  } cases[] = {
      {".mp3", true, false, mciDevDigitalVideo, pgMp3},
      {".mp3", false, false, mciDevDigitalVideo, pgSound},  // no header: the sound page
      {".mp2", true, false, mciDevDigitalVideo, pgSound},
      {".avi", false, true, mciDevDigitalVideo, pgVideo},
      {".mid", false, false, mciDevSequencer, pgMusic},
      {".mid", false, false, mciDevDigitalVideo, pgSound},  // music only on the sequencer
      {".wav", false, false, mciDevWaveAudio, pgSound},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ChooseMediaPage(c.ext, c.mp3, c.video, c.device), c.page) << c.ext << c.device;
}

TEST(MediaRules, TimesSliderAndSizes) {
  EXPECT_EQ(MediaTimeText(0), "0:00");
  EXPECT_EQ(MediaTimeText(61999), "1:01");
  EXPECT_EQ(MediaTimeText(3600000 + 5000), "0:05");
  EXPECT_EQ(PositionToSlider(500, 1000), 50);
  EXPECT_EQ(PositionToSlider(5, 1000), 1);  // rounded
  EXPECT_EQ(PositionToSlider(2000, 1000), 100);
  EXPECT_EQ(PositionToSlider(500, 0), 0);  // a length of 0 divided
  EXPECT_EQ(SliderToPosition(50, 3000), 1500u);
  EXPECT_EQ(SliderToPosition(100, 0xFFFFFFFFu), 0xFFFFFFFFu);
  EXPECT_EQ(PositionTickFrequency(199), 10);
  EXPECT_EQ(PositionTickFrequency(200), 2);
  EXPECT_EQ(PositionTickFrequency(400), 1);
  int w, h;
  VideoDisplaySize(0, 285, 160, 120, w, h);
  EXPECT_EQ(w * 1000 + h, 160120);
  VideoDisplaySize(1, 285, 160, 120, w, h);  // target 281
  EXPECT_EQ(w, 281);
  EXPECT_EQ(h, 211);
  VideoDisplaySize(3, 285, 160, 120, w, h);  // target 563
  EXPECT_EQ(w, 563);
  VideoDisplaySize(2, 285, 640, 480, w, h);  // wider than the target: kept
  EXPECT_EQ(w, 640);
}

struct SessionTest : testing::Test {
  TFakeMciPlayer player;
  uint64_t now = 1000;
  void SetUp() override { player.Open("x"); }
  tMediaSession Session(TMediaPage page) {
    tMediaSession s(player, page, [this] { return now; });
    s.Length = player.Length();
    return s;
  }
};

TEST_F(SessionTest, ButtonsFollowTheModeAndRefreshOffTheVideoPage) {
  tMediaSession s = Session(pgSound);
  EXPECT_EQ(s.Enabled, (TMPButtons{true, false, false, true}));
  EXPECT_TRUE(s.ButtonClick(btPlay));
  EXPECT_EQ(s.Enabled, (TMPButtons{false, true, true, true}));
  EXPECT_TRUE(s.ButtonClick(btPause));
  EXPECT_EQ(player.Mode(), mpPaused);
  EXPECT_TRUE(s.ButtonClick(btPause));  // resumes
  EXPECT_EQ(player.Mode(), mpPlaying);
  EXPECT_FALSE(s.ButtonClick(btStop));
  EXPECT_EQ(player.Mode(), mpStopped);
  tMediaSession v = Session(pgVideo);
  EXPECT_FALSE(v.ButtonClick(btPlay));
}

TEST_F(SessionTest, LoopRestartsOnlyAfterPlay) {
  tMediaSession s = Session(pgSound);
  s.Loop = true;
  s.ButtonClick(btPlay);
  player.Advance(20000);  // ends
  EXPECT_EQ(s.Timer(), 100);
  EXPECT_EQ(player.Mode(), mpPlaying);
  EXPECT_EQ(player.Position(), 0u);
  EXPECT_EQ(s.Enabled, (TMPButtons{false, true, true, false}));
  // Stopped by the Stop button: no restart, the buttons come back.
  s.ButtonClick(btStop);
  player.Calls->clear();
  s.Timer();
  EXPECT_TRUE(player.Calls->empty());
  // Without the loop button a stopped clip stays stopped.
  s.Loop = false;
  s.ButtonClick(btPlay);
  player.Advance(20000);
  s.Timer();
  EXPECT_EQ(player.Mode(), mpStopped);
  EXPECT_TRUE(s.AutoEnable);
  EXPECT_EQ(s.Enabled, (TMPButtons{true, false, false, true}));
}

TEST_F(SessionTest, MusicPageClockAndButtons) {
  tMediaSession s = Session(pgMusic);
  s.ButtonClick(btPlay);
  now += 3000;
  EXPECT_EQ(s.ClockTime(), 3000u);
  s.ButtonClick(btPause);
  now += 5000;  // paused time does not count
  EXPECT_EQ(s.ClockTime(), 3000u);
  s.ButtonClick(btPause);
  now += 1000;
  EXPECT_EQ(s.ClockTime(), 4000u);
  s.UseWallClock = true;
  EXPECT_EQ(s.ShownPosition(), 4000u);
  s.ButtonClick(btStop);
  EXPECT_FALSE(s.AutoEnable);
  EXPECT_EQ(s.Enabled, (TMPButtons{true, false, false, true}));
  now += 1000;
  EXPECT_EQ(s.ClockTime(), 4000u);
  s.ButtonClick(btBack);
  EXPECT_EQ(s.Enabled, (TMPButtons{true, false, false, false}));
  EXPECT_EQ(s.ClockTime(), 0u);
  EXPECT_EQ(player.Position(), 0u);
  s.MidiLength = 11001;
  EXPECT_TRUE(s.LengthDiffers());
  s.MidiLength = 11000;
  EXPECT_FALSE(s.LengthDiffers());
}

TEST_F(SessionTest, SliderSeeksAndGoesOnPlaying) {
  tMediaSession s = Session(pgSound);
  s.ButtonClick(btPlay);
  s.SliderMoved(40);
  EXPECT_EQ(player.Position(), 4000u);
  EXPECT_EQ(player.Mode(), mpPlaying);
  player.MediaLength = 0;
  s.Length = 0;
  EXPECT_EQ(s.Timer(), 0);
  s.SliderMoved(40);
  EXPECT_EQ(player.Position(), 0u);
}

}  // namespace
