#include "foundation/uUtil.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>

#include "foundation/uPlatform.h"
#include "tests/TestSupport.h"

namespace {

using PlatformTest = testsupport::tPlainPlatformTest;

TEST(Util, FitRect) {
  struct {
    int bw, bh, pw, ph, w, h;
  } cases[] = {
      {200, 200, 1000, 500, 200, 100}, {200, 200, 500, 1000, 100, 200},
      {200, 200, 1, 300, 1, 200},      {200, 200, 300, 1, 200, 1},
      {640, 480, 640, 480, 640, 480},  {100, 100, 3, 2, 100, 51},  // 99 * 1 / 2 = 49.5 -> 50
      {300, 100, 16, 16, 100, 100},    {7, 7, 0, 0, 1, 7},
  };
  for (const auto& c : cases) {
    int w = -1, h = -1;
    FitRect(c.bw, c.bh, c.pw, c.ph, w, h);
    EXPECT_EQ(w, c.w) << c.pw << "x" << c.ph;
    EXPECT_EQ(h, c.h) << c.pw << "x" << c.ph;
  }
}

TEST(Util, CenterAndFitCenterRect) {
  int x, y;
  CenterOffset(200, 100, 51, 120, x, y);
  EXPECT_EQ(x, 74);
  EXPECT_EQ(y, 0);  // taller than the box: not moved
  TRect r;
  FitCenterRect(200, 200, 1000, 500, r);
  EXPECT_EQ(r, (TRect{0, 50, 199, 149}));
  FitCenterRect(300, 100, 16, 16, r);
  EXPECT_EQ(r, (TRect{100, 0, 199, 99}));
}

TEST(Util, RectanglesAndIntegers) {
  TRect r{10, 20, 5, 8};
  NormalizeRect(r);
  EXPECT_EQ(r, (TRect{5, 8, 10, 20}));
  EXPECT_TRUE(PointInRect({5, 8}, r));
  EXPECT_TRUE(PointInRect({9, 19}, r));
  EXPECT_FALSE(PointInRect({10, 19}, r));  // right edge outside, as PtInRect
  EXPECT_FALSE(PointInRect({9, 20}, r));
  EXPECT_FALSE(PointInRect({4, 10}, r));
  EXPECT_FALSE(PointInRect({6, 10}, TRect{10, 20, 5, 8}));

  EXPECT_EQ(ClampRange(10, -3), 0);
  EXPECT_EQ(ClampRange(10, 4), 4);
  EXPECT_EQ(ClampRange(10, 40), 10);
  EXPECT_EQ(IntMax(-2, 3), 3);
  EXPECT_EQ(IntMin(-2, 3), -2);
  EXPECT_EQ(CompareInt(1, 2), -1);
  EXPECT_EQ(CompareInt(2, 2), 0);
  EXPECT_EQ(CompareInt(INT_MAX, INT_MIN), 1);
  EXPECT_EQ(MulWords(65535, 65535), 4294836225u);
}

TEST(Util, DropDownRowCount) {
  struct Case {
    int space, rowHeight, items, rows;
  } cases[] = {
      {300, 16, 40, 18},  // the space decides
      {300, 16, 5, 5},    // the items decide
      {15, 16, 5, 1},     // no room: one row still
      {300, 16, 0, 1},    // an empty list
      {300, 0, 5, 1},     // no row height known yet
      {-20, 16, 5, 1},    // a window squeezed shut
  };
  for (const Case& c : cases)
    EXPECT_EQ(DropDownRowCount(c.space, c.rowHeight, c.items), c.rows)
        << c.space << " " << c.rowHeight << " " << c.items;
}

TEST(Util, MulDivRoundsHalvesAwayFromZero) {
  struct {
    int32_t a, b, c, want;
  } cases[] = {
      {5, 3, 2, 8},
      {-5, 3, 2, -8},
      {5, -3, 2, -8},
      {5, 3, -2, -8},
      {-5, -3, -2, -8},
      {-5, -3, 2, 8},
      {7, 1, 3, 2},
      {8, 1, 3, 3},
      {-8, 1, 3, -3},
      {1, 1, 0, -1},
      {INT32_MAX, 2, 1, -1},  // does not fit: -1
      {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX},
      {999, 1279, 1999, 639},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MulDivRound(c.a, c.b, c.c), c.want) << c.a << "*" << c.b << "/" << c.c;
}

TEST(Util, RoundHalfEvenAndTrunc) {
  struct {
    double v;
    int64_t round, trunc;
  } cases[] = {
      {0.5, 0, 0},
      {1.5, 2, 1},
      {2.5, 2, 2},
      {-0.5, 0, 0},
      {-1.5, -2, -1},
      {-2.5, -2, -2},
      {2.4999999, 2, 2},
      {2.5000001, 3, 2},
      {-2.9, -3, -2},
      {1e30, INT64_MAX, INT64_MAX},
      {-1e30, INT64_MIN, INT64_MIN},
      {NAN, 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RoundHalfEven(c.v), c.round) << c.v;
    EXPECT_EQ(TruncInt(c.v), c.trunc) << c.v;
  }
}

TEST_F(PlatformTest, ScreenFactsComeFromThePlatform) {
  plain_.ScreenWidth = 800;
  plain_.ScreenHeight = 575;
  plain_.ColorBits = 16;
  int w, h;
  FullScreenSize(w, h);
  EXPECT_EQ(w, 800);
  EXPECT_EQ(h, 575);
  EXPECT_EQ(ScreenColorBits(), 16);
}

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

TEST(Util, IsTextData) {
  auto text = [](std::vector<uint8_t> b) { return IsTextData(b.data(), b.size()); };
  std::vector<uint8_t> b(300, 'x');
  b[10] = 1;
  b[200] = 0x80;
  EXPECT_TRUE(text(b));  // 2 binary bytes allowed in 300
  b[250] = 0x7F;
  EXPECT_FALSE(text(b));

  std::vector<uint8_t> eof(100, 'a');
  eof.push_back(26);
  eof.insert(eof.end(), 50, 0x01);
  EXPECT_TRUE(text(eof));  // nothing after the end-of-file mark counts
  eof.insert(eof.end(), 249, 0x01);
  EXPECT_FALSE(text(eof));  // 400 bytes: the uncounted ones still count in the length

  EXPECT_FALSE(text(Bytes("A")));
  EXPECT_TRUE(text(Bytes(std::string("AB\0", 3))));
  EXPECT_FALSE(text(Bytes(std::string("A\0B", 3))));
  EXPECT_TRUE(text(Bytes("line\r\n\tmore\f")));
  EXPECT_FALSE(IsTextData(b.data(), 0));

  std::vector<uint8_t> box(256, 0xC4);  // line-drawing characters
  EXPECT_TRUE(text(box));
  std::vector<uint8_t> high(256, 0xE9);
  EXPECT_FALSE(text(high));
}

TEST(Util, CaptionAccelerator) {
  const std::pair<const char*, char> cases[] = {
      {"&Yes", 'Y'}, {"N&o to All", 'O'}, {"Yes to &All", 'A'}, {"&no", 'N'}, {"OK", 0},
      {"Fish && &Chips", 'C'}, {"Fish &&Chips", 0}, {"Trailing&", 0}, {"&1st", '1'}, {"", 0}};
  for (auto [caption, letter] : cases) EXPECT_EQ(CaptionAccelerator(caption), letter) << caption;
}

TEST(Util, StringsToNulList) {
  auto str = [](const std::vector<char>& v) { return std::string(v.begin(), v.end()); };
  std::vector<std::string> lines{"C:\\a.gif", "C:\\b c.gif"};
  EXPECT_EQ(str(StringsToNulList("ignored", &lines)),
            std::string("C:\\a.gif\0C:\\b c.gif\0\0", 21));
  EXPECT_EQ(str(StringsToNulList("C:\\one")), std::string("C:\\one\0\0", 8));
  std::vector<std::string> none;
  EXPECT_EQ(str(StringsToNulList("x", &none)), std::string("\0", 1));
}

TEST(Util, ColorCountAndImageSizeTexts) {
  struct {
    uint16_t code;
    const char* want;
  } cases[] = {{2, "2"},     {256, "256"}, {264, "???k"}, {271, "32k"},  {272, "64k"}, {280, "16m"},
               {288, "16m"}, {283, ""},    {259, "8"},    {257, "???k"}, {0, "0"}};
  for (const auto& c : cases) EXPECT_EQ(ColorCountText(c.code), c.want) << c.code;
  EXPECT_EQ(ImageSizeText(640, 480, 256), "640x480x256");
  EXPECT_EQ(ImageSizeText(70000, -1, 280), "4464x65535x16m");
}

TEST_F(PlatformTest, SizeText) {
  struct {
    int64_t bytes;
    const char* want;
  } cases[] = {
      {0, "0.00KB"},
      {512, "0.50KB"},
      {1048575, "1,024.00KB"},
      {1048576, "1.00MB"},
      {1073741823, "1,024.00MB"},
      {1073741824, "1.00GB"},
      {5LL << 40, "5,120.00GB"},
  };
  for (const auto& c : cases) EXPECT_EQ(SizeText(c.bytes), c.want) << c.bytes;
}

TEST_F(PlatformTest, WindowsVersion) {
  struct {
    tWindowsVersion v;
    const char* text;
    const char* build;
    bool osr2, first, nt, nt4;
  } cases[] = {
      {{1, 4, 0, 950}, "32 bit Windows (95)", "950 (0)", false, true, false, false},
      {{1, 4, 0, 0x040003B6 + 200},
       "32 bit Windows (95)",
       "1150 (1024)",
       true,
       false,
       false,
       false},
      {{1, 4, 10, 1998}, "32 bit Windows (98)", "1998 (0)", true, false, false, false},
      {{1, 4, 90, 3000}, "32 bit Windows ", "3000 (0)", true, false, false, false},
      {{2, 4, 0, 1381}, "Windows NT 4.0", "1381 (0)", false, false, true, true},
      {{2, 6, 1, 7601}, "Windows NT 6.1", "7601 (0)", false, false, true, false},
      {{0, 3, 10, 0}, "Windows 3.1 + Win32s ", "0 (0)", false, false, false, false},
      {{3, 1, 0, 0}, "unknown ", "0 (0)", false, false, false, false},
      {{-1, 1, 0, 0}, "unknown ", "0 (0)", false, false, false, false},
  };
  for (const auto& c : cases) {
    plain_.Version = c.v;
    EXPECT_EQ(WindowsVersionText(), c.text);
    EXPECT_EQ(WindowsBuildText(), c.build);
    EXPECT_EQ(IsWin95OSR2(), c.osr2) << c.text;
    EXPECT_EQ(IsWin95First(), c.first) << c.text;
    EXPECT_EQ(IsWinNT(), c.nt) << c.text;
    EXPECT_EQ(IsWinNT4(), c.nt4) << c.text;
  }
}

TEST(Util, Dates) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
  EXPECT_EQ(EncodeDate(2000, 1, 1), 36526);
  EXPECT_EQ(EncodeDate(1, 1, 1), -693593);
  EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465);
  EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
  EXPECT_THROW(EncodeDate(2024, 13, 1), EConvertError);
  EXPECT_EQ(EncodeDate(2024, 2, 29), EncodeDate(2024, 3, 1) - 1);

  uint16_t may17 = (2024 - 1980) << 9 | 5 << 5 | 17;
  EXPECT_EQ(DosDateToDateTime(may17), EncodeDate(2024, 5, 17));
  EXPECT_EQ(DosDateToDateTime(0x21), EncodeDate(1980, 1, 1));
  EXPECT_EQ(DosDateToDateTime(0), 0);            // month 0: no day
  EXPECT_EQ(DosDateToDateTime(2 << 5 | 30), 0);  // 30 February 1980
  EXPECT_EQ(DosDateToDateTime(0xFFFF), 0);       // month 15
  EXPECT_EQ(DateToMDYText(DosDateToDateTime(may17)), "05/17/2024");
  EXPECT_EQ(DateToMDYText(EncodeDate(1999, 12, 31) + 0.75), "12/31/1999");
  EXPECT_EQ(DateToMDYText(-1.25), "12/29/1899");
  EXPECT_EQ(DateToMDYText(EncodeDate(5, 1, 2)), "01/02/0005");
  EXPECT_EQ(DateToMDYText(1e12), "");
  EXPECT_EQ(DateToMDYText(NAN), "");

  for (int day = -693593; day <= 2958465; day += 997) {
    int y, m, d;
    ASSERT_TRUE(DecodeDate(day, y, m, d));
    ASSERT_EQ(EncodeDate(y, m, d), day);
  }
}

TEST(Util, EncodeSpaces) {
  EXPECT_EQ(EncodeSpaces("my  pic.gif"), "my%20%20pic.gif");
  EXPECT_EQ(EncodeSpaces(""), "");
}

TEST(Util, VersionNumbers) {
  struct {
    const char* text;
    int number;
    const char* digits;
  } cases[] = {
      {"Tavishore version 5.10a", 5101, "5.1.0.1"},
      {"Tavishore version 5.10", 510, "510"},
      {"Tavishore version 5.10b", 5102, "5.1.0.2"},
      {"a b 5.10ab", 51012, "51.0.1.2"},
      {"a b 5.10c", 0, "0"},
      {"a b", 0, "0"},
      {"a b 99999999999", 0, "0"},
      {"a b +12", 12, "12"},
      {"a b -", 0, "0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(VersionNumberOf(c.text), c.number) << c.text;
    EXPECT_EQ(VersionNumberText(c.text), c.digits) << c.text;
  }
  EXPECT_EQ(VersionDigitsText(5101), "5.1.0.1");
  EXPECT_EQ(VersionDigitsText(999), "999");
  EXPECT_EQ(VersionDigitsText(65536 + 1234), "1.2.3.4");
}

TEST(Util, Words) {
  const std::string text = "  one\ttwo\r\nthree\f four  ";
  EXPECT_EQ(WordCount(text), 4);
  EXPECT_EQ(GetWord(text, 1), "one");
  EXPECT_EQ(GetWord(text, 3), "three");
  EXPECT_EQ(GetWord(text, 4), "four");
  EXPECT_EQ(GetWord(text, 5), "");
  EXPECT_EQ(GetWord(text, 0), "");
  EXPECT_EQ(WordCount(""), 0);
  EXPECT_EQ(WordCount(" \t "), 0);
  EXPECT_EQ(WordCount("a\vb"), 1);                      // vertical tab is no delimiter
  EXPECT_EQ(GetWord(std::string("a\0b c", 5), 2), "");  // the text ends at a NUL
  std::string longText(300, 'x');
  longText += " last";
  EXPECT_EQ(WordCount(longText), 2);
  EXPECT_EQ(GetWord(longText, 2), "last");
  EXPECT_EQ(WordCountZ(nullptr), 0);
  EXPECT_EQ(GetWordZ(nullptr, 1), "");
}

TEST(Util, GetQuotedWord) {
  const char* line = "C:\\prog.exe  \"C:\\my pics\\a b.gif\" /s";
  struct {
    const char* text;
    int n;
    const char* want;
  } cases[] = {
      {line, 1, "C:\\prog.exe"},
      {line, 2, "C:\\my pics\\a b.gif"},
      {line, 3, "/s"},
      {line, 4, ""},
      {line, 0, ""},
      {"ab\"cd ef", 1, "ab\"cd"},  // a quote inside a plain word belongs to it
      {"ab\"cd ef", 2, "ef"},
      {"\"open ended", 1, "open ended"},
      {"\"\" x", 1, "x"},
      {"\"a\"\"b c\"", 2, "b c"},
      {"\"two\twords\"", 2, "words\""},  // the tab ended the quoted word
      {"", 1, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(GetQuotedWord(c.text, c.n), c.want) << c.text << " " << c.n;
  EXPECT_EQ(GetQuotedWord(static_cast<const char*>(nullptr), 1), "");
}

TEST_F(PlatformTest, CommandLineWord) {
  plain_.CommandLineText = "\"C:\\Program Files\\T32\\Tavis32.exe\" \"D:\\pics\\my cat.jpg\" /x";
  EXPECT_EQ(CommandLineWord(0), "C:\\Program Files\\T32\\Tavis32.exe");
  EXPECT_EQ(CommandLineWord(1), "D:\\pics\\my cat.jpg");
  EXPECT_EQ(CommandLineWord(2), "/x");
  EXPECT_EQ(CommandLineWord(3), "");
  EXPECT_EQ(CommandLineWord(-1), "");
}

TEST(Util, FindCharAndLowerChar) {
  int pos = -1;
  EXPECT_TRUE(FindChar('.', "a.b.c", pos));
  EXPECT_EQ(pos, 2);
  EXPECT_FALSE(FindChar('x', "a.b.c", pos));
  EXPECT_EQ(pos, 0);
  EXPECT_EQ(LowerChar('Q'), 'q');
  EXPECT_EQ(LowerChar('q'), 'q');
  EXPECT_EQ(LowerChar('['), '[');
  EXPECT_EQ(LowerChar('\xC9'), '\xC9');
}

TEST(Util, RemoveAllText) {
  struct {
    const char* text;
    const char* what;
    const char* want;
  } cases[] = {
      {"Copy of Photo copy of x", "copy of ", "Photo x"},
      {"aabb", "AB", ""},  // removing joins a new occurrence, which goes too
      {"  keep  ", "zz", "  keep  "},
      {"  keep  ", "", "  keep  "},
      {"x [1]  ", "[1]", "x"},
  };
  for (const auto& c : cases) {
    std::string s = c.text;
    RemoveAllText(s, c.what);
    EXPECT_EQ(s, c.want) << c.text;
  }
}

TEST(Util, ReplaceAllText) {
  struct {
    const char* text;
    const char* oldText;
    const char* newText;
    int count;
    const char* want;
  } cases[] = {
      {"aaa", "a", "aa", 3, "aaaaaa"},
      {"Hello HELLO hello", "hello", "bye", 3, "bye bye bye"},
      {"abab", "aba", "x", 1, "xb"},
      {"abc", "", "x", 0, "abc"},
      {"abc", "d", "x", 0, "abc"},
      {"a-b-c", "-", "", 2, "abc"},
      {"%1 and %1", "%1", "%1%1", 2, "%1%1 and %1%1"},
  };
  for (const auto& c : cases) {
    std::string s = c.text;
    EXPECT_EQ(ReplaceAllText(s, c.oldText, c.newText), c.count) << c.text;
    EXPECT_EQ(s, c.want);
  }
}

TEST(Util, ShortTexts) {
  EXPECT_EQ(CharString(3, 'x'), "xxx");
  EXPECT_EQ(CharString(0, 'x'), "");
  EXPECT_EQ(CharString(-5, 'x'), "");
  EXPECT_EQ(CharString(300, 'x').size(), 255u);
  EXPECT_EQ(SpaceString(2), "  ");
  EXPECT_EQ(ZeroPad("7", 3), "007");
  EXPECT_EQ(ZeroPad("1234", 3), "1234");
  EXPECT_EQ(ZeroPad("7", -5), "7");
  EXPECT_EQ(ZeroPad("7", 300).size(), 255u);
  std::string s = " a b  ";
  TrimTrailingSpaces(s);
  EXPECT_EQ(s, " a b");
  s = "   ";
  TrimTrailingSpaces(s);
  EXPECT_EQ(s, "");
  s = "tab\t";
  TrimTrailingSpaces(s);
  EXPECT_EQ(s, "tab\t");
  AppendChar(s, '!');
  EXPECT_EQ(s, "tab\t!");
}

TEST(Util, SwapBytes) {
  uint16_t w = 0x1234;
  SwapBytes(w);
  EXPECT_EQ(w, 0x3412);
  uint32_t d = 0x12345678;
  SwapBytes(d);
  EXPECT_EQ(d, 0x78563412u);
  uint8_t b[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  SwapBytes(b, 2);
  EXPECT_EQ(0, std::memcmp(b, "\2\1\3\4\5\6\7\10", 8));
  SwapBytes(b, 4);
  EXPECT_EQ(0, std::memcmp(b, "\4\3\1\2\5\6\7\10", 8));
  SwapBytes(b, 8);  // more than four: the first four, as for a 32-bit field
  EXPECT_EQ(0, std::memcmp(b, "\2\1\3\4\5\6\7\10", 8));
  SwapBytes(b, 3);  // fewer than four: nothing to reverse safely
  SwapBytes(b, 1);
  SwapBytes(b, 0);
  EXPECT_EQ(0, std::memcmp(b, "\2\1\3\4\5\6\7\10", 8));
}

}  // namespace
