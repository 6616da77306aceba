#include "shell/uSettings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/uIniFile.h"
#include "foundation/uRegistry.h"
#include "imaging/uGraphic.h"
#include "tests/TestSupport.h"

namespace fs = std::filesystem;

namespace {

std::string Utf8(const fs::path& p) {
  std::u8string s = p.u8string();
  return std::string(s.begin(), s.end());
}

std::string Sorted(std::string text) {
  std::sort(text.begin(), text.end());
  return text;
}

std::string Crlf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

// Every kind of value a person or an older version leaves: odd case and spacing, quotes,
// hexadecimal, malformed and out-of-range numbers, missing keys.
const char kHandWritten[] = R"([tavishore 32]
version = 32-bit version 5.10a
[MAIN WINDOW]
left=0x20
Top = "40"
Width=junk
Font Name= 'Arial'
Font Size=11
[directory]
Last=C:\pictures
last (2)=D:\
file DATE=0
Buttons=hbd
thumbnails=1
thumbnail master switch=0
[Graphic Display]
Display Interlace=1
High quality=0
Zoom percent=0x64
Monitor gamma=99999
[Movies]
Display size=-3
[Preferences]
Message sounds=0
Hexidecimal Window=0x1
Tool tip=no
UU/XX encoding=1
open HTML=2
Folder History=3
Custom Mask History=5000
Window placement=7
Windowless WAVs=1
[History]
H0=C:\one
H1=C:\two
H2=
H3=C:\never
[Bookmarks]
H0="D:\marked place"
[Slide shows]
Position=9
Delay=0x3c
Color=ff8000
Paper=  C:\paper.bmp
[Parental controls]
Level=12
Password="secret word"
[Thumbnails]
File name=E:\thumbs.thm
[Gallery]
Left=-5
Per page=1
File name keywords=0
Print size=2
[Custom colors]
ColorC=FFFFFFFF
ColorD=00ff00
[Save As]
Format=9
JPEG quality=0
PNG gamma=0x10
Loftwright=1
Batch size=2
Batch width=0
Interlaced=1
[Batch print]
Style=0
Border=-1
Per page setting=abc
[Scripts]
Script 1=keep me
)";

class SettingsTest : public testsupport::tPlainPlatformTest {
 protected:
  void SetUp() override {
    tPlainPlatformTest::SetUp();
    dir_ = testsupport::ScratchDir(std::string("settings_") +
                                   testing::UnitTest::GetInstance()->current_test_info()->name());
    program_ = Utf8(dir_ / "Tavishore32.exe");
    ini_ = dir_ / "Tavishore32.ini";
    savedOptions_ = GraphicOptions;
  }
  void TearDown() override {
    GraphicOptions = savedOptions_;
    tPlainPlatformTest::TearDown();
  }
  void Write(const std::string& text) {
    testsupport::WriteFile(ini_, std::vector<uint8_t>(text.begin(), text.end()));
  }
  std::string Read() {
    auto b = testsupport::ReadFile(ini_);
    return std::string(b.begin(), b.end());
  }
  tViewerSettings Load(tPlainSettingsControls& controls, bool interactive = true) {
    tViewerSettings s = DefaultSettings(program_);
    EXPECT_TRUE(LoadSaveSettings(true, interactive, program_, s, controls));
    return s;
  }
  void Save(tViewerSettings& s, tPlainSettingsControls& controls, bool interactive = true) {
    EXPECT_TRUE(LoadSaveSettings(false, interactive, program_, s, controls));
  }

  fs::path dir_, ini_;
  std::string program_;
  uint16_t savedOptions_ = 0;
};

TEST_F(SettingsTest, MissingFileGivesTheDefaults) {
  tPlainSettingsControls c;
  GraphicOptions = 0xFFFF;
  tViewerSettings s = Load(c);
  EXPECT_EQ(s.ZoomPercent, 125);
  EXPECT_EQ(s.MonitorGamma, 220);
  EXPECT_EQ(s.SlideDelay, 15);
  EXPECT_EQ(s.SlidePosition, -1);
  EXPECT_EQ(s.FolderHistory, 20);
  EXPECT_TRUE(s.EndUpdateSound);
  EXPECT_EQ(s.CloneFolder, "C:\\");
  EXPECT_EQ(s.ThumbnailFileName, Utf8(dir_ / "Tavishore32.thm"));
  EXPECT_EQ(s.GalleryBounds.Width, 615);
  EXPECT_EQ(s.SaveAsOptions.JpegQuality, 75);
  EXPECT_EQ(s.SaveAsOptions.PngGamma, 100);
  EXPECT_EQ(s.SaveAsOptions.BatchWidth, 1024);
  EXPECT_EQ(s.SaveAsOptions.Format, 0);
  EXPECT_EQ(s.CustomColors.size(), 16u);
  EXPECT_EQ(s.CustomColors[15], "ColorP=FFFFFF");
  EXPECT_TRUE(s.VersionChanged);
  EXPECT_EQ(s.VersionNumber, 5101);
  EXPECT_EQ(GraphicOptions, goHighQuality);
  EXPECT_EQ(c.FontName, "Courier New");
  EXPECT_EQ(c.FontSize, 9);
  EXPECT_EQ(c.Columns, 15u);
  EXPECT_EQ(c.Down, "FN");
  EXPECT_EQ(c.Folder, "C:\\");
  EXPECT_EQ(c.Lists[tSettingsControls::lsFolderHistory], std::vector<std::string>{"C:\\"});
  EXPECT_EQ(c.ParentalLevelApplied, 0);
}

TEST_F(SettingsTest, HandWrittenFileLoadsWithRangesKept) {
  Write(Crlf(kHandWritten));
  tPlainSettingsControls c;
  c.Bounds = {1, 2, 300, 200};
  tViewerSettings s = Load(c);
  EXPECT_FALSE(s.VersionChanged);
  EXPECT_EQ(c.Bounds.Left, 32);
  EXPECT_EQ(c.Bounds.Top, 40);
  EXPECT_EQ(c.Bounds.Width, 300);  // unreadable: the window's own
  EXPECT_EQ(c.FontName, "Arial");
  EXPECT_EQ(c.FontSize, 11);
  EXPECT_EQ(c.Folder, "C:\\pictures");
  EXPECT_EQ(s.CloneFolder, "D:\\");
  EXPECT_EQ(c.Columns, 1u | 2u | 8u);
  EXPECT_EQ(Sorted(c.Down), "BDH");
  EXPECT_TRUE(s.StartWithThumbnails);
  EXPECT_FALSE(c.Master);
  EXPECT_EQ(GraphicOptions, goDisplayInterlace);
  EXPECT_TRUE(c.Hint);  // "no" is no number: the default
  EXPECT_FALSE(s.MessageSounds);
  EXPECT_TRUE(s.HexWindow);
  EXPECT_EQ(s.UuXxEncoding, 1);
  EXPECT_EQ(s.OpenHtml, 2);
  EXPECT_TRUE(s.WindowlessWavs);
  EXPECT_EQ(c.Lists[tSettingsControls::lsFolderHistory],
            (std::vector<std::string>{"C:\\pictures", "C:\\one", "C:\\two"}));
  EXPECT_EQ(c.Lists[tSettingsControls::lsBookmarks], std::vector<std::string>{"D:\\marked place"});
  EXPECT_EQ(s.SlideDelay, 60);
  EXPECT_EQ(s.SlideColor, 0xFF8000u);
  EXPECT_EQ(s.SlidePaper, "C:\\paper.bmp");
  EXPECT_EQ(s.ParentalPassword, "secret word");
  EXPECT_EQ(c.ParentalLevelApplied, 4);
  EXPECT_EQ(s.ThumbnailFileName, "E:\\thumbs.thm");
  EXPECT_EQ(s.GalleryBounds.Left, -5);
  EXPECT_EQ(s.GalleryBounds.Top, 20);
  EXPECT_FALSE(s.FileNameKeywords);
  EXPECT_EQ(s.GalleryPrintSize, 2);
  EXPECT_EQ(s.CustomColors[2], "ColorC=FFFFFF");
  EXPECT_EQ(s.CustomColors[3], "ColorD=00ff00");
  EXPECT_EQ(s.CustomColors[4], "ColorE=FFFFFF");
  EXPECT_TRUE(s.SaveAsOptions.ShowHidden);
  EXPECT_TRUE(s.SaveAsOptions.Interlaced);
  EXPECT_EQ(s.SaveAsOptions.BatchSize, 2);
  EXPECT_EQ(s.BatchPrintStyle, 0);
  EXPECT_EQ(s.BatchPrintPerPage, 1);  // "abc": the default

  // Ranged values come within what the dialogs allow.
  struct {
    const char* name;
    int32_t got, want;
  } ranged[] = {{"Zoom percent", s.ZoomPercent, 100},
                {"Monitor gamma", s.MonitorGamma, 800},
                {"Display size", s.MovieDisplaySize, 0},
                {"Folder History", s.FolderHistory, 10},
                {"Custom Mask History", s.MaskHistory, 100},
                {"Window placement", s.WindowPlacement, 1},
                {"Position", s.SlidePosition, 3},
                {"Level", s.ParentalLevel, 4},
                {"Per page", s.GalleryPerPage, 10},
                {"Format", s.SaveAsOptions.Format, 6},
                {"JPEG quality", s.SaveAsOptions.JpegQuality, 1},
                {"PNG gamma", s.SaveAsOptions.PngGamma, 20},
                {"Batch width", s.SaveAsOptions.BatchWidth, 1},
                {"Batch height", s.SaveAsOptions.BatchHeight, 1024},
                {"Border", s.BatchPrintBorder, 0}};
  for (auto& r : ranged) EXPECT_EQ(r.got, r.want) << r.name;
}

TEST_F(SettingsTest, ButtonsAndColorsEdgeCases) {
  struct {
    const char* stored;
    const char* down;
  } buttons[] = {{"hbd", "BDH"}, {"", "FN"}, {"FN", "FN"}, {"xSu", "FU"}, {"HH", "FN"}};
  for (auto& b : buttons) {
    Write(Crlf(std::string("[Directory]\nButtons=") + b.stored + "\n"));
    tPlainSettingsControls c;
    Load(c);
    EXPECT_EQ(Sorted(c.Down), b.down) << b.stored;
  }
  struct {
    const char* stored;
    uint32_t color;
  } colors[] = {{"ff8000", 0xFF8000}, {"xyz", 0}, {"", 0}, {"0x10", 0}, {"\"00ff00\"", 0xFF00}};
  for (auto& k : colors) {
    Write(Crlf(std::string("[Slide shows]\nColor=") + k.stored + "\n"));
    tPlainSettingsControls c;
    EXPECT_EQ(Load(c).SlideColor, k.color) << k.stored;
  }
  fs::remove(ini_);
  tPlainSettingsControls c;
  tViewerSettings s = Load(c);
  s.SlideColor = 0x00FF00;
  Save(s, c);
  TIniFile ini(Utf8(ini_));
  EXPECT_EQ(ini.ReadString("Slide shows", "Color", ""), "00ff00");
}

// Saving every key from a known record: the file as the program writes it, byte for byte.
const char kGolden[] = R"([Main Window]
Left=10
Top=20
Width=630
Height=475
Font Name=Courier New
Font Size=9

[Directory]
Column widths=160,18,18,136,84,76,69
Last=C:\pics
Last (2)=C:\
File size=1
File date=0
File time=1
Thumbnails=0
Thumbnail master switch=1
Buttons=HBS

[Graphic display]
Warning 256 colors=0
Display interlace=0
High quality=1
Standard aspect=1
Zoom percent=150
Monitor gamma=220

[Movies]
Display size=0

[Preferences]
Picture error sound=1
Message sounds=1
Last slide sound=1
Hexidecimal Window=0
Tool tip=1
UU/XX encoding=0
open HTML=0
Open Documents=0
Folder History=20
Custom Mask History=20
Window placement=0
Master switch toggle=0
Windowless WAVs=1
Strip Textfile backspace=0
Batch Find and Replace=0

[History]
H0=C:\pics
H1=C:\old

[Bookmarks]
H0=C:\mark

[Slide shows]
Original size=1
Position=-1
Delay=15
Color=0a0b0c
Wallpaper=0
Paper=

[Parental controls]
Level=0
Password=

[Thumbnails]
Start update sound=0
End update sound=1
File name=C:\x.thm

[Gallery]
Left=20
Top=20
Width=615
Height=316
Per page=40
File name keywords=1
Thumbnail ICOs=0
Print size=0
Orientation=0
Center print=0

[Custom colors]
ColorA=FFFFFF
ColorB=123456
ColorC=FFFFFF
ColorD=FFFFFF
ColorE=FFFFFF
ColorF=FFFFFF
ColorG=FFFFFF
ColorH=FFFFFF
ColorI=FFFFFF
ColorJ=FFFFFF
ColorK=FFFFFF
ColorL=FFFFFF
ColorM=FFFFFF
ColorN=FFFFFF
ColorO=FFFFFF
ColorP=FFFFFF

[Save As]
Format=5
Compressed=0
Interlaced=1
BMP style=0
JPEG quality=90
store PNG gamma=0
PNG gamma=100
Loftwright=0
Batch size=0
Batch width=1024
Batch height=1024

[Batch print]
Orientation=0
Style=1
Per page setting=1
Border=3
Outline=1
File name=0
)";

tViewerSettings GoldenRecord(const std::string& program, tPlainSettingsControls& c) {
  tViewerSettings s = DefaultSettings(program);
  s.ZoomPercent = 150;
  s.WindowlessWavs = true;
  s.SlideColor = 0x0A0B0C;
  s.ThumbnailFileName = "C:\\x.thm";
  s.CustomColors[1] = "ColorB=123456";
  s.CustomColors[2] = "ColorC=FFFFFFFF";
  s.SaveAsOptions.Format = sfJPG;
  s.SaveAsOptions.JpegQuality = 90;
  s.SaveAsOptions.Interlaced = 1;
  s.HiddenOptions = true;
  c.Bounds = {10, 20, 630, 475};
  c.FontName = "Courier New";
  c.FontSize = 9;
  c.Folder = "C:\\pics";
  c.Columns = 1 | 2 | 8;
  c.Down = "HBS";
  c.Lists[tSettingsControls::lsFolderHistory] = {"C:\\pics", "C:\\old"};
  c.Lists[tSettingsControls::lsBookmarks] = {"C:\\mark"};
  return s;
}

TEST_F(SettingsTest, SaveWritesEveryKeyInItsPlace) {
  tPlainSettingsControls c;
  tViewerSettings s = GoldenRecord(program_, c);
  GraphicOptions = goHighQuality | goStandardAspect | 0x100;
  Save(s, c);
  EXPECT_EQ(Read(), Crlf(kGolden));
}

TEST_F(SettingsTest, LoadSaveLoadIsStable) {
  Write(Crlf(kHandWritten));
  auto roundTrip = [this](const fs::path& target) {
    tPlainSettingsControls c;
    tViewerSettings s = Load(c);
    s.HiddenOptions = true;
    fs::rename(ini_, target);
    Save(s, c);
    return Read();
  };
  std::string first = roundTrip(dir_ / "hand.ini");
  std::string second = roundTrip(dir_ / "first.ini");
  EXPECT_EQ(first, second);
  EXPECT_NE(first.find("Zoom percent=100\r\n"), std::string::npos);
}

TEST_F(SettingsTest, HiddenOptionsAreReadButWrittenOnlyWithTheSwitch) {
  Write(
      Crlf("[Preferences]\nWindowless WAVs=1\nBatch Find and Replace=1\n"
           "[Thumbnails]\nFile name=C:\\mine.thm\n[Save As]\nLoftwright=1\n"));
  tPlainSettingsControls c;
  tViewerSettings s = Load(c);
  EXPECT_TRUE(s.WindowlessWavs);
  EXPECT_TRUE(s.BatchFindReplace);
  EXPECT_EQ(s.ThumbnailFileName, "C:\\mine.thm");
  EXPECT_TRUE(s.SaveAsOptions.ShowHidden);
  s.WindowlessWavs = s.BatchFindReplace = false;
  s.ThumbnailFileName = "C:\\other.thm";
  s.SaveAsOptions.ShowHidden = 0;
  Save(s, c);
  TIniFile ini(Utf8(ini_));
  EXPECT_EQ(ini.ReadString("Preferences", "Windowless WAVs", ""), "1");
  EXPECT_EQ(ini.ReadString("Preferences", "Batch Find and Replace", ""), "1");
  EXPECT_FALSE(ini.ValueExists("Preferences", "Strip Textfile backspace"));
  EXPECT_EQ(ini.ReadString("Thumbnails", "File name", ""), "C:\\mine.thm");
  EXPECT_EQ(ini.ReadString("Save As", "Loftwright", ""), "1");
}

TEST_F(SettingsTest, NonInteractiveStartSkipsTheWindowSections) {
  Write(
      Crlf("[Main Window]\nLeft=77\n[Directory]\nLast (2)=E:\\\n[History]\nH0=C:\\a\n"
           "[Preferences]\nMessage sounds=0\n[Scripts]\nScript 1=x\n"));
  tPlainSettingsControls c;
  tViewerSettings s = Load(c, false);
  EXPECT_EQ(c.Bounds.Left, 0);
  EXPECT_EQ(s.CloneFolder, "C:\\");
  EXPECT_TRUE(c.Lists[tSettingsControls::lsFolderHistory].empty());
  EXPECT_FALSE(s.MessageSounds);
  c.Bounds.Left = 5;
  Save(s, c, false);
  TIniFile ini(Utf8(ini_));
  EXPECT_EQ(ini.ReadInteger("Main Window", "Left", 0), 77);
  EXPECT_FALSE(ini.ValueExists("Main Window", "Top"));
  EXPECT_EQ(ini.ReadString("History", "H0", ""), "C:\\a");
  EXPECT_EQ(ini.ReadString("Scripts", "Script 1", ""), "x");
  EXPECT_TRUE(ini.ValueExists("Batch print", "Style"));
}

TEST_F(SettingsTest, VersionIsWrittenOnlyByTheInstalledVersion) {
  tPlainSettingsControls c;
  tViewerSettings s = Load(c);
  Save(s, c);
  EXPECT_FALSE(TIniFile(Utf8(ini_)).ValueExists("Tavishore 32", "Version"));
  RegWriteDefault(tRegRoot::LocalMachine, ProductKey("Tavishore 32"), "32-bit version 5.10a");
  Save(s, c);
  EXPECT_EQ(TIniFile(Utf8(ini_)).ReadString("Tavishore 32", "Version", ""), "32-bit version 5.10a");
  EXPECT_FALSE(Load(c).VersionChanged);
  Write(Crlf("[Tavishore 32]\nVersion=32-bit version 5.09\n"));
  EXPECT_TRUE(Load(c).VersionChanged);
}

TEST_F(SettingsTest, DatabaseFlagIsWrittenForFileNameKeywords) {
  tPlainSettingsControls c;
  tViewerSettings s = Load(c);
  c.HasDatabase = true;
  c.DatabaseKeywords = false;
  Save(s, c);
  EXPECT_FALSE(TIniFile(Utf8(ini_)).ReadBool("Gallery", "File name keywords", true));
}

TEST_F(SettingsTest, SavedFileReadsTheSameWithAnIndependentReader) {
  if (!testsupport::HaveTools() || !fs::exists("/usr/bin/python3")) GTEST_SKIP();
  tPlainSettingsControls c;
  tViewerSettings s = GoldenRecord(program_, c);
  s.ParentalPassword = "a %b; c";
  Save(s, c);
  fs::path script = dir_ / "dump.py";
  std::string py =
      "import configparser, sys\n"
      "p = configparser.RawConfigParser(strict=True, interpolation=None)\n"
      "p.optionxform = str\n"
      "p.read(sys.argv[1], encoding='utf-8')\n"
      "for s in p.sections():\n"
      "    for k, v in p.items(s):\n"
      "        print(s + '|' + k + '|' + v)\n";
  testsupport::WriteFile(script, std::vector<uint8_t>(py.begin(), py.end()));
  std::vector<uint8_t> out;
  ASSERT_EQ(
      testsupport::Run("/usr/bin/python3 '" + script.string() + "' '" + ini_.string() + "'", &out),
      0);
  std::string text(out.begin(), out.end());
  // Every key the file holds, read back through our reader, gives what Python read.
  TIniFile ini(Utf8(ini_));
  int keys = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    size_t a = line.find('|'), b = line.find('|', a + 1);
    ASSERT_NE(b, std::string::npos) << line;
    EXPECT_EQ(ini.ReadString(line.substr(0, a), line.substr(a + 1, b - a - 1), "?"),
              line.substr(b + 1))
        << line;
    ++keys;
  }
  EXPECT_EQ(keys, 94);
  EXPECT_NE(text.find("Parental controls|Password|a %b; c\n"), std::string::npos);
  EXPECT_NE(text.find("Preferences|Hexidecimal Window|0\n"), std::string::npos);
  EXPECT_NE(text.find("Slide shows|Color|0a0b0c\n"), std::string::npos);
}

TEST(SaveOptions, CopyChangedElsewhereLeavesTheLiveRecord) {
  tViewerSettings live;
  TSaveOptions copy = live.SaveAsOptions;
  copy.Width = 10;
  copy.Colors = 280;
  EXPECT_EQ(copy.Width, 10);
  EXPECT_EQ(live.SaveAsOptions.Width, 0);
  EXPECT_EQ(live.SaveAsOptions.Colors, 0);
}

}  // namespace
