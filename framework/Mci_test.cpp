// The system's media player on real files: devices by type, lengths, positions, the video's
// rectangle, refusals, and a play to its end where the machine has a sound output
// (TAVIS_AUDIO=1, set by the test script when a sound server runs).
#include "framework/Mci.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>

#include "framework/Application.h"
#include "tests/TestSupport.h"

namespace {

std::string Data(const std::string& name) { return testsupport::TestData(name).string(); }

// The media window's own fixtures (viewers/media/testdata).
std::string MediaFixture(const std::string& name) {
  return std::string(TAVIS_MEDIA_FIXTURES) + "/" + name;
}

bool AudioExpected() {
  const char* v = std::getenv("TAVIS_AUDIO");
  return v && std::string(v) == "1";
}

TEST(MciPlayer, RefusesWhatItCannotOpen) {
  auto player = CreateMciPlayer();
  EXPECT_FALSE(player->Open(Data("media/no such file.wav")));
  EXPECT_NE(player->Error(), 0u);
  EXPECT_FALSE(player->ErrorMessage().empty());
  EXPECT_FALSE(player->IsOpen());
  EXPECT_EQ(player->Mode(), mpNotReady);
  EXPECT_FALSE(player->Play(false));
  EXPECT_EQ(player->Length(), 0u);
}

TEST(MciPlayer, DevicesByFileType) {
  struct Case {
    std::string file;
    uint32_t type;
    bool video;
    uint32_t minLength, maxLength;
  } cases[] = {
      {Data("media/boom.wav"), mciDevWaveAudio, false, 100, 60000},
      {Data("media/f1.mid"), mciDevSequencer, false, 1, 600000},
      {MediaFixture("clip.avi"), mciDevDigitalVideo, true, 1500, 2500},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    auto player = CreateMciPlayer();
    ASSERT_TRUE(player->Open(c.file)) << player->ErrorMessage();
    const TMediaDeviceInfo info = player->DeviceInfo();
    EXPECT_EQ(info.DeviceType, c.type);
    EXPECT_EQ(info.HasVideo, c.video);
    EXPECT_EQ(player->UsesWindow(), c.video);
    EXPECT_TRUE(player->CanPlay());
    const uint32_t length = player->Length();
    EXPECT_GE(length, c.minLength);
    EXPECT_LE(length, c.maxLength);
    EXPECT_EQ(player->Mode(), mpStopped);
    EXPECT_TRUE(player->Seek(length / 2));
    EXPECT_NEAR(player->Position(), length / 2, length / 10 + 1);
    EXPECT_TRUE(player->Rewind());
    EXPECT_EQ(player->Position(), 0u);
    if (c.video) {
      TRect r;
      ASSERT_TRUE(player->DisplayRect(r));
      EXPECT_EQ(r.Right - r.Left, 160);
      EXPECT_EQ(r.Bottom - r.Top, 120);
      EXPECT_TRUE(player->SetDisplayRect({10, 10, 90, 70}));
      ASSERT_TRUE(player->DisplayRect(r));
      EXPECT_EQ(r, (TRect{10, 10, 90, 70}));
    }
    player->Close();
    EXPECT_FALSE(player->IsOpen());
  }
}

// A short sound played to its end reports success; without a sound output the play is
// refused or reports failure, and never a false success.
TEST(MciPlayer, PlaysToTheEndAndNotifies) {
  auto player = CreateMciPlayer();
  ASSERT_TRUE(player->Open(Data("media/boom.wav")));
  int notes = 0;
  TMPNotifyValues last = nvAborted;
  player->OnNotify = [&](TMPNotifyValues v) {
    notes++;
    last = v;
  };
  const bool started = player->Play(false);
  const DWORD until = GetTickCount() + 10000;
  while (started && notes == 0 && GetTickCount() < until) {
    Application.ProcessMessages();
    Sleep(10);
  }
  if (AudioExpected()) {
    ASSERT_TRUE(started) << player->ErrorMessage();
    EXPECT_EQ(notes, 1);
    EXPECT_EQ(last, nvSuccessful);
    EXPECT_EQ(player->Position(), player->Length());
  } else if (started && notes) {
    std::printf("[ note ] play without a sound server reported %d\n", static_cast<int>(last));
  } else {
    std::printf("[ note ] play without a sound server: %s\n",
                started ? "no notification" : player->ErrorMessage().c_str());
  }
}

TEST(MciPlayer, OutputVolume) {
  auto player = CreateMciPlayer();
  uint32_t before = 0;
  if (!player->OutputVolume(false, before)) GTEST_SKIP() << "no wave output device";
  EXPECT_TRUE(player->SetOutputVolume(false, 0x40004000u));
  uint32_t now = 0;
  EXPECT_TRUE(player->OutputVolume(false, now));
  EXPECT_NEAR(static_cast<double>(now & 0xFFFF), 0x4000, 0x200);
  player->SetOutputVolume(false, before);
}

}  // namespace
