#include "online/uGuide.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <stdexcept>

#include "foundation/uBuffStream.h"
#include "foundation/uFiles.h"
#include "foundation/uUtil.h"
#include "online/uHttpProtocol.h"
#include "tests/TestSupport.h"

namespace fs = std::filesystem;

namespace {

std::string Utf8(const fs::path& p) {
  const std::u8string s = p.u8string();
  return std::string(s.begin(), s.end());
}

// 2026-03-04 10:20:30 packed as the file system packs it.
constexpr uint32_t kDate1 = ((2026u - 1980) << 25 | 3u << 21 | 4u << 16) | (10u << 11 | 20u << 5 | 15u);
constexpr uint32_t kDate2 = ((2025u - 1980) << 25 | 12u << 21 | 31u << 16) | (23u << 11 | 59u << 5 | 29u);

// The documents a site serves, by address; anything else is a 404.
struct tSite {
  std::map<std::string, std::string> documents;
  std::vector<std::string> asked;
  // Cut this document short: deliver half, then fail as the client does.
  std::string cutShort;

  TGuide2::tFetch Fetcher() {
    return [this](const std::string& url, TStream& target,
                  const std::function<void(int64_t, int64_t)>& progress) -> int64_t {
      asked.push_back(url);
      auto it = documents.find(url);
      if (it == documents.end()) throw EHttpException("Not Found", 404);
      const std::string& body = it->second;
      const int64_t total = static_cast<int64_t>(body.size());
      size_t sent = url == cutShort ? body.size() / 2 : body.size();
      for (size_t i = 0; i < sent; i += 7) {
        const size_t n = std::min<size_t>(7, sent - i);
        target.Write(body.data() + i, static_cast<int32_t>(n));
        progress(total, static_cast<int64_t>(i + n));
      }
      if (sent < body.size())
        throw EHttpException("Connection closed before the whole document arrived",
                             kHttpConnectionLost);
      return total;
    };
  }
};

class GuideTest : public testsupport::tPlainPlatformTest {
 protected:
  void SetUp() override {
    tPlainPlatformTest::SetUp();
#ifndef _WIN32
    // Time stamps go through local time: a zone with an offset shows a wrong conversion.
    const char* tz = getenv("TZ");
    savedTz_ = tz ? tz : "";
    hadTz_ = tz != nullptr;
    setenv("TZ", "EST5EDT", 1);
    tzset();
#endif
    folder_ = testsupport::ScratchDir("guide");
    guide_.ProgramFolder = Utf8(folder_) + "/";
    guide_.LocalGuideName = "t32guide.htm";
    guide_.Fetch = site_.Fetcher();
    guide_.OnUpdate = [this](TGuide2& g, uint8_t state) {
      states_.push_back(state);
      if (state == guideBytes) {
        EXPECT_LE(g.Received, g.ContentLength);
        EXPECT_LE(g.TotalReceived, g.TotalToGet == 0 ? g.TotalReceived : g.TotalToGet);
      }
    };
  }
  void TearDown() override {
#ifndef _WIN32
    if (hadTz_)
      setenv("TZ", savedTz_.c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
#endif
    tPlainPlatformTest::TearDown();
  }

  void Serve(const std::string& index) {
    site_.documents["http://site.example/t51g.htm"] = index;
    guide_.IndexURL = "http://site.example/t51g.htm";
  }

  std::string DocPath(const std::string& name) { return Utf8(folder_ / "Doc" / name); }

  fs::path folder_;
  tSite site_;
  TGuide2 guide_;
  std::vector<uint8_t> states_;
  std::string savedTz_;
  bool hadTz_ = false;
};

const char* kIndex =
    "<html>\r\n"
    "Files=2\r\nVsn=5.10a\r\nurl=http://site.example/doc/\r\n\r\n"
    "name000=t32guide.htm\r\nsize000=20\r\ndate000=%u\r\n"
    "NAME001=img/pic.gif\r\nsize001=9\r\ndate001=%u\r\n"
    "</html>\r\n";

std::string IndexText(uint32_t d0, uint32_t d1) {
  char text[512];
  snprintf(text, sizeof text, kIndex, d0, d1);
  return text;
}

TEST_F(GuideTest, IndexWrappedInHtmlLoadsAsBareLines) {
  Serve(IndexText(kDate1, kDate2));
  EXPECT_EQ(guide_.GetIndex(), 2);
  EXPECT_EQ(guide_.Vsn(), "5.10a");
  EXPECT_EQ(guide_.IndexLines.front(), "Files=2");
  EXPECT_EQ(guide_.Entry(1).Name, "img/pic.gif");
  EXPECT_EQ(guide_.Entry(1).Date, kDate2);
  EXPECT_EQ(guide_.CurrentName, "<contents>");
  EXPECT_EQ(states_.front(), guideBatchBegin);
  EXPECT_EQ(states_.back(), guideBatchEnd);
}

TEST_F(GuideTest, LastEntryWithoutDateIsNoIndex) {
  Serve(IndexText(kDate1, 0));
  EXPECT_EQ(guide_.GetIndex(), 0);
  Serve("Files=x\r\n");
  EXPECT_THROW(guide_.GetIndex(), EConvertError);
}

TEST_F(GuideTest, UpdateFetchesWhatDiffersThenNothing) {
  Serve(IndexText(kDate1, kDate2));
  site_.documents["http://site.example/doc/t32guide.htm"] = "<html>guide</html>\r\n";
  site_.documents["http://site.example/doc/img/pic.gif"] = "GIF89a...";
  EXPECT_TRUE(guide_.LocalGuidePath().empty());
  EXPECT_TRUE(guide_.LocalGuideDate().empty());
  ASSERT_EQ(guide_.GetIndex(), 2);
  EXPECT_EQ(guide_.CountFilesToGet(), 2);
  EXPECT_EQ(guide_.TotalToGet, 29);
  guide_.UpdateGuide();
  EXPECT_EQ(guide_.FilesGot, 2);
  EXPECT_EQ(guide_.TotalReceived, 29);
  // The missing Doc folder and its subfolder were made; each file carries the index's stamp.
  EXPECT_EQ(FileAge(DocPath("t32guide.htm")), kDate1);
  EXPECT_EQ(FileAge(DocPath("img/pic.gif")), kDate2);
  EXPECT_EQ(testsupport::ReadFile(DocPath("img/pic.gif")).size(), 9u);
  EXPECT_FALSE(guide_.LocalGuidePath().empty());
  EXPECT_EQ(guide_.LocalGuideDate(), "03/04/2026");

  site_.asked.clear();
  EXPECT_EQ(guide_.CountFilesToGet(), 0);
  guide_.UpdateGuide();
  EXPECT_TRUE(site_.asked.empty());

  // One entry's stamp changes: only that one is fetched again.
  Serve(IndexText(kDate1, kDate1));
  ASSERT_EQ(guide_.GetIndex(), 2);
  EXPECT_EQ(guide_.CountFilesToGet(), 1);
  site_.asked.clear();
  guide_.UpdateGuide();
  EXPECT_EQ(site_.asked, std::vector<std::string>{"http://site.example/doc/img/pic.gif"});
}

TEST_F(GuideTest, CutShortFileKeepsTheOldOneAndIsFetchedAgain) {
  Serve(IndexText(kDate1, kDate2));
  site_.documents["http://site.example/doc/t32guide.htm"] = "<html>new guide</html>";
  site_.documents["http://site.example/doc/img/pic.gif"] = "GIF89a...";
  fs::create_directories(folder_ / "Doc");
  testsupport::WriteFile(DocPath("t32guide.htm"), {'o', 'l', 'd'});
  site_.cutShort = "http://site.example/doc/t32guide.htm";
  ASSERT_EQ(guide_.GetIndex(), 2);
  ASSERT_EQ(guide_.CountFilesToGet(), 2);
  EXPECT_THROW(guide_.UpdateGuide(), EHttpException);
  EXPECT_EQ(testsupport::ReadFile(DocPath("t32guide.htm")), (std::vector<uint8_t>{'o', 'l', 'd'}));
  EXPECT_FALSE(fs::exists(folder_ / "Doc" / "t32guide.htm.part"));
  EXPECT_EQ(states_.back(), guideBatchEnd);
  site_.cutShort.clear();
  EXPECT_EQ(guide_.CountFilesToGet(), 2);
}

TEST_F(GuideTest, NamesOutsideTheFolderAreRefused) {
  const std::pair<const char*, bool> names[] = {
      {"a.htm", true},        {"img/a.gif", true},     {"img\\a.gif", true},
      {"", false},            {"..\\evil.exe", false}, {"../evil.exe", false},
      {"img/../../x", false}, {"C:\\x.htm", false},   {"\\\\server\\share\\x", false},
      {"/etc/passwd", false}, {"\\x.htm", false},      {"a/.. /x", false},
      {"a:stream", false},    {"dir/", false},         {"a*b", false}};
  for (const auto& [name, safe] : names) EXPECT_EQ(SafeGuideName(name), safe) << name;

  Serve(
      "Files=3\r\nurl=http://site.example/doc/\r\n"
      "name000=..\\..\\outside.htm\r\ndate000=1\r\n"
      "name001=\r\ndate001=1\r\n"
      "name002=ok.htm\r\nsize002=2\r\ndate002=5\r\n");
  site_.documents["http://site.example/doc/ok.htm"] = "ok";
  ASSERT_EQ(guide_.GetIndex(), 3);
  EXPECT_EQ(guide_.CountFilesToGet(), 1);
  guide_.UpdateGuide();
  EXPECT_EQ(guide_.FilesGot, 1);
  EXPECT_FALSE(fs::exists(folder_ / "outside.htm"));
  EXPECT_FALSE(fs::exists(folder_.parent_path() / "outside.htm"));
}

TEST(GuideMath, PercentagesAreGuarded) {
  const std::tuple<int64_t, int64_t, int> cases[] = {
      {50, 100, 50}, {0, 0, 0}, {10, -1, 0}, {10, 0, 0}, {150, 100, 100}, {-5, 100, 0}};
  for (const auto& [part, whole, want] : cases) EXPECT_EQ(PercentOf(part, whole), want);
}

TEST(VersionDocument, ValidityTable) {
  const std::tuple<const char*, bool, int> cases[] = {
      {"vsn=5.20\r\nvsw=5200\r\ncst=2000\r\n", true, 5200},
      {"<html>\r\n<p>\r\nVSN=5.20\r\nVsw=5200\r\nCST=701\r\n</html>", true, 5200},
      {"vsn=5.20\r\nvsw=5200\r\ncst=3499", true, 5200},
      {"vsn=5.20\r\nvsw=5200\r\ncst=3500", false, 5200},
      {"vsn=5.20\r\nvsw=5200\r\ncst=700", false, 5200},
      {"vsn=5.20\r\nvsw=1000\r\ncst=2000", false, 0},
      {"vsn=5.20\r\nvsw=52x\r\ncst=2000", false, 0},
      {"vsn=\r\nvsw=5200\r\ncst=2000", false, 5200},
      {"vsw=5200\r\ncst=2000", false, 5200},
      {"", false, 0},
  };
  for (const auto& [text, valid, number] : cases) {
    const tVersionDocument doc = ParseVersionDocument(text);
    EXPECT_EQ(doc.Valid, valid) << text;
    EXPECT_EQ(doc.VersionNumberW, number) << text;
  }
  EXPECT_TRUE(IsNewerVersion(5200, 5101));
  EXPECT_FALSE(IsNewerVersion(5199, 5101));
  EXPECT_FALSE(IsNewerVersion(5101, 5101));
}

TEST(GuideText, LinesAndKeys) {
  EXPECT_EQ(SplitTextLines("a\r\nb\nc\rd\r\n"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitTextLines("a\r\n\r\nb"), (std::vector<std::string>{"a", "", "b"}));
  std::string v;
  EXPECT_TRUE(FindKeyValue({"x=1", "KEY=first", "key=second"}, "Key", v));
  EXPECT_EQ(v, "first");
  EXPECT_FALSE(FindKeyValue({"keyx=1"}, "key", v));
  EXPECT_EQ(StrToInt64(" 42 "), 42);
  EXPECT_EQ(StrToInt64("-7"), -7);
  EXPECT_THROW(StrToInt64("0x10"), EConvertError);
  EXPECT_THROW(StrToInt64(""), EConvertError);
}

}  // namespace

namespace {

TEST(VersionCheck, TriesAddressesUntilOneIsValid) {
  const std::map<std::string, std::string> site = {
      {"http://a.example/t32v.htm", "vsn=5.20\r\nvsw=5200\r\ncst=3500\r\n"},  // invalid
      {"http://c.example/t32v.htm", "vsn=5.20\r\nvsw=5200\r\ncst=2000\r\n"},
  };
  std::vector<std::string> asked;
  auto fetch = [&](const std::string& url) -> std::string {
    asked.push_back(url);
    auto it = site.find(url);
    if (it == site.end()) throw EHttpException("Not Found", 404);
    return it->second;
  };
  int sounds = 0;
  std::string body;
  const tVersionDocument doc = CheckPublishedVersion(
      {"http://a.example/", "http://b.example/", "http://c.example/", "http://d.example/"}, fetch,
      [&] { ++sounds; }, body);
  EXPECT_TRUE(doc.Valid);
  EXPECT_EQ(doc.VersionNumberW, 5200);
  EXPECT_EQ(sounds, 2);
  EXPECT_EQ(asked.size(), 3u);
  EXPECT_EQ(body, site.at("http://c.example/t32v.htm"));

  const tVersionDocument none =
      CheckPublishedVersion({"http://b.example/"}, fetch, nullptr, body);
  EXPECT_FALSE(none.Valid);
  EXPECT_TRUE(body.empty());
}

}  // namespace
