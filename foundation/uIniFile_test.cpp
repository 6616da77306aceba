#include "foundation/uIniFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "foundation/uBuffStream.h"
#include "tests/TestSupport.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> Bytes(const std::string& s) {
  return std::vector<uint8_t>(s.begin(), s.end());
}
std::string Text(const fs::path& p) {
  auto b = testsupport::ReadFile(p);
  return std::string(b.begin(), b.end());
}
std::string Utf8(const fs::path& p) {
  std::u8string s = p.u8string();
  return std::string(s.begin(), s.end());
}

// Written by hand: odd spacing, tabs, mixed line ends, a comment, a repeated section.
const char kHandWritten[] =
    "; settings\r\n"
    "  [ Main Window ]  \r\n"
    "  Left =  10 \r\n"
    "Top=0x1F\n"
    "\tName\t=\t some text \t\r\n"
    "; Hidden=1\r\n"
    "Flag=2\r"
    "Neg=-5\r\n"
    "Color=$FFFFFFFF\r\n"
    "Bad=12abc\r\n"
    "Empty=\r\n"
    "no equals sign\r\n"
    "\r\n"
    "[Other]\r\n"
    "x=1\r\n"
    "[main WINDOW]\r\n"
    "Late=7\r\n";

class IniFileTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = testsupport::ScratchDir(std::string("ini_") +
                                   testing::UnitTest::GetInstance()->current_test_info()->name());
    path_ = dir_ / "Tavishore32.ini";
  }
  fs::path dir_, path_;
};

TEST_F(IniFileTest, ReadsHandWrittenFileWithoutRegardToCaseOrSpacing) {
  testsupport::WriteFile(path_, Bytes(kHandWritten));
  TIniFile ini(Utf8(path_));
  EXPECT_EQ(ini.ReadInteger("main window", "LEFT", 0), 10);
  EXPECT_EQ(ini.ReadInteger("Main Window", "Top", 0), 31);
  EXPECT_EQ(ini.ReadString("Main Window", "name", "-"), "some text");
  EXPECT_EQ(ini.ReadInteger("Main Window", "Neg", 0), -5);
  EXPECT_EQ(ini.ReadInteger("Main Window", "Color", 0), -1);
  EXPECT_EQ(ini.ReadInteger("Main Window", "Bad", 99), 99);
  EXPECT_EQ(ini.ReadString("Main Window", "Empty", "-"), "");  // empty is a value
  EXPECT_EQ(ini.ReadInteger("Main Window", "Empty", 3), 3);
  EXPECT_TRUE(ini.ReadBool("Main Window", "Flag", false));
  EXPECT_FALSE(ini.ValueExists("Main Window", "; Hidden"));
  EXPECT_FALSE(ini.ValueExists("Main Window", "Hidden"));
  EXPECT_EQ(ini.ReadInteger("Main Window", "Late", 0), 7);  // the repeated section joins
  EXPECT_EQ(ini.ReadString("Missing", "Left", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadInteger("Other", "Left", 4), 4);
  EXPECT_FALSE(ini.SectionExists("Missing"));

  std::vector<std::string> names;
  ini.ReadSections(names);
  EXPECT_EQ(names, (std::vector<std::string>{"Main Window", "Other"}));
  ini.ReadSection("MAIN window", names);
  EXPECT_EQ(names, (std::vector<std::string>{"Left", "Top", "Name", "Flag", "Neg", "Color", "Bad",
                                             "Empty", "Late"}));
}

TEST(IniTextToInt, DecimalAndHexadecimal) {
  struct {
    const char* text;
    bool ok;
    int32_t value;
  } cases[] = {{"0", true, 0},
               {"+7", true, 7},
               {"-2147483648", true, INT32_MIN},
               {"2147483647", true, INT32_MAX},
               {"2147483648", false, 0},
               {"0x1f", true, 31},
               {"0X10", true, 16},
               {"$ff", true, 255},
               {"0x", false, 0},
               {"0x123456789", false, 0},
               {"0xG", false, 0},
               {"", false, 0},
               {"-", false, 0},
               {"1.5", false, 0},
               {" 1", false, 0},
               {"0010", true, 10}};
  for (auto& c : cases) {
    int32_t v = 12345;
    EXPECT_EQ(IniTextToInt(c.text, v), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
}

TEST_F(IniFileTest, ValuesInMatchingQuotesAreReadWithoutThem) {
  testsupport::WriteFile(path_, Bytes("[S]\r\nA=\"C:\\a b\"\r\nB= 'x' \r\nC=\"12\"\r\n"
                                      "D=\"x'\r\nE=\"\r\nF=''\r\nG=\"a\"b\"\r\n"));
  TIniFile ini(Utf8(path_));
  struct {
    const char* key;
    const char* value;
  } cases[] = {{"A", "C:\\a b"}, {"B", "x"}, {"C", "12"},  {"D", "\"x'"},
               {"E", "\""},      {"F", ""},  {"G", "a\"b"}};
  for (auto& c : cases) EXPECT_EQ(ini.ReadString("S", c.key, "?"), c.value) << c.key;
  EXPECT_EQ(ini.ReadInteger("S", "C", 0), 12);
}

TEST_F(IniFileTest, BooleansAreOneAndZero) {
  TIniFile ini(Utf8(path_));
  ini.WriteBool("S", "On", true);
  ini.WriteBool("S", "Off", false);
  ini.WriteString("S", "Word", "yes");
  ini.WriteString("S", "Hex", "0x0");
  EXPECT_EQ(ini.ReadString("S", "On", ""), "1");
  EXPECT_EQ(ini.ReadString("S", "Off", ""), "0");
  EXPECT_TRUE(ini.ReadBool("S", "On", false));
  EXPECT_FALSE(ini.ReadBool("S", "Off", true));
  EXPECT_TRUE(ini.ReadBool("S", "Word", true));
  EXPECT_FALSE(ini.ReadBool("S", "Word", false));
  EXPECT_FALSE(ini.ReadBool("S", "Hex", true));
}

TEST_F(IniFileTest, NewFileIsWrittenAsWindowsWritesIt) {
  TIniFile ini(Utf8(path_));
  ini.WriteInteger("Main Window", "Left", -3);
  ini.WriteString("Main Window", "Caption", "  Tavishore 32  ");
  ini.WriteBool("Preferences", "Message sounds", true);
  ini.WriteString("Main Window", "Two\r\nlines", "a\nb");
  ASSERT_TRUE(ini.UpdateFile());
  EXPECT_EQ(Text(path_),
            "[Main Window]\r\nLeft=-3\r\nCaption=Tavishore 32\r\nTwo  lines=a b\r\n\r\n"
            "[Preferences]\r\nMessage sounds=1\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), {}), 1);
}

TEST_F(IniFileTest, ChangesKeepCommentsBlankLinesAndOrder) {
  testsupport::WriteFile(path_, Bytes("; mine\r\n[A]\r\n; about x\r\nx = 1\r\n\r\n[B]\r\ny=2\r\n"));
  TIniFile ini(Utf8(path_));
  ini.WriteInteger("a", "X", 5);
  ini.WriteString("A", "z", "new");
  ini.WriteString("C", "k", "v");
  ASSERT_TRUE(ini.UpdateFile());
  EXPECT_EQ(Text(path_),
            "; mine\r\n[A]\r\n; about x\r\nx=5\r\nz=new\r\n\r\n[B]\r\ny=2\r\n\r\n[C]\r\nk=v\r\n");

  ini.EraseSection("b");
  ini.DeleteKey("A", "X");
  ini.DeleteKey("A", "missing");
  EXPECT_FALSE(ini.SectionExists("B"));
  EXPECT_FALSE(ini.ValueExists("A", "x"));
  ASSERT_TRUE(ini.UpdateFile());
  EXPECT_EQ(Text(path_), "; mine\r\n[A]\r\n; about x\r\nz=new\r\n\r\n[C]\r\nk=v\r\n");
  TIniFile again(Utf8(path_));
  EXPECT_EQ(again.ReadString("c", "K", ""), "v");
}

TEST_F(IniFileTest, Utf8NamesAndValues) {
  fs::path path = dir_ / fs::path(u8"Einstellungen \u00fc.ini");
  testsupport::WriteFile(path,
                         Bytes("\xEF\xBB\xBF[Directory]\r\nLast=C:\\Bilder\\M\xC3\xBCller\r\n"));
  TIniFile ini(Utf8(path));
  EXPECT_EQ(ini.ReadString("Directory", "Last", ""), "C:\\Bilder\\M\xC3\xBCller");
  ini.WriteString("Directory", "Next", "\xE6\x97\xA5\xE6\x9C\xAC");
  ASSERT_TRUE(ini.UpdateFile());
  EXPECT_EQ(TIniFile(Utf8(path)).ReadString("Directory", "Next", ""), "\xE6\x97\xA5\xE6\x9C\xAC");
}

// A stream that stores only the first `room` bytes, as a full disk or a crash would leave it.
class TShortStream : public TStream {
 public:
  TShortStream(std::unique_ptr<TStream> file, int32_t room) : file_(std::move(file)), room_(room) {}
  int32_t Read(void* b, int32_t n) override { return file_->Read(b, n); }
  int32_t Write(const void* b, int32_t n) override {
    int32_t put = file_->Write(b, std::min(n, room_));
    room_ -= put;
    return put;
  }
  int64_t Seek(int64_t o, tSeekOrigin w) override { return file_->Seek(o, w); }

 private:
  std::unique_ptr<TStream> file_;
  int32_t room_;
};

class TFailingIniFile : public TIniFile {
 public:
  TFailingIniFile(const std::string& name, int32_t room) : TIniFile(name), room_(room) {}
  std::string created;

 protected:
  std::unique_ptr<TStream> CreateNewFile(const std::string& name) override {
    created = name;
    if (room_ < 0) return nullptr;
    return std::make_unique<TShortStream>(TFileStream::Open(name, TFileStream::fmCreate), room_);
  }

 private:
  int32_t room_;
};

TEST_F(IniFileTest, FailedSaveLeavesTheOldFileWhole) {
  const std::string old = "[Main Window]\r\nLeft=10\r\n[Other]\r\nx=1\r\n";
  for (int32_t room : {-1, 0, 20}) {
    testsupport::WriteFile(path_, Bytes(old));
    TFailingIniFile ini(Utf8(path_), room);
    ini.WriteInteger("Main Window", "Left", 11);
    ini.EraseSection("Other");
    EXPECT_FALSE(ini.UpdateFile()) << room;
    EXPECT_EQ(Text(path_), old) << room;
    EXPECT_EQ(fs::path(ini.created).parent_path(), dir_);  // the new file is made beside the old
    EXPECT_FALSE(fs::exists(ini.created)) << room;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), {}), 1) << room;
  }
}

// A file that gives at most `cut` bytes in its first read and nothing after it.
class TCutStream : public TMemoryStream {
 public:
  TCutStream(const std::string& text, int32_t cut) : TMemoryStream(Bytes(text)), cut_(cut) {}
  int32_t Read(void* buffer, int32_t count) override {
    return read_ ? 0 : (read_ = true, TMemoryStream::Read(buffer, std::min(count, cut_)));
  }

 private:
  int32_t cut_;
  bool read_ = false;
};

class TCutIniFile : public TIniFile {
 public:
  TCutIniFile(const std::string& name, const std::string& text, int32_t cut)
      : TIniFile(name, std::make_unique<TCutStream>(text, cut)) {}
};

TEST_F(IniFileTest, FileReadOnlyInPartIsNeverReplaced) {
  const std::string old = "[Main Window]\r\nLeft=10\r\n[Other]\r\nx=1\r\n";
  testsupport::WriteFile(path_, Bytes(old));
  TCutIniFile ini(Utf8(path_), old, 20);
  ini.WriteInteger("Main Window", "Left", 11);
  EXPECT_FALSE(ini.UpdateFile());
  EXPECT_EQ(Text(path_), old);

  TCutIniFile whole(Utf8(path_), old, 1000);  // read to its end: an ordinary file
  EXPECT_EQ(whole.ReadInteger("Other", "x", 0), 1);
  whole.WriteInteger("Main Window", "Left", 11);
  EXPECT_TRUE(whole.UpdateFile());
}

TEST_F(IniFileTest, FileThatCannotBeReadIsNeverReplaced) {
  fs::create_directory(path_);  // exists, but cannot be read as a file
  TIniFile ini(Utf8(path_));
  ini.WriteString("A", "b", "c");
  EXPECT_FALSE(ini.UpdateFile());
  EXPECT_TRUE(fs::is_directory(path_));
}

}  // namespace
