#include "imaging/formats/gRLE.h"

#include <gtest/gtest.h>

#include "imaging/formats/ReaderTestUtil.h"

namespace {

using readertest::Decode;
using readertest::Indices;
using tBytes = std::vector<uint8_t>;

tBytes Text(const std::string& s) { return tBytes(s.begin(), s.end()); }

// Row y of the decoded picture as runs: the number of pixels of each colour in turn, black first.
std::vector<int> Runs(tGraphicID& id, int y) {
  std::vector<int> runs = {0};
  uint8_t colour = 0;
  for (uint8_t v : Indices(id, y)) {
    if (v != colour) runs.push_back(0), colour = v;
    ++runs.back();
  }
  return runs;
}

TEST(RleTest, HighResolutionRunsWrapIntoTheNextRow) {
  // 33 black, an empty white run, 33 more black, then 200 white: 190 on row 0, 10 on row 1.
  tBytes file = Text("\x1bGH");
  file.insert(file.end(), {'A', ' ', 'A', 232, 42});
  auto id = Decode(file);
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->FormatId, fmtRLE);
  EXPECT_EQ(id->Width, 256);
  EXPECT_EQ(id->Height, 192);
  EXPECT_EQ(id->BitsPerPixel, 1);
  EXPECT_EQ(id->Colors, 2);
  EXPECT_EQ(id->GrayFlag, 1);
  EXPECT_EQ(id->HasPalette, 1);
  EXPECT_EQ(id->Info[1], "b256x192x2 CompuServe RLE ");
  EXPECT_EQ(Runs(*id, 0), (std::vector<int>{66, 190}));
  // The data ends inside row 1: 10 white pixels, then 10 black ones came.
  EXPECT_EQ(id->ErrorCode, errEndOfFile);
  EXPECT_EQ(id->RowsDone, 1);
  EXPECT_EQ(Runs(*id, 1), (std::vector<int>{0, 10, 246}));
  EXPECT_EQ(id->Info.back(), "kEnd Of File at 8");
  const tBytes white = {0xFF, 0xFF, 0xFF};
  const uint8_t* rgb = id->Bitmap->GetRGBLine(0) + 3 * 66;
  EXPECT_EQ(tBytes(rgb, rgb + 3), white);
}

TEST(RleTest, MediumResolutionEndsWithTheLastRow) {
  tBytes file = Text("junk before \x1bGM");
  for (int y = 0; y < 96; ++y) file.insert(file.end(), {32 + 64, 32 + 64});
  file.insert(file.end(), {'A', 'B', 0x1B, 'G', 'N'});  // never read
  auto id = Decode(file);
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->Width, 128);
  EXPECT_EQ(id->Height, 96);
  EXPECT_EQ(id->ErrorCode, 0);
  EXPECT_EQ(id->RowsDone, 96);
  for (int y : {0, 50, 95}) EXPECT_EQ(Runs(*id, y), (std::vector<int>{64, 64})) << y;
}

// Bytes below 32 would give negative runs: they are empty runs that still switch the colour.
TEST(RleTest, BytesBelow32AreEmptyRuns) {
  tBytes file = Text("\x1bGH");
  file.insert(file.end(), {5, 42, 0x1F, 42});
  auto id = Decode(file);
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(Runs(*id, 0), (std::vector<int>{0, 20, 236}));
}

TEST(RleTest, Identification) {
  struct Case {
    std::string text;
    int width;  // 0: not taken
  } cases[] = {
      {"\x1bGH!!", 256},
      {"\x1bGM!!", 128},
      {"text \x1bGH then \x1bGM", 128},  // ESC GM is looked for first
      {"\x1bG", 0},
      {"\x1bGX", 0},
      {std::string("text", 4) + std::string(1, '\0') + "\x1bGH", 0},  // past the text's end
  };
  for (const Case& c : cases) {
    auto id = readertest::Identify(Text(c.text));
    ASSERT_EQ(id != nullptr, c.width != 0) << c.text;
    if (id) {
      EXPECT_EQ(id->FormatId, fmtRLE);
      EXPECT_EQ(id->Width, c.width);
    }
  }
}

// The run data starts right after the sequence that was found.
TEST(RleTest, DataFollowsTheSequence) {
  tBytes file = Text("text \x1bGH then \x1bGM");
  file.insert(file.end(), {32 + 3, 32 + 5});
  auto id = Decode(file);
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(Runs(*id, 0), (std::vector<int>{3, 5, 120}));
}

}  // namespace
