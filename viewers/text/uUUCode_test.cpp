#include "online/uGuide.h"
#include "viewers/text/uUUCode.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "foundation/uFiles.h"
#include "tests/TestSupport.h"

namespace fs = std::filesystem;
using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }
std::string Text(const std::vector<uint8_t>& v) { return {v.begin(), v.end()}; }

std::vector<uint8_t> RandomBytes(size_t n, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<uint8_t> v(n);
  for (auto& b : v) b = static_cast<uint8_t>(rng());
  return v;
}

class UUCodeTest : public testsupport::tPlainPlatformTest {
 protected:
  void SetUp() override {
    tPlainPlatformTest::SetUp();
    dir_ = testsupport::ScratchDir("uucode");
  }
  std::string P(const std::string& name) { return (dir_ / name).string(); }
  fs::path dir_;
};

TEST_F(UUCodeTest, EncodedLayout) {
  WriteFile(dir_ / "Forty.Five.BIN", std::vector<uint8_t>(45, 'a'));
  WriteFile(dir_ / "empty", {});
  std::string out;
  ASSERT_EQ(UUEncodeFile(P("Forty.Five.BIN"), out), 0);
  EXPECT_EQ(out, P("Forty.uue"));
  auto lines = SplitTextLines(Text(ReadFile(out)));
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], "section 1 of uuencode of file forty.five.bin by Tavishore");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], "begin 644 forty.five.bin");
  EXPECT_EQ(lines[3].size(), 61u);
  EXPECT_EQ(lines[3][0], 'M');
  EXPECT_EQ(lines[4], "`");
  EXPECT_EQ(lines[5], "end");
  // The next free 8-character name.
  ASSERT_EQ(UUEncodeFile(P("Forty.Five.BIN"), out), 0);
  EXPECT_EQ(out, P("Forty0.uue"));

  ASSERT_EQ(XXEncodeFile(P("Forty.Five.BIN"), out), 0);
  lines = SplitTextLines(Text(ReadFile(out)));
  EXPECT_EQ(lines[0], "section 1 of xxencode of file forty.five.bin by Tavishore");
  EXPECT_EQ(lines[3][0], 'h');
  EXPECT_EQ(lines[4], "+");

  ASSERT_EQ(UUEncodeFile(P("empty"), out), 0);
  lines = SplitTextLines(Text(ReadFile(out)));
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "section 1 of uuencode of file         empty by Tavishore");
  EXPECT_EQ(lines[3], "`");
  EXPECT_EQ(lines[4], "end");

  EXPECT_EQ(UUEncodeFile(P("missing"), out), 1);
}

TEST_F(UUCodeTest, OurUuencodeDecodesWithSharutils) {
  if (!testsupport::HaveTool("uudecode")) GTEST_SKIP() << "sharutils missing";
  for (size_t size : {1u, 2u, 3u, 44u, 45u, 46u, 10000u}) {
    const auto data = RandomBytes(size, static_cast<uint32_t>(size));
    WriteFile(dir_ / "data.bin", data);
    std::string out;
    ASSERT_EQ(UUEncodeFile(P("data.bin"), out), 0);
    ASSERT_EQ(testsupport::Run("cd " + dir_.string() + " && uudecode -o check.bin " + out), 0);
    EXPECT_EQ(ReadFile(dir_ / "check.bin"), data) << size;
    fs::remove(out);
  }
}

TEST_F(UUCodeTest, SharutilsUuencodeDecodesHere) {
  if (!testsupport::HaveTool("uuencode")) GTEST_SKIP() << "sharutils missing";
  for (size_t size : {0u, 1u, 45u, 4000u}) {
    const auto data = RandomBytes(size, 7 + static_cast<uint32_t>(size));
    WriteFile(dir_ / "in.bin", data);
    ASSERT_EQ(testsupport::Run("cd " + dir_.string() + " && uuencode in.bin result.dat > mail.txt"), 0);
    std::string outName, renamed;
    int line = -1;
    EXPECT_EQ(DecodeToFiles(P("mail.txt"), outName, renamed, line), ueNone) << size;
    EXPECT_EQ(line, 0);
    EXPECT_EQ(outName, "result.dat");
    EXPECT_EQ(renamed, "mail.uue");
    EXPECT_EQ(ReadFile(dir_ / "result.dat"), data) << size;
    fs::remove(dir_ / "result.dat");
    fs::remove(dir_ / "mail.uue");
  }
}

TEST_F(UUCodeTest, XxRoundTrip) {
  const auto data = RandomBytes(5000, 3);
  WriteFile(dir_ / "x.bin", data);
  std::string out, outName, renamed;
  ASSERT_EQ(XXEncodeFile(P("x.bin"), out), 0);
  int line = -1;
  EXPECT_EQ(DecodeToFiles(out, outName, renamed, line), ueNone);
  EXPECT_EQ(outName, "x (2).bin");  // x.bin itself is still there
  EXPECT_EQ(renamed, "");           // already ".xxe"
  EXPECT_EQ(ReadFile(dir_ / outName), data);
}

std::string MimeMail(const std::string& name, const std::string& base64Text, const std::string& tail) {
  return "From: someone\r\nSubject: pictures\r\nMIME-Version: 1.0\r\n"
         "Content-Type: multipart/mixed; boundary=\"XYZ\"\r\n\r\n--XYZ\r\n"
         "Content-Type: application/octet-stream; name=\"" +
         name + "\"\r\nContent-Transfer-Encoding: base64\r\n\r\n" + base64Text + tail;
}

TEST_F(UUCodeTest, Base64FromTheBase64Tool) {
  if (!testsupport::HaveTool("base64")) GTEST_SKIP();
  for (size_t size : {1u, 2u, 3u, 57u, 3000u}) {
    const auto data = RandomBytes(size, 11 + static_cast<uint32_t>(size));
    WriteFile(dir_ / "in.bin", data);
    std::vector<uint8_t> encoded;
    ASSERT_EQ(testsupport::Run("base64 " + (dir_ / "in.bin").string(), &encoded), 0);
    // Ended by the boundary line, and by a blank line.
    for (const char* tail : {"--XYZ--\r\n", "\r\nmore text\r\n"}) {
      WriteFile(dir_ / "mail.eml", Bytes(MimeMail("pic.bin", Text(encoded), tail)));
      std::string outName, renamed;
      int line = -1;
      EXPECT_EQ(DecodeToFiles(P("mail.eml"), outName, renamed, line), ueNone);
      EXPECT_EQ(outName, "pic.bin");
      EXPECT_EQ(renamed, "mail.mme");
      EXPECT_EQ(ReadFile(dir_ / "pic.bin"), data) << size;
      fs::remove(dir_ / "pic.bin");
      fs::remove(dir_ / "mail.mme");
    }
  }
}

TEST_F(UUCodeTest, LongBase64LinesDecodeWhole) {
  // One line far longer than any fixed buffer.
  const auto data = RandomBytes(30000, 5);
  if (!testsupport::HaveTool("base64")) GTEST_SKIP();
  WriteFile(dir_ / "in.bin", data);
  std::vector<uint8_t> encoded;
  ASSERT_EQ(testsupport::Run("base64 -w0 " + (dir_ / "in.bin").string(), &encoded), 0);
  WriteFile(dir_ / "mail.eml", Bytes(MimeMail("long.bin", Text(encoded), "\r\n\r\n")));
  std::string outName, renamed;
  int line = 0;
  EXPECT_EQ(DecodeToFiles(P("mail.eml"), outName, renamed, line), ueNone);
  EXPECT_EQ(ReadFile(dir_ / "long.bin"), data);
}

TEST_F(UUCodeTest, AnnouncedNamesStayInTheFolder) {
  struct {
    const char* announced;
    const char* expected;
  } cases[] = {{"../../evil.bin", "evil.bin"},   {"C:\\Windows\\evil.bin", "evil.bin"},
               {"/etc/passwd", "passwd"},        {"a<b>c|d?.bin", "abcd.bin"},
               {"..", "default.dat"},            {"dir/", "default.dat"},
               {"plain.gif", "plain.gif"},      {"with space.gif", "with space.gif"}};
  for (const auto& c : cases) EXPECT_EQ(SafeOutputName(c.announced), c.expected) << c.announced;

  const fs::path inner = dir_ / "inner";
  fs::create_directories(inner);
  WriteFile(inner / "m.txt", Bytes("begin 644 ../escape.bin\n#86)C\n`\nend\n"));
  std::string outName, renamed;
  int line = 0;
  EXPECT_EQ(DecodeToFiles((inner / "m.txt").string(), outName, renamed, line), ueNone);
  EXPECT_EQ(outName, "escape.bin");
  EXPECT_EQ(ReadFile(inner / "escape.bin"), Bytes("abc"));
  EXPECT_FALSE(fs::exists(dir_ / "escape.bin"));
}

TEST_F(UUCodeTest, BrokenBlocks) {
  struct {
    const char* text;
    int error;
    int line;
  } cases[] = {
      // A character outside the alphabet in the data.
      {"begin 644 a.bin\n#86)C\n#8~)C\n`\nend\n", ueBadLine, 3},
      // An empty line inside the data.
      {"begin 644 a.bin\n#86)C\n\n`\nend\n", ueEmptyLine, 3},
      // A line shorter than its count says.
      {"begin 644 a.bin\nM86)C\nend\n", ueBadLine, 2},
  };
  for (const auto& c : cases) {
    WriteFile(dir_ / "b.txt", Bytes(c.text));
    std::string outName, renamed;
    int line = 0;
    EXPECT_EQ(DecodeToFiles(P("b.txt"), outName, renamed, line), c.error) << c.text;
    EXPECT_EQ(line, c.line) << c.text;
    EXPECT_FALSE(fs::exists(dir_ / "a.bin")) << c.text;
    EXPECT_TRUE(fs::exists(dir_ / "b.txt"));
  }
}

TEST_F(UUCodeTest, OnlyTheFirstBlock) {
  WriteFile(dir_ / "two.uue", Bytes("begin 644 one.bin\n#86)C\n`\nend\nbegin 644 two.bin\n#86)C\n`\nend\n"));
  std::string outName, renamed;
  int line = 0;
  EXPECT_EQ(DecodeToFiles(P("two.uue"), outName, renamed, line), ueNone);
  EXPECT_EQ(outName, "one.bin");
  EXPECT_FALSE(fs::exists(dir_ / "two.bin"));
}

TEST_F(UUCodeTest, OutputThatCannotBeCreated) {
  // The folder of the text is gone by the time the output is made.
  WriteFile(dir_ / "t.txt", Bytes("begin 644 a.bin\n#86)C\n`\nend\n"));
  std::string outName, renamed;
  int line = 0;
  const std::string ghost = (dir_ / "nofolder" / "t.txt").string();
  EXPECT_EQ(DecodeToFiles(ghost, outName, renamed, line), ueNone);  // nothing to read, no block
  EXPECT_EQ(outName, "");
}

TEST(UUDetect, Table) {
  struct {
    std::vector<std::string> lines;
    const char* ext;
    bool found;
  } cases[] = {
      {{"hello", "world"}, ".txt", false},
      {{"begin 644 a.bin", "#86)C", "`", "end"}, ".txt", true},
      {{"section 1 of uuencode of file a.bin by x", "", "begin 644 a.bin", "#86)C"}, ".txt", true},
      {{"section 2 of uuencode of file a.bin by x"}, ".txt", false},
      {{"Content-Type: image/gif; name=a.gif", "Content-Transfer-Encoding: base64", "", "R0lG"}, ".eml", true},
      {{"begin 644 a.bin", "h+"}, ".xxe", true},
      {{}, ".txt", false},
  };
  for (const auto& c : cases) EXPECT_EQ(HasEncodedData(c.lines, c.ext), c.found) << c.lines.size();
}

TEST(UUParser, Base64Details) {
  tUUparser p;
  p.Mode = umBase64;
  p.BuildTable();
  p.DecodeBase64Line("QUJD");
  EXPECT_EQ(p.ByteCount, 3);
  EXPECT_EQ(std::string(p.Bytes.begin(), p.Bytes.begin() + 3), "ABC");
  p.DecodeBase64Line("QQ==");
  EXPECT_EQ(p.ByteCount, 1);
  EXPECT_EQ(p.Bytes[0], 'A');
  p.DecodeBase64Line("Q=QQ");  // "=" too early
  EXPECT_EQ(p.ErrorCode, ueBadLine);
}

}  // namespace
