#include "shell/uOptions.h"

#include <gtest/gtest.h>

#include <cstring>

#include "imaging/uGraphic.h"
#include "thumbnails/uThumbRecords.h"

namespace {
// Records the steps of OK that leave the settings record, in order.
struct tRecordedActions : tOptionsActions {
  std::vector<std::string> Steps;
  void ApplyListFont() override { Steps.push_back("font"); }
  void SetShowHint(bool show) override { Steps.push_back(show ? "hint on" : "hint off"); }
  void ChangeAssociations(uint32_t o, uint32_t n) override {
    Steps.push_back("assoc " + std::to_string(o) + "->" + std::to_string(n));
  }
  void SetOmittedFolders(const std::vector<std::string>& f) override {
    Steps.push_back("omit " + std::to_string(f.size()));
  }
  void SetFileNameKeywords(bool on) override { Steps.push_back(on ? "keys on" : "keys off"); }
  void CreateShortcut(TShortcutKind k) override { Steps.push_back("create " + std::to_string(k)); }
  void RemoveShortcut(TShortcutKind k) override { Steps.push_back("remove " + std::to_string(k)); }
  void SetTrayIcon(bool on) override { Steps.push_back(on ? "tray on" : "tray off"); }
  void CloseProgram() override { Steps.push_back("close"); }
};

struct OptionsApply : ::testing::Test {
  tViewerSettings s = DefaultSettings("C:\\Tavis\\Tavishore32.exe");
  uint16_t graphic = goHighQuality | 0x18;  // two stray bits another version left
  std::array<bool, kShortcutKinds> links{true, false, true, false, false};
  tOptionsOpening opening{4 | 64, links, {"C:\\Omit"}};
  tRecordedActions actions;
  tOptionsValues Opened() {
    tOptionsValues v = OptionsFromSettings(s, graphic, opening.Associations, true, links);
    v.OmittedFolders = opening.OmittedFolders;
    return v;
  }
};
}  // namespace

TEST_F(OptionsApply, UnchangedWritesTheSameSettingsAndTouchesNothingOutside) {
  s.ParentalLevel = 2;
  s.ParentalPassword = "secret";
  tOptionsValues v = Opened();
  v.PasswordText = "secret";
  const tViewerSettings before = s;
  ApplyOptions(v, opening, 3, s, graphic, actions);
  EXPECT_EQ(actions.Steps, (std::vector<std::string>{"hint on", "keys on", "font"}));
  EXPECT_EQ(s.FolderHistory, before.FolderHistory);
  EXPECT_EQ(s.ZoomPercent, before.ZoomPercent);
  EXPECT_EQ(s.SlidePaper, before.SlidePaper);
  EXPECT_EQ(s.ParentalLevel, 2);
  EXPECT_EQ(s.ParentalPassword, "secret");
  EXPECT_EQ(s.OptionsPage, 3);
}

TEST_F(OptionsApply, StepsComeInTheirFixedOrder) {
  s.HiddenOptions = true;
  tOptionsValues v = Opened();
  v.Associations = 1;
  v.OmittedFolders.clear();
  v.Shortcuts = {false, false, true, true, true};  // desktop off; task bar, quick launch on
  v.Shortcuts[skTaskTray] = false;
  v.ThumbnailFileName = "D:\\thumbs.thm";
  v.BatchFindReplace = true;
  v.Loftwright = true;
  ApplyOptions(v, opening, 10, s, graphic, actions);
  EXPECT_EQ(actions.Steps,
            (std::vector<std::string>{"hint on", "keys on", "omit 0", "font", "assoc 68->1",
                                      "remove 0", "remove 2", "tray off", "create 3", "create 4",
                                      "close"}));
  EXPECT_EQ(s.ThumbnailFileName, "D:\\thumbs.thm");
  EXPECT_TRUE(s.BatchFindReplace);
  EXPECT_EQ(s.SaveAsOptions.ShowHidden, 1);
  // The dialog went back to its first page before the program closes.
  EXPECT_EQ(s.OptionsPage, 0);
}

TEST_F(OptionsApply, PrivatePageCountsOnlyWithTheHiddenOptions) {
  tOptionsValues v = Opened();
  v.ThumbnailFileName = "D:\\other.thm";
  v.WindowlessWavs = true;
  ApplyOptions(v, opening, 10, s, graphic, actions);
  EXPECT_NE(s.ThumbnailFileName, "D:\\other.thm");
  EXPECT_FALSE(s.WindowlessWavs);
  EXPECT_EQ(std::count(actions.Steps.begin(), actions.Steps.end(), "close"), 0);
}

TEST_F(OptionsApply, DecoderOptionsBecomeExactlyTheThreeBits) {
  struct Case {
    bool interlace, quality, aspect;
    uint16_t want;
  } cases[] = {{false, false, false, 0},
               {true, false, false, goDisplayInterlace},
               {false, true, true, goHighQuality | goStandardAspect},
               {true, true, true, goDisplayInterlace | goHighQuality | goStandardAspect}};
  for (const Case& c : cases) {
    graphic = 0xFFF8 | goHighQuality;
    tOptionsValues v = Opened();
    v.Interlace = c.interlace;
    v.HighQuality = c.quality;
    v.StandardAspect = c.aspect;
    ApplyOptions(v, opening, 2, s, graphic, actions);
    EXPECT_EQ(graphic, c.want);
  }
}

TEST_F(OptionsApply, LevelAndPassword) {
  struct Case {
    int level;
    const char* typed;
    uint16_t wantLevel;
    const char* wantPassword;
  } cases[] = {{0, "secret", 0, ""}, {1, "secret  ", 1, "secret"}, {4, "", 4, ""}, {9, "x", 4, "x"}};
  for (const Case& c : cases) {
    s.ParentalPassword = "old";
    tOptionsValues v = Opened();
    v.ParentalLevel = c.level;
    v.PasswordText = c.typed;
    ApplyOptions(v, opening, 8, s, graphic, actions);
    EXPECT_EQ(s.ParentalLevel, c.wantLevel) << c.level;
    EXPECT_EQ(s.ParentalPassword, c.wantPassword) << c.level;
  }
}

TEST_F(OptionsApply, RangesAndWallpaperNeedingAFile) {
  tOptionsValues v = Opened();
  v.FolderHistory = 5;
  v.MaskHistory = 500;
  v.ZoomPercent = 100;
  v.MonitorGamma = 900;
  v.SlideDelay = 61;
  v.GalleryPerPage = 2000;
  v.SlideWallpaper = true;
  v.SlidePaper = "";
  ApplyOptions(v, opening, 0, s, graphic, actions);
  EXPECT_EQ(s.FolderHistory, 10);
  EXPECT_EQ(s.MaskHistory, 100);
  EXPECT_EQ(s.ZoomPercent, 125);
  EXPECT_EQ(s.MonitorGamma, 800);
  EXPECT_EQ(s.SlideDelay, 60);
  EXPECT_EQ(s.GalleryPerPage, 1000);
  EXPECT_FALSE(s.SlideWallpaper);
}

TEST(OptionsPassword, ExitRule) {
  struct Case {
    const char* stored;
    const char* typed;
    const char* wantEdit;
    bool unlock;
    const char* wantStored;
  } cases[] = {
      {"", "", "", false, ""},                      // nothing typed
      {"abc", "   ", "", false, "abc"},             // blanks only empty the box
      {"", "first ", "first", true, "first"},       // no password yet: this one is it
      {"abc", "abc  ", "abc", true, "abc"},         // the right one unlocks
      {"abc", "abd", "abd", false, "abc"},          // a wrong one does not
      {"abc", "ABC", "ABC", false, "abc"},          // case counts
  };
  for (const Case& c : cases) {
    std::string stored = c.stored;
    tPasswordOutcome out = PasswordExit(c.typed, stored);
    EXPECT_EQ(out.EditText, c.wantEdit) << c.typed;
    EXPECT_EQ(out.Unlock, c.unlock) << c.typed;
    EXPECT_EQ(stored, c.wantStored) << c.typed;
  }
}

TEST(OptionsStatistics, Texts) {
  EXPECT_EQ(StatisticsTexts(nullptr).Size, "");
  EXPECT_FALSE(StatisticsTexts(nullptr).PackEnabled);
  TThumbnailStats st;
  std::memset(&st, 0, sizeof st);
  st.SizeCode = 7;
  st.BoxWidth = st.BoxHeight = 91;
  st.RecordSize = 347;
  st.SettingsSize = 120;
  st.IndexBytes = 347 * 4;
  st.DataBytes = 1234567;
  st.HeaderCount = 3;
  st.Other = 1;
  st.Scanned = 3;
  st.ActiveBytes = 8000;
  st.OtherBytes = 2000;
  st.AllBytes = 10000;
  st.ChangeCounter = 42;
  SetShortString(st.NextLabel, 11, "CAT0003");
  tStatisticsTexts t = StatisticsTexts(&st);
  EXPECT_EQ(t.Size, "size 6 = 91 x 91");
  EXPECT_EQ(t.RecordSizes, "Catalog 347       Sort header 120");
  EXPECT_EQ(t.FileSizes, "      1,388 Catalog     1,234,567 Data");
  EXPECT_EQ(t.Records, "          3 total               1 purged");
  EXPECT_EQ(t.DataBytes, "      8,000 active          2,000 purged");
  EXPECT_EQ(t.Displayed, "      8,281 displayed       3,333 compressed");
  // 100 x (8281 x 3 - 10000) / (8281 x 3)
  EXPECT_EQ(t.Compression, "      59.75%");
  EXPECT_EQ(t.NextLabel, "CAT0003");
  EXPECT_EQ(t.Updates, "42");
  EXPECT_TRUE(t.PackEnabled);
  st.Scanned = 1;
  st.OtherBytes = 0;
  t = StatisticsTexts(&st);
  EXPECT_EQ(t.Displayed, "");
  EXPECT_EQ(t.Compression, "");
  EXPECT_FALSE(t.PackEnabled);
}
