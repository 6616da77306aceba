#include "thumbnails/uShowSequence.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

namespace {

// Records what the sequence asks of its window.
class tRecordingHost : public tShowHost {
 public:
  std::set<std::string> Broken;  // pictures that do not open, music that cannot be opened
  std::vector<std::string> Log;
  bool Stop = false;
  std::function<void()> DuringHold;

  bool OpenPicture(const std::string& name) override {
    if (Broken.count(name)) return false;
    Log.push_back("show " + name);
    return true;
  }
  bool PlayMusic(const std::string& name) override {
    if (Broken.count(name)) return false;
    Log.push_back("play " + name);
    return true;
  }
  void RepaintBackground() override { Log.push_back("repaint"); }
  void HoldSinglePicture() override {
    Log.push_back("hold");
    if (DuringHold) DuringHold();
  }
  void PostClose(int how) override { Log.push_back("close " + std::to_string(how)); }
  bool StopRequested() override { return Stop; }
  std::vector<std::string> Take() {
    auto log = std::move(Log);
    Log.clear();
    return log;
  }
};

using Lines = std::vector<std::string>;

TEST(ShowSequence, MusicFilesByExtension) {
  struct {
    const char* name;
    bool music;
  } cases[] = {{"a.mid", true},  {"a.MIDI", true}, {"a.rmi", true},  {"a.wav", true},
               {"a.wave", true}, {"a.Mp3", true},  {"a.gif", false}, {"mid", false},
               {"a.wavx", true}, {"a.midx", true}, {"dir.mid\\x", false}, {"a.", false},
               // Parts of the names are no music (they would turn the music off and lose the file).
               {"a.mp", false},  {"a.m", false},  {"a.i", false},  {"a.av", false}, {"a.a", false}};
  for (const auto& c : cases) EXPECT_EQ(tShowSequence::IsMusicFile(c.name), c.music) << c.name;
}

TEST(ShowSequence, ShufflesOnlySixOrMoreAndSplitsMusicAfter) {
  for (size_t n : {5u, 6u}) {
    tRecordingHost host;
    tShowSequence seq(host);
    Lines lines;
    for (size_t i = 0; i < n; ++i) lines.push_back(std::string(1, char('a' + i)) + ".gif");
    lines.back() = "m.wav";
    seq.Start(lines, true, [] { return 12345u; });
    Lines all = seq.Pictures;
    all.insert(all.end(), seq.MusicFiles.begin(), seq.MusicFiles.end());
    Lines expected = lines;
    if (n == 6) ShuffleList(expected, [] { return 12345u; });
    // Music comes out of the (shuffled) list in its order; the pictures keep theirs.
    Lines pictures, music;
    for (auto& e : expected) (tShowSequence::IsMusicFile(e) ? music : pictures).push_back(e);
    EXPECT_EQ(seq.Pictures, pictures) << n;
    EXPECT_EQ(seq.MusicFiles, music) << n;
    if (n == 6) {
      EXPECT_NE(seq.Pictures, Lines(lines.begin(), lines.end() - 1));
    }
    EXPECT_EQ(host.Take(), Lines{"play m.wav"});
  }
}

TEST(ShowSequence, PicturesRepeatAndBrokenOnesAreSkipped) {
  tRecordingHost host;
  host.Broken = {"b.gif"};
  tShowSequence seq(host);
  seq.Start({"a.gif", "b.gif", "c.gif"}, false);
  EXPECT_EQ(seq.MusicPasses, 1);  // no music counts as played
  for (int i = 0; i < 4; ++i) seq.ShowNextPicture();
  EXPECT_EQ(host.Take(), (Lines{"show a.gif", "show c.gif", "show a.gif", "show c.gif"}));
  EXPECT_EQ(seq.PicturesShown, 2);
  EXPECT_EQ(seq.PicturePasses, 1);
}

TEST(ShowSequence, NothingThatOpensStopsAdvancing) {
  for (Lines lines : {Lines{}, Lines{"x.gif", "y.gif"}}) {
    tRecordingHost host;
    host.Broken = {"x.gif", "y.gif"};
    tShowSequence seq(host);
    seq.Start(lines, false);
    seq.ShowNextPicture();
    EXPECT_EQ(seq.PictureIndex, tShowSequence::kEndIndex);
    seq.ShowNextPicture();
    EXPECT_TRUE(host.Take().empty());
  }
}

TEST(ShowSequence, StopRequestClosesThroughThePasswordCheck) {
  tRecordingHost host;
  tShowSequence seq(host);
  seq.Start({"a.gif"}, false);
  host.Stop = true;
  seq.ShowNextPicture();
  EXPECT_EQ(host.Take(), Lines{"close 0"});
}

TEST(ShowSequence, SaverShowsOnePictureAgainAfterEachHold) {
  tRecordingHost host;
  tShowSequence seq(host);
  seq.Start({"a.gif"}, false);
  for (int i = 0; i < 3; ++i) seq.ShowNextPicture();
  EXPECT_EQ(host.Take(), (Lines{"show a.gif", "hold", "show a.gif", "show a.gif"}));
}

TEST(ShowSequence, OnePictureWithMusicEndsAfterTheMusicPlayedOnce) {
  tRecordingHost host;
  tShowSequence seq(host);
  seq.Start({"a.gif", "m.wav"}, false);
  seq.ShowNextPicture();
  seq.ShowNextPicture();  // first wrap: held, then shown again
  EXPECT_EQ(host.Take(), (Lines{"play m.wav", "show a.gif", "hold", "show a.gif"}));
  seq.MusicFinished(false);  // the music list wraps for the first time
  EXPECT_EQ(host.Take(), Lines{"close 0"});
  EXPECT_EQ(seq.PictureIndex, tShowSequence::kEndIndex);
  EXPECT_EQ(seq.MusicIndex, tShowSequence::kEndIndex);
  seq.MusicFinished(false);
  seq.ShowNextPicture();
  EXPECT_TRUE(host.Take().empty());  // a single music file is not repeated
}

TEST(ShowSequence, MusicEndingTheShowDuringTheHoldIsNotOverrun) {
  tRecordingHost host;
  tShowSequence seq(host);
  seq.Start({"a.gif", "m.wav"}, false);
  seq.ShowNextPicture();
  host.Take();
  host.DuringHold = [&] {
    seq.PicturePasses = 1;
    seq.MusicFinished(false);
  };
  seq.ShowNextPicture();
  EXPECT_EQ(host.Take(), (Lines{"hold", "close 0"}));
  EXPECT_EQ(seq.PictureIndex, tShowSequence::kEndIndex);
}

TEST(ShowSequence, MusicOnlyScriptPlaysASingleFileOnce) {
  tRecordingHost host;
  tShowSequence seq(host);
  seq.Start({"m.mp3"}, false);
  seq.ShowNextPicture();
  EXPECT_EQ(seq.PictureIndex, tShowSequence::kEndIndex);
  seq.MusicFinished(false);
  seq.MusicFinished(false);
  EXPECT_EQ(host.Take(), Lines{"play m.mp3"});
  EXPECT_EQ(seq.MusicIndex, tShowSequence::kEndIndex);
}

TEST(ShowSequence, TwoMusicFilesRepeat) {
  tRecordingHost host;
  tShowSequence seq(host);
  seq.Start({"a.gif", "b.gif", "1.wav", "2.mp3"}, false);
  for (int i = 0; i < 3; ++i) seq.MusicFinished(false);
  EXPECT_EQ(host.Take(), (Lines{"play 1.wav", "play 2.mp3", "play 1.wav", "play 2.mp3"}));
  EXPECT_EQ(seq.MusicPasses, 1);
}

TEST(ShowSequence, ResetMidiPlaysBeforeEveryDotMidFileOnly) {
  tRecordingHost host;
  tShowSequence seq(host);
  seq.ResetMidiPath = "C:\\Prog\\reset.mid";
  seq.Start({"a.gif", "b.gif", "x.MID", "y.midi", "z.mid"}, false);
  for (int i = 0; i < 5; ++i) seq.MusicFinished(false);
  EXPECT_EQ(host.Take(), (Lines{"play C:\\Prog\\reset.mid", "play x.MID", "play y.midi",
                                "play C:\\Prog\\reset.mid", "play z.mid",
                                "play C:\\Prog\\reset.mid"}));
  EXPECT_EQ(seq.MusicPlayed, 3);
  EXPECT_EQ(seq.CurrentMusic(), "x.MID");
}

TEST(ShowSequence, OneMidiFileWithResetIsStillASingleFile) {
  tRecordingHost host;
  tShowSequence seq(host);
  seq.ResetMidiPath = "reset.mid";
  seq.Start({"a.gif", "b.gif", "x.mid"}, false);
  seq.MusicFinished(false);
  seq.MusicFinished(false);  // wraps: a single music file is not repeated
  EXPECT_EQ(host.Take(), (Lines{"play reset.mid", "play x.mid"}));
  EXPECT_EQ(seq.MusicIndex, tShowSequence::kEndIndex);
}

TEST(ShowSequence, WithoutResetFileMidiPlaysDirectly) {
  tRecordingHost host;
  tShowSequence seq(host);
  seq.Start({"x.mid", "y.mid"}, false);
  seq.MusicFinished(false);
  EXPECT_EQ(host.Take(), (Lines{"play x.mid", "play y.mid"}));
}

TEST(ShowSequence, MusicThatDoesNotOpenTurnsMusicOff) {
  tRecordingHost host;
  host.Broken = {"2.wav"};
  tShowSequence seq(host);
  seq.Start({"a.gif", "1.wav", "2.wav", "3.wav"}, false);
  seq.MusicFinished(false);
  EXPECT_EQ(seq.MusicIndex, tShowSequence::kStopped);
  seq.MusicFinished(false);
  EXPECT_EQ(host.Take(), Lines{"play 1.wav"});
}

TEST(ShowSequence, AWholePassOfFailedPlaybackStopsTheMusic) {
  tRecordingHost host;
  tShowSequence seq(host);
  seq.ResetMidiPath = "reset.mid";
  seq.Start({"a.gif", "b.gif", "1.wav", "2.mid"}, false);  // a pass is 3 plays
  seq.MusicFinished(true);
  seq.MusicFinished(true);
  EXPECT_TRUE(seq.MusicOn());
  seq.MusicFinished(true);
  EXPECT_EQ(seq.MusicIndex, tShowSequence::kStopped);
  EXPECT_EQ(host.Take(), (Lines{"play 1.wav", "play reset.mid", "play 2.mid"}));
  // One success in between starts the count again.
  tShowSequence other(host);
  other.Start({"1.wav", "2.wav"}, false);
  other.MusicFinished(true);
  other.MusicFinished(false);
  other.MusicFinished(true);
  EXPECT_TRUE(other.MusicOn());
}

TEST(ShowSequence, SlideShowOfOnePictureEndsAfterItsTime) {
  tRecordingHost host;
  tShowSequence seq(host);
  seq.EndAtFirstWrap = true;
  seq.Start({"a.gif"}, false);
  seq.ShowNextPicture();
  seq.ShowNextPicture();
  EXPECT_EQ(host.Take(), (Lines{"show a.gif", "hold", "close 0"}));
  EXPECT_EQ(seq.PictureIndex, tShowSequence::kEndIndex);
}

TEST(ShowSequence, SlideShowOfTwoPicturesRepeats) {
  tRecordingHost host;
  tShowSequence seq(host);
  seq.EndAtFirstWrap = true;
  seq.Start({"a.gif", "b.gif"}, false);
  for (int i = 0; i < 3; ++i) seq.ShowNextPicture();
  EXPECT_EQ(host.Take(), (Lines{"show a.gif", "show b.gif", "show a.gif"}));
}

TEST(ShowSequence, ManualSteppingSkipsBrokenEntriesAndStopsAtTheEnds) {
  tRecordingHost host;
  host.Broken = {"b.gif"};
  tShowSequence seq(host);
  seq.Manual = true;
  seq.EndAtFirstWrap = true;
  seq.Start({"a.gif", "b.gif", "c.gif"}, false);
  EXPECT_FALSE(seq.StepManual(-1));  // before the first picture: the end sound
  EXPECT_TRUE(seq.StepManual(+1));
  EXPECT_FALSE(seq.StepManual(-1));  // Left on the first picture keeps it
  EXPECT_EQ(seq.PictureIndex, 0);
  EXPECT_TRUE(seq.StepManual(+1));
  EXPECT_EQ(seq.PictureIndex, 2);
  EXPECT_FALSE(seq.StepManual(+1));
  EXPECT_EQ(seq.PictureIndex, 2);
  EXPECT_TRUE(seq.StepManual(-1));
  EXPECT_EQ(host.Take(), (Lines{"show a.gif", "show c.gif", "show a.gif"}));
  EXPECT_EQ(seq.PicturePasses, 1);
}

TEST(ShowSequence, ManualShowOfOnePictureEndsPastItsEnd) {
  tRecordingHost host;
  tShowSequence seq(host);
  seq.Manual = true;
  seq.EndAtFirstWrap = true;
  seq.Start({"a.gif"}, false);
  EXPECT_TRUE(seq.StepManual(+1));
  EXPECT_FALSE(seq.StepManual(+1));
  EXPECT_EQ(host.Take(), (Lines{"show a.gif", "close 0"}));
}

TEST(ShowSequence, PassesAreHeldAtTheLimit) {
  tRecordingHost host;
  tShowSequence seq(host);
  seq.Start({"a.gif", "b.gif"}, false);
  for (int i = 0; i < 2 * 1005; ++i) seq.ShowNextPicture();
  EXPECT_EQ(seq.PicturePasses, tShowSequence::kPassLimit);
}

}  // namespace
