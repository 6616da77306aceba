#include "viewers/media/uMP3.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "tests/TestSupport.h"

namespace {


using MP3Test = testsupport::tPlainPlatformTest;

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; i++) out[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}

// n frames of an MPEG-1 layer III header at 128 kbit/s, 44100 Hz, joint stereo (417 bytes each).
std::vector<uint8_t> Frames(int n, uint32_t header = 0xFFFB9044u, uint32_t frame = 417) {
  std::vector<uint8_t> out(n * frame, 0x55);
  for (int i = 0; i < n; i++) Put32(out, i * frame, header);
  return out;
}

void Append(std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
}

TMPEGAudio ReadBytes(const std::vector<uint8_t>& bytes, const std::string& name = "C:\\m\\x.mp3") {
  TMPEGAudio mp3;
  mp3.FileName = name;
  TMemoryStream stream(bytes);
  mp3.ReadStream(stream);
  return mp3;
}

std::map<std::string, std::string> FfprobeFields(const std::string& path) {
  std::vector<uint8_t> out;
  testsupport::Run("ffprobe -v error -select_streams a:0 -show_entries "
      "stream=sample_rate,bit_rate,channels:format=duration:format_tags=title,artist,album,date,"
      "genre,track,comment -of default=nw=1 '" + path + "'",
      &out);
  std::map<std::string, std::string> fields;
  std::string text(out.begin(), out.end()), line;
  for (size_t p = 0; p < text.size();) {
    size_t e = text.find('\n', p);
    line = text.substr(p, e - p);
    p = e == std::string::npos ? text.size() : e + 1;
    size_t eq = line.find('=');
    if (eq != std::string::npos) {
      std::string key = line.substr(0, eq);
      if (key.rfind("TAG:", 0) == 0) key = key.substr(4);
      fields[key] = line.substr(eq + 1);
    }
  }
  return fields;
}

// Files from lame at several versions and rates, with and without an ID3v1 tag from id3v2,
// checked against ffprobe.
TEST_F(MP3Test, FilesWrittenByLame) {
  for (const char* tool : {"sox", "lame", "id3v2", "ffprobe"})
    if (!testsupport::HaveTool(tool)) GTEST_SKIP() << "no " << tool;
  const auto dir = testsupport::ScratchDir("mp3_lame");
  const std::string wav = (dir / "s.wav").string();
  ASSERT_EQ(testsupport::Run("sox -D -n -r 44100 -c 2 '" + wav + "' synth 3 sine 440"), 0);
  struct Case {
    const char* options;
    bool tag;
    uint8_t version;
  } cases[] = {
      {"-b 128", false, 1},
      {"-b 320 -m s", true, 1},
      {"-b 32 --resample 32", false, 1},
      {"-b 64 --resample 22.05", true, 2},
      {"-b 8 -m m --resample 16", false, 2},
      {"-b 32 -m m --resample 11.025", true, 3},
      {"-b 16 --resample 8", false, 3},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options);
    const std::string path = (dir / ("t" + std::to_string(n++) + ".mp3")).string();
    ASSERT_EQ(testsupport::Run(std::string("lame --quiet ") + c.options + " '" + wav + "' '" + path + "'"), 0);
    if (c.tag) {
      ASSERT_EQ(testsupport::Run("id3v2 -1 -t 'A Title' -a 'Some Artist' -A 'An Album' -y 1999 -c 'Nice' -g 17 "
                    "-T 5 '" + path + "' >/dev/null"),
                0);
    }
    TMPEGAudio mp3;
    mp3.Template = "%V,T% %LY,T% %BR,T% %SR,T% %T,T%|%A,T%|%ALB,T%|%Y,T%|%G,T%";
    ASSERT_EQ(mp3.ReadFile(path), 0);
    auto f = FfprobeFields(path);
    ASSERT_TRUE(mp3.IsValid());
    EXPECT_EQ(mp3.HeaderPosition, 0);
    EXPECT_EQ(mp3.Version, c.version);
    EXPECT_EQ(mp3.Layer, 3);
    EXPECT_EQ(std::to_string(mp3.SampleRate), f["sample_rate"]);
    EXPECT_EQ(std::to_string(mp3.BitRate * 1000), f["bit_rate"]);
    EXPECT_EQ(mp3.Mode == 3, f["channels"] == "1");
    EXPECT_NEAR(mp3.Duration, std::stod(f["duration"]), 1.0);
    if (c.tag) {
      EXPECT_EQ(mp3.TagId, "TAG");
      EXPECT_EQ(mp3.Title, f["title"]);
      EXPECT_EQ(mp3.Artist, f["artist"]);
      EXPECT_EQ(mp3.Album, f["album"]);
      EXPECT_EQ(mp3.Year, f["date"]);
      EXPECT_EQ(mp3.Comment, f["comment"]);
      EXPECT_EQ(mp3.GenreText(), f["genre"]);
      EXPECT_EQ(std::to_string(mp3.Track), f["track"]);
    } else {
      EXPECT_EQ(mp3.TagId, "BAD");
      EXPECT_EQ(mp3.Title, "t" + std::to_string(n - 1) + ".mp3");
      EXPECT_EQ(mp3.Artist, "[notag]");
    }
    EXPECT_EQ(mp3.Text, mp3.VersionText() + " III " + std::to_string(mp3.BitRate) + " " +
                            std::to_string(mp3.SampleRate) + " " + mp3.Title + "|" + mp3.Artist +
                            "|" + mp3.Album + "|" + (c.tag ? mp3.Year : "") + "|" +
                            mp3.GenreText());
  }
}

TEST_F(MP3Test, SharedTestFiles) {
  struct Case {
    const char* file;
    uint8_t version, layer;
    uint32_t rate;
  } cases[] = {{"media/m25_11k.mp3", 3, 3, 11025},
               {"media/id3v1.mp3", 0, 3, 0},
               {"media/house_lo.mp3", 0, 3, 0},
               {"media/l2.mp2", 1, 2, 0}};
  for (const Case& c : cases) {
    const auto path = testsupport::TestData(c.file);
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "no test data";
    SCOPED_TRACE(c.file);
    TMPEGAudio mp3;
    ASSERT_EQ(mp3.ReadFile(path.string()), 0);
    ASSERT_TRUE(mp3.IsValid());
    if (c.version) {
      EXPECT_EQ(mp3.Version, c.version);
    }
    EXPECT_EQ(mp3.Layer, c.layer);
    if (c.rate) {
      EXPECT_EQ(mp3.SampleRate, c.rate);
    }
    if (testsupport::HaveTool("ffprobe")) {
      auto f = FfprobeFields(path.string());
      EXPECT_EQ(std::to_string(mp3.SampleRate), f["sample_rate"]);
      if (f.count("title")) {
        EXPECT_EQ(mp3.Title, f["title"]);
      }
    }
  }
}

TEST_F(MP3Test, HeaderFields) {
  TMPEGAudio mp3;
  mp3.FileLength = 100000;
  struct Case {
    uint32_t header;
    uint8_t version, layer;
    uint32_t rate, bitRate, frame;
    uint8_t mode;
  } cases[] = {
      {0xFFFB9044u, 1, 3, 44100, 128, 417, 1},  // MPEG 1 layer III
      {0xFFFB9244u, 1, 3, 44100, 128, 418, 1},  // padded
      {0xFFFD94C0u, 1, 2, 48000, 160, 480, 3},  // MPEG 1 layer II
      {0xFFFF9000u, 1, 1, 44100, 288, 312, 0},  // MPEG 1 layer I: 4-byte slots
      {0xFFF38064u, 2, 3, 22050, 64, 208, 1},   // MPEG 2 layer III: half the samples
      {0xFFE340C4u, 3, 3, 11025, 32, 208, 3},   // MPEG 2.5
      {0xFFEB9044u, 0, 0, 0, 0, 0, 0},          // version bits 01: reserved
      {0xFFF99044u, 1, 0, 44100, 0, 0, 1},      // layer bits 00
      {0xFFFBF044u, 1, 3, 44100, 0, 0, 1},      // bit-rate index 15
      {0xFFFB9C44u, 1, 3, 0, 128, 0, 1},        // sample-rate index 3
      {0x7FFB9044u, 0, 0, 0, 0, 0, 0},          // no sync
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.header);
    mp3.DecodeHeader(c.header);
    EXPECT_EQ(mp3.Version, c.version);
    EXPECT_EQ(mp3.Layer, c.layer);
    EXPECT_EQ(mp3.SampleRate, c.rate);
    EXPECT_EQ(mp3.BitRate, c.bitRate);
    EXPECT_EQ(mp3.FrameLength, c.frame);
    EXPECT_EQ(mp3.Mode, c.mode);
    EXPECT_EQ(mp3.IsValid(), c.frame != 0 && c.rate != 0 && c.bitRate != 0);
  }
}

TEST_F(MP3Test, SearchSkipsFalseSyncsAndNeedsASecondHeader) {
  // A false sync (a header whose next frame is not one) before the real frames.
  std::vector<uint8_t> bytes = {1, 2, 3, 0xFF, 0xFB, 0x90, 0x44, 9, 9};
  Append(bytes, Frames(3));
  TMPEGAudio mp3 = ReadBytes(bytes);
  EXPECT_TRUE(mp3.IsValid());
  EXPECT_EQ(mp3.HeaderPosition, 9);
  EXPECT_EQ(mp3.Title, "x.mp3");

  // One frame alone is not confirmed: no header.
  mp3 = ReadBytes(Frames(1));
  EXPECT_FALSE(mp3.IsValid());
  EXPECT_EQ(mp3.HeaderPosition, 417 + 1);
  EXPECT_EQ(mp3.Title, "[notag]");

  // The search limit stops the search.
  bytes.assign(2000, 0);
  Append(bytes, Frames(3));
  mp3 = TMPEGAudio();
  mp3.SearchLimit = 1000;
  TMemoryStream stream(bytes);
  mp3.ReadStream(stream);
  EXPECT_FALSE(mp3.IsValid());

  // Five bytes or less are not searched.
  mp3 = ReadBytes({0xFF, 0xFB, 0x90, 0x44, 0});
  EXPECT_EQ(mp3.Version, 0);
  EXPECT_EQ(mp3.HeaderPosition, 0);
  EXPECT_EQ(mp3.TagId, "BAD");
  EXPECT_EQ(mp3.Year, "    ");
  EXPECT_EQ(mp3.GenreNr, 255);
}

TEST_F(MP3Test, TagFields) {
  std::vector<uint8_t> bytes = Frames(4);
  std::vector<uint8_t> tag(128, 0);
  auto put = [&](size_t at, const std::string& s) { std::copy(s.begin(), s.end(), tag.begin() + at); };
  put(0, "TAG");
  put(3, "Song  ");                // trailing blanks go
  put(33, std::string("Band\0junk", 9));  // everything from a zero byte goes
  put(63, "Album\xE9");            // Latin-1
  put(93, "2001");
  put(97, "Comment");
  tag[126] = 7;
  tag[127] = 200;
  Append(bytes, tag);
  TMPEGAudio mp3 = ReadBytes(bytes);
  EXPECT_EQ(mp3.TagId, "TAG");
  EXPECT_EQ(mp3.Title, "Song");
  EXPECT_EQ(mp3.Artist, "Band");
  EXPECT_EQ(mp3.Album, "Album\xC3\xA9");
  EXPECT_EQ(mp3.Year, "2001");
  EXPECT_EQ(mp3.Comment, "Comment");
  EXPECT_EQ(mp3.Track, 7);
  EXPECT_EQ(mp3.GenreText(), "Unknown");
  EXPECT_EQ(Id3GenreName(40), "AlternRock");
  EXPECT_EQ(Id3GenreName(67), "Psychadelic");
  EXPECT_EQ(Id3GenreName(78), "Rock & Roll");
  EXPECT_EQ(Id3GenreName(79), "Hard Rock");
  EXPECT_EQ(Id3GenreName(80), "Unknown");
}

TEST_F(MP3Test, TemplateItems) {
  plain_.ThousandSep = ",";
  plain_.DecimalSep = ".";
  std::vector<uint8_t> bytes = Frames(2000);  // 834,000 bytes
  TMPEGAudio mp3 = ReadBytes(bytes, "C:\\music\\song.mp3");
  mp3.Title = "Hello";
  mp3.Artist = "  Padded  ";
  mp3.GenreNr = 17;
  mp3.Track = 3;
  mp3.SelectedNr = 2;
  mp3.FileDate = (uint32_t((2001 - 1980) << 9 | 2 << 5 | 3) << 16) | (13 << 11 | 5 << 5 | 7);
  struct Case {
    const char* tmpl;
    const char* want;
  } cases[] = {
      {"%TITLE,R,10,.%", ".....Hello"},
      {"%TITLE,X%", "Hello                         "},
      {"%T,L,7,-%|", "Hello--|"},
      {"%T,C,10,*%", "**Hello***"},
      {"%T,C:4%", "Hell"},
      {"%T,T%", "Hello"},
      {"%T,L,abc%", "Hello"},
      {"%T,L,0%", "Hello                         "},
      {"%65%%66,L%", "AB"},
      {"%a%", "Padded                        "},
      {"50%% %FN,T% %FP,T%", "50% song.mp3 C:\\music\\"},
      {"%V,T%/%LY,T%/%LYN%/%BR%/%SR%/%SRK%/%FL%", "1.0/III/3/ 128/44100/44.1/ 417"},
      {"%M,T%|%S,T%|%EP%|%EP*%|%C%|%O*%|%VD%", "Joint-Stereo|Stereo|No | |No |*|Yes"},
      {"%G,T%|%GNR%|%TR%|%SLN%|%SL%|%SL*%", "Rock| 17|  3|  2|Yes|*"},
      {"%L%|%LC%|%LK%|%LKC%|%LM%", "   834000|     834,000|   814|     814|  0.8"},
      {"%D%|%DC%|%DF%", "  52|   52|00:52"},
      {"%FD%|%FT%", "03.02.2001|13:05:14"},
      {"%NL,T%%TB,T%%#%", "\r\n\t"},
      {"%unknown,R,5% and %", "%unknown,R,5% and <<<ERROR!!! No end of item definition!>>>"},
      {"by %ARTIST", "by <<<ERROR!!! No end of item definition!>>>"},
  };
  for (const Case& c : cases) EXPECT_EQ(mp3.FormatTemplate(c.tmpl), c.want) << c.tmpl;
}

TEST_F(MP3Test, MissingFile) {
  TMPEGAudio mp3;
  mp3.Template = "%T,T%";
  const auto dir = testsupport::ScratchDir("mp3_missing");
  EXPECT_EQ(mp3.ReadFile((dir / "a very long name of a file that is not there.mp3").string()), -1);
  EXPECT_EQ(mp3.Title, "[not found: a very long name o");
  EXPECT_EQ(mp3.Text, mp3.Title);
}

}  // namespace
