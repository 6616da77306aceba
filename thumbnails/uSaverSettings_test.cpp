#include "thumbnails/uSaverSettings.h"

#include <gtest/gtest.h>

#include <fstream>

#include "foundation/uIniFile.h"
#include "imaging/uGraphic.h"
#include "tests/TestSupport.h"

namespace {

class SaverSettingsTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = testsupport::ScratchDir("saverini");
    program_ = (dir_ / "Tavishore32.exe").string();
  }
  std::filesystem::path dir_;
  std::string program_;
};

TEST_F(SaverSettingsTest, IniPathIsBesideTheProgram) {
  EXPECT_EQ(ProgramIniPath("C:\\Prog\\Tavishore32.exe"), "C:\\Prog\\Tavishore32.ini");
  EXPECT_EQ(ProgramIniPath("C:\\Prog.d\\Tavis"), "C:\\Prog.d\\Tavis.ini");
}

TEST_F(SaverSettingsTest, FreshIniGivesDefaults) {
  tScreenSaverSettings s;
  s.ScriptNumber = 9;
  s.Delay = 1;
  s.FloatX = 99;
  ASSERT_TRUE(ScreenSaverIni(true, program_, s));
  const tScreenSaverSettings d;
  EXPECT_EQ(s.ScriptNumber, 0);
  EXPECT_EQ(s.Delay, 30);
  EXPECT_EQ(s.Mode, 0);
  EXPECT_TRUE(s.OriginalSize);
  EXPECT_EQ(s.Position, -1);
  EXPECT_EQ(s.FloatSpeed, 64);
  EXPECT_EQ(s.FloatX, 4);
  EXPECT_EQ(s.FloatY, 3);
  EXPECT_EQ(s.Color, 0u);
  EXPECT_FALSE(s.Random);
  EXPECT_FALSE(s.Wallpaper);
  EXPECT_EQ(s.ScriptFileName, "");
  EXPECT_EQ(s.Paper, "");
}

TEST_F(SaverSettingsTest, RoundTripWritesEveryKeyInOrder) {
  tScreenSaverSettings s;
  s.ScriptNumber = 4;
  s.ScriptFileName = "C:\\Prog\\Script 00004.ini";
  s.Color = 0x123456;
  s.Wallpaper = true;
  s.Paper = "C:\\w.bmp";
  s.Delay = 12;
  s.Mode = 2;
  s.OriginalSize = false;
  s.Random = true;
  s.Position = 3;
  s.FloatSpeed = 100;
  s.FloatX = 7;
  s.FloatY = 9;
  ASSERT_TRUE(ScreenSaverIni(false, program_, s));
  std::vector<std::string> keys;
  TIniFile(ProgramIniPath(program_)).ReadSection("Screen Saver", keys);
  EXPECT_EQ(keys, (std::vector<std::string>{"Script number", "Script file name", "Color",
                                            "Wallpaper", "Paper", "Delay", "Mode",
                                            "Original size", "Random", "Position", "Float speed",
                                            "Float X", "Float Y"}));
  EXPECT_EQ(TIniFile(ProgramIniPath(program_)).ReadString("Screen Saver", "Color", ""), "123456");
  tScreenSaverSettings r;
  ASSERT_TRUE(ScreenSaverIni(true, program_, r));
  EXPECT_EQ(r.ScriptNumber, 4);
  EXPECT_EQ(r.ScriptFileName, s.ScriptFileName);
  EXPECT_EQ(r.Color, 0x123456u);
  EXPECT_TRUE(r.Wallpaper);
  EXPECT_EQ(r.Paper, "C:\\w.bmp");
  EXPECT_EQ(r.Delay, 12);
  EXPECT_EQ(r.Mode, 2);
  EXPECT_FALSE(r.OriginalSize);
  EXPECT_TRUE(r.Random);
  EXPECT_EQ(r.Position, 3);
  EXPECT_EQ(r.FloatSpeed, 100);
  EXPECT_EQ(r.FloatX, 7);
  EXPECT_EQ(r.FloatY, 9);
}

TEST_F(SaverSettingsTest, ColourDigitsAreBlueGreenRed) {
  {
    std::ofstream f(ProgramIniPath(program_));
    f << "[Screen Saver]\nColor=0000ff\n";
  }
  tScreenSaverSettings s;
  ScreenSaverIni(true, program_, s);
  EXPECT_EQ(s.Color, 0x000000FFu);  // red in 0x00BBGGRR
  {
    std::ofstream f(ProgramIniPath(program_));
    f << "[Screen Saver]\nColor=navy\n";
  }
  ScreenSaverIni(true, program_, s);
  EXPECT_EQ(s.Color, 0u);
}

TEST_F(SaverSettingsTest, StandardAspectSetsTheSaversDecoderOptionsOnly) {
  tScreenSaverSettings s;
  GraphicOptions = goHighQuality | goDisplayInterlace;
  ScreenSaverIni(true, program_, s);
  EXPECT_EQ(GraphicOptions, goHighQuality | goDisplayInterlace);
  EXPECT_EQ(SaverGraphicOptions(program_, 3), 3);
  {
    std::ofstream f(ProgramIniPath(program_));
    f << "[Graphic display]\nStandard aspect=1\n";
  }
  ScreenSaverIni(true, program_, s);
  EXPECT_EQ(GraphicOptions, goHighQuality | goDisplayInterlace);  // reading leaves it alone
  EXPECT_EQ(SaverGraphicOptions(program_, 3), goStandardAspect);
  GraphicOptions = 0;
}

}  // namespace

namespace {
TEST(SaverSettingsTexts, TitleAndCustomColours) {
  EXPECT_EQ(SaverScriptTitle("Beach", 12, "C:\\T\\Script 00003.ini"),
            "Beach (12 entries in C:\\T\\Script 00003.ini)");
  uint32_t colors[16];
  CustomColorsFromTexts({"ColorA=0000FF", "ColorC=123456", "ColorZ=000000", "ColorB=pink"}, colors);
  EXPECT_EQ(colors[0], 0xFFu);
  EXPECT_EQ(colors[1], 0xFFFFFFu);
  EXPECT_EQ(colors[2], 0x123456u);
  EXPECT_EQ(colors[15], 0xFFFFFFu);
  const auto texts = CustomColorsToTexts(colors);
  ASSERT_EQ(texts.size(), 16u);
  EXPECT_EQ(texts[0], "ColorA=0000FF");
  EXPECT_EQ(texts[15], "ColorP=FFFFFF");
  uint32_t back[16];
  CustomColorsFromTexts(texts, back);
  EXPECT_TRUE(std::equal(std::begin(colors), std::end(colors), std::begin(back)));
}
}  // namespace
