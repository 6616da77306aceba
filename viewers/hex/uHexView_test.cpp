#include "viewers/hex/uHexView.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <cctype>
#include <random>
#include <sstream>
#include <string>

#include "tests/TestSupport.h"

namespace fs = std::filesystem;

namespace {

class HexViewTest : public testsupport::tPlainPlatformTest {
 protected:
  void SetUp() override {
    tPlainPlatformTest::SetUp();
    dir_ = testsupport::ScratchDir("hexview");
  }
  fs::path dir_;
};

TEST_F(HexViewTest, EmptyAndShortFiles) {
  testsupport::WriteFile(dir_ / "empty", {});
  tHexView empty((dir_ / "empty").string());
  EXPECT_EQ(empty.Rows, 0);
  EXPECT_EQ(empty.LastRowLength, 0);
  EXPECT_EQ(empty.FormatLine(0, 8), "");
  EXPECT_EQ(HexHeaderText(0, "C:\\x"), "00000000 = 0 C:\\x");
  EXPECT_EQ(HexHeaderText(70000, "f"), "00011170 = 70,000 f");

  std::vector<uint8_t> data(17, 'A');
  data[16] = 'z';
  testsupport::WriteFile(dir_ / "s17", data);
  tHexView v((dir_ / "s17").string());
  EXPECT_EQ(v.Rows, 2);
  EXPECT_EQ(v.LastRowLength, 1);
  EXPECT_EQ(v.FormatLine(1, 8), "00000010 7A " + std::string(45, ' ') + "z");
  EXPECT_EQ(v.FormatLine(2, 8), "");
}

TEST_F(HexViewTest, CharacterColumn) {
  EXPECT_EQ(HexCharText(0), ".");
  EXPECT_EQ(HexCharText(31), ".");
  EXPECT_EQ(HexCharText(127), ".");
  EXPECT_EQ(HexCharText(255), ".");
  EXPECT_EQ(HexCharText(' '), " ");
  EXPECT_EQ(HexCharText(128), "\xE2\x82\xAC");  // the euro sign of the Windows code page
  EXPECT_EQ(HexCharText(0xE9), "\xC3\xA9");
}

// Every row against xxd's upper-case dump, reformatted to our layout; the character column is
// compared where xxd shows characters (below 128).
TEST_F(HexViewTest, RowsMatchXxd) {
  if (!testsupport::HaveTool("xxd")) GTEST_SKIP();
  std::mt19937 rng(9);
  std::vector<uint8_t> data(3 * tHexView::kPageSize + 37);
  for (auto& b : data) b = static_cast<uint8_t>(rng() % 128);
  testsupport::WriteFile(dir_ / "r.bin", data);
  std::vector<uint8_t> out;
  ASSERT_EQ(testsupport::Run("xxd -u -g1 -c16 " + (dir_ / "r.bin").string(), &out), 0);
  std::istringstream lines(std::string(out.begin(), out.end()));
  tHexView v((dir_ / "r.bin").string());
  ASSERT_EQ(v.Rows, static_cast<int64_t>((data.size() + 15) / 16));
  std::string line;
  // Read backwards as well as forwards, so that pages are swapped in both directions.
  std::vector<std::string> expected;
  while (std::getline(lines, line)) {
    std::string offset = line.substr(0, 8);
    for (char& c : offset) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::string hex = line.substr(10, 48);
    const std::string chars = line.substr(59);
    expected.push_back(offset + " " + hex + chars);
  }
  ASSERT_EQ(static_cast<int64_t>(expected.size()), v.Rows);
  for (int64_t r = v.Rows - 1; r >= 0; r -= 7) EXPECT_EQ(v.FormatLine(r, 8), expected[static_cast<size_t>(r)]) << r;
  for (int64_t r = 0; r < v.Rows; ++r) ASSERT_EQ(v.FormatLine(r, 8), expected[static_cast<size_t>(r)]) << r;
}

TEST_F(HexViewTest, PagePositions) {
  testsupport::WriteFile(dir_ / "p", std::vector<uint8_t>(20000, 1));
  tHexView v((dir_ / "p").string());
  int64_t start = 0, page = 0;
  int32_t offset = 0;
  v.RowPosition(513, start, offset, page);
  EXPECT_EQ(page, 1);
  EXPECT_EQ(start, 8192);
  EXPECT_EQ(offset, 16);
  EXPECT_EQ(v.PageIn(513), 16);
  EXPECT_EQ(v.Page, 1);
}

}  // namespace
