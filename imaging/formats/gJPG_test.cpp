#include "imaging/formats/gJPG.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "foundation/uPlatform.h"
#include "imaging/Palettes.h"
#include "tests/DiffDecode.h"
#include "tests/TestSupport.h"

namespace {

using testsupport::RgbImage;

std::filesystem::path JpegFile(const std::string& name) {
  auto path = testsupport::TestData("jpeg/" + name);
  EXPECT_TRUE(std::filesystem::exists(path)) << path;
  return path;
}

std::vector<uint8_t> JpegBytes(const std::string& name) {
  return testsupport::ReadFile(JpegFile(name));
}

bool HasLine(const std::vector<std::string>& info, const std::string& line) {
  return std::find(info.begin(), info.end(), line) != info.end();
}

// Offsets of the SOS markers (0xFF 0xDA): entropy-coded data stuffs every 0xFF with a 0x00, so
// the pair marks a scan header wherever it is.
std::vector<size_t> ScanOffsets(const std::vector<uint8_t>& file) {
  std::vector<size_t> at;
  for (size_t i = 0; i + 1 < file.size(); ++i)
    if (file[i] == 0xFF && file[i + 1] == 0xDA) at.push_back(i);
  return at;
}

// Records the decoder messages; a test may act on each.
class tRecordingPlatform : public tPlainPlatform {
 public:
  std::vector<std::pair<unsigned, uintptr_t>> Messages;
  std::function<void(unsigned, uintptr_t)> OnMessage;
  intptr_t SendWindowMessage(intptr_t, unsigned message, uintptr_t wparam, intptr_t) override {
    Messages.push_back({message, wparam});
    if (OnMessage) OnMessage(message, wparam);
    return 0;
  }
  int Count(unsigned message, uintptr_t wparam) const {
    return static_cast<int>(std::count(Messages.begin(), Messages.end(),
                                       std::pair<unsigned, uintptr_t>{message, wparam}));
  }
};

class JpegTest : public testing::Test {
 protected:
  void SetUp() override {
    RegisterAllFormats();
    SetPlatform(&platform);
  }
  void TearDown() override {
    SetPlatform(nullptr);
    GraphicOptions = 0;
    UnregisterAllFormats();
  }

  // Identifies and decodes bytes; null when they are not identified.
  std::unique_ptr<tGraphicID> Decode(const std::vector<uint8_t>& bytes, uint16_t options = 0,
                                     const std::string& name = "pic.jpg") {
    GraphicOptions = options;
    platform.Messages.clear();
    auto* stream = new tBuffStream(name, std::make_unique<TMemoryStream>(bytes), false);
    auto id = std::make_unique<tGraphicID>(stream);
    if (!id->IdentifyPicture()) {
      delete stream;
      return nullptr;
    }
    id->NotifyWindow = 1;
    id->LoadPicture();
    return id;
  }

  tRecordingPlatform platform;
};

// ---- Reader

TEST_F(JpegTest, IdentifiesColourGreyProgressiveAndCmyk) {
  struct Case {
    const char* file;
    const char* headline;
    int bits, colors;
    bool gray;
  } cases[] = {
      {"video-001.jpeg", "b150x103x16m JPEG ", 24, 280, false},
      {"video-001.progressive.jpeg", "b150x103x16m Progressive JPEG ", 24, 280, false},
      {"video-005.gray.jpeg", "b150x103x256 Grayscale JPEG ", 8, 256, true},
      {"video-005.gray.q50.2x2.progressive.jpeg", "b150x103x256 Progressive Grayscale JPEG ", 8,
       256, true},
      {"video-001.cmyk.jpeg", "b150x103x16m CMYK JPEG ", 24, 280, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    auto* stream =
        new tBuffStream(c.file, std::make_unique<TMemoryStream>(JpegBytes(c.file)), false);
    tGraphicID id(stream);
    ASSERT_TRUE(id.IdentifyPicture());
    EXPECT_EQ(id.FormatId, fmtJPG);
    EXPECT_EQ(id.Info[1], c.headline);
    EXPECT_EQ(id.Info.back(), std::string("m<img width=150 height=103 src=\"") + c.file + "\">");
    EXPECT_EQ(id.BitsPerPixel, c.bits);
    EXPECT_EQ(id.Colors, c.colors);
    EXPECT_EQ(id.GrayFlag, c.gray);
    EXPECT_EQ(id.Bitmap->BitCount(), c.bits);
    EXPECT_EQ(id.Bitmap->GrayFlag, c.gray);
    if (c.gray) {
      tRGBPalette palette;
      id.Bitmap->GetPalette(palette.data());
      EXPECT_EQ(palette, GrayPalette(256));
      EXPECT_EQ(id.Palette[3 * 77], 77);
    }
  }
}

TEST_F(JpegTest, DataThatIsNoJpegIsNotIdentified) {
  const std::vector<std::vector<uint8_t>> files = {
      {},                                    // the library's "Empty input file"
      {0xFF, 0xD8},                          // nothing after the start marker
      {0xFF, 0xD8, 0xFF, 0xD9},              // no image
      {0xFF, 0xD9, 0xFF, 0xD8, 1, 2, 3, 4},  // no start marker
      {'h', 'e', 'l', 'l', 'o', '!'},          // no signature of any format
  };
  for (size_t i = 0; i < files.size(); ++i) EXPECT_EQ(Decode(files[i]), nullptr) << i;
  // A header that gives up inside its tables.
  std::vector<uint8_t> head = JpegBytes("video-001.jpeg");
  ASSERT_FALSE(ScanOffsets(head).empty());
  head.resize(ScanOffsets(head)[0] - 20);
  EXPECT_EQ(Decode(head), nullptr);
}

TEST_F(JpegTest, DecodesWholeWithNoticesAndStopPosition) {
  const std::vector<uint8_t> file = JpegBytes("video-001.q50.420.jpeg");
  auto id = Decode(file);
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->ErrorCode, 0);
  EXPECT_EQ(id->RowsDone, 103);
  EXPECT_EQ(id->ImageCount, 1);
  EXPECT_EQ(id->Stream, nullptr);
  EXPECT_EQ(id->StopPosition, static_cast<int32_t>(file.size()));
  EXPECT_EQ(platform.Count(WM_GRAPHIC_PROGRESS, 0), 1);
  EXPECT_EQ(platform.Count(WM_GRAPHIC_PROGRESS, 1), 0);
  EXPECT_EQ(platform.Count(WM_GRAPHIC_DONE, 0), 1);
  EXPECT_FALSE(id->Bitmap->Blank);
}

TEST_F(JpegTest, StopPositionIsTheEndOfTheImageWhateverFollows) {
  // The end marker within the first block, further on, and past the first large reads (a big
  // application segment in front), with bytes behind it and with a MacBinary header before it.
  struct Case {
    const char* name;
    size_t segment, trailing, header;
  } cases[] = {{"video-001.q50.420.jpeg", 0, 3000, 0},
               {"video-001.jpeg", 0, 70000, 0},
               {"video-001.jpeg", 65000, 5000, 0},
               {"video-001.jpeg", 65000, 100, 128}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.name << " segment " << c.segment << " trailing "
                                    << c.trailing << " header " << c.header);
    const std::vector<uint8_t> jpeg = JpegBytes(c.name);
    std::vector<uint8_t> file(c.header, 0);
    file.insert(file.end(), jpeg.begin(), jpeg.begin() + 2);
    if (c.segment) {
      const size_t length = c.segment - 2;
      file.insert(file.end(), {0xFF, 0xEF, uint8_t(length >> 8), uint8_t(length & 0xFF)});
      file.resize(file.size() + length - 2, 0x5A);
    }
    file.insert(file.end(), jpeg.begin() + 2, jpeg.end());
    const int32_t end = static_cast<int32_t>(file.size());
    file.resize(file.size() + c.trailing, 0xFF);
    auto id = Decode(file);
    ASSERT_NE(id, nullptr);
    EXPECT_EQ(id->ErrorCode, 0);
    EXPECT_EQ(id->StopPosition, end);
    EXPECT_EQ(testsupport::ComparePixels(testsupport::PictureToRgb(*id->Bitmap),
                                         testsupport::PictureToRgb(*Decode(jpeg)->Bitmap)),
              "");
  }
}

TEST_F(JpegTest, MacBinaryHeaderIsSkipped) {
  std::vector<uint8_t> file(128, 0);
  const std::vector<uint8_t> jpeg = JpegBytes("video-005.gray.jpeg");
  file.insert(file.end(), jpeg.begin(), jpeg.end());
  auto id = Decode(file);
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->ErrorCode, 0);
  EXPECT_TRUE(HasLine(id->Info, "bMacBinary header (skipped)"));
  EXPECT_EQ(id->RowsDone, 103);
  EXPECT_EQ(testsupport::ComparePixels(testsupport::PictureToRgb(*id->Bitmap),
                                       testsupport::PictureToRgb(*Decode(jpeg)->Bitmap)),
            "");
}

// Each scan is shown as it arrives: one partial notice per scan, and the count as a "g" line.
TEST_F(JpegTest, ProgressiveDisplayShowsEveryScan) {
  for (const char* name : {"video-001.progressive.jpeg", "video-001.q50.440.progressive.jpeg",
                           "video-005.gray.q50.2x2.progressive.jpeg"}) {
    SCOPED_TRACE(name);
    const std::vector<uint8_t> file = JpegBytes(name);
    const int scans = static_cast<int>(ScanOffsets(file).size());
    auto shown = Decode(file, goDisplayInterlace);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->ErrorCode, 0);
    EXPECT_EQ(platform.Count(WM_GRAPHIC_PROGRESS, 1), scans);
    EXPECT_EQ(platform.Count(WM_GRAPHIC_PROGRESS, 0), 1);
    EXPECT_TRUE(HasLine(shown->Info, "g" + std::to_string(scans) + " scans"));
    auto plain = Decode(file);
    EXPECT_EQ(platform.Count(WM_GRAPHIC_PROGRESS, 1), 0);
    EXPECT_EQ(testsupport::ComparePixels(testsupport::PictureToRgb(*shown->Bitmap),
                                         testsupport::PictureToRgb(*plain->Bitmap)),
              "");
  }
}

TEST_F(JpegTest, AbortStopsProgressiveDisplay) {
  tGraphicID* current = nullptr;
  platform.OnMessage = [&](unsigned message, uintptr_t wparam) {
    if (message == WM_GRAPHIC_PROGRESS && wparam == 1) current->Abort = 1;
  };
  auto* stream = new tBuffStream(
      "p.jpg", std::make_unique<TMemoryStream>(JpegBytes("video-001.progressive.jpeg")), false);
  tGraphicID id(stream);
  current = &id;
  ASSERT_TRUE(id.IdentifyPicture());
  GraphicOptions = goDisplayInterlace;
  id.NotifyWindow = 1;
  id.LoadPicture();
  EXPECT_EQ(platform.Count(WM_GRAPHIC_PROGRESS, 1), 1);
  EXPECT_EQ(platform.Count(WM_GRAPHIC_DONE, 0), 1);
  EXPECT_EQ(id.ErrorCode, 0);
  EXPECT_EQ(id.Stream, nullptr);
  for (const std::string& line : id.Info) EXPECT_EQ(line.find(" scans"), std::string::npos);
}

TEST_F(JpegTest, CmykEndsWithErrorTwelve) {
  auto id = Decode(JpegBytes("video-001.cmyk.jpeg"));
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->ErrorCode, errFileDamaged);
  EXPECT_EQ(id->ErrorText, "Unsupported color conversion request");
  EXPECT_EQ(id->Info.back(), "kUnsupported color conversion request");
  EXPECT_EQ(id->RowsDone, 0);
  EXPECT_EQ(platform.Count(WM_GRAPHIC_DONE, 0), 1);
  EXPECT_EQ(id->Stream, nullptr);
}

// A fatal error deep inside the library, after rows were shown: they stay, and the error is the
// library's text.
TEST_F(JpegTest, FatalErrorInALaterScanKeepsTheRowsShown) {
  std::vector<uint8_t> file = JpegBytes("video-001.progressive.jpeg");
  const std::vector<size_t> scans = ScanOffsets(file);
  ASSERT_GE(scans.size(), 3u);
  file[scans[2] + 5] = 0x77;  // the first component selector of the third scan
  const std::string text = "Invalid component ID 119 in SOS";

  auto shown = Decode(file, goDisplayInterlace);
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(shown->ErrorCode, errFileDamaged);
  EXPECT_EQ(shown->ErrorText, text);
  EXPECT_EQ(shown->Info.back(), "k" + text);
  EXPECT_GE(platform.Count(WM_GRAPHIC_PROGRESS, 1), 1);
  EXPECT_EQ(platform.Count(WM_GRAPHIC_DONE, 0), 1);
  const uint8_t* row = shown->Bitmap->ScanLine(50);
  EXPECT_TRUE(std::any_of(row, row + 450, [](uint8_t v) { return v != 0; }));

  auto plain = Decode(file);
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(plain->ErrorCode, errFileDamaged);
  EXPECT_EQ(plain->ErrorText, text);
}

// A file may not keep the decoder busy with scan after scan: past the limit it is damaged.
TEST_F(JpegTest, TooManyScansEndTheDecoding) {
  const std::vector<uint8_t> file = JpegBytes("video-001.progressive.jpeg");
  const std::vector<size_t> scans = ScanOffsets(file);
  ASSERT_FALSE(scans.empty());
  // The last scan again and again (each a repeated refinement, which the library only warns of).
  const std::vector<uint8_t> last(file.begin() + scans.back(), file.end() - 2);
  for (int extra : {kMaxJpegScans - static_cast<int>(scans.size()), kMaxJpegScans}) {
    std::vector<uint8_t> many(file.begin(), file.end() - 2);
    for (int i = 0; i < extra; ++i) many.insert(many.end(), last.begin(), last.end());
    many.push_back(0xFF);
    many.push_back(0xD9);
    for (uint16_t options : {uint16_t{0}, goDisplayInterlace}) {
      SCOPED_TRACE(testing::Message() << extra << " more scans, options " << options);
      auto id = Decode(many, options);
      ASSERT_NE(id, nullptr);
      if (extra + scans.size() <= static_cast<size_t>(kMaxJpegScans)) {
        EXPECT_EQ(id->ErrorCode, 0);
        EXPECT_EQ(id->RowsDone, 103);
      } else {
        EXPECT_EQ(id->ErrorCode, errFileDamaged);
        EXPECT_EQ(id->ErrorText, "More than 1000 scans");
      }
    }
  }
}

// The shipped "truncated" file stops after some of its scans but still ends with an end-of-image
// marker: nothing is premature to the library (nor to djpeg), and the picture is what those
// scans give, short of the whole file's.
TEST_F(JpegTest, ShippedTruncatedFileIsAPartialPicture) {
  const std::vector<uint8_t> file = JpegBytes("video-001.progressive.truncated.jpeg");
  ASSERT_GE(file.size(), 2u);
  EXPECT_EQ(file[file.size() - 2], 0xFF);
  EXPECT_EQ(file.back(), 0xD9);
  for (uint16_t options : {uint16_t{0}, goDisplayInterlace}) {
    auto partial = Decode(file, options);
    ASSERT_NE(partial, nullptr);
    EXPECT_EQ(partial->ErrorCode, 0);
    EXPECT_FALSE(HasLine(partial->Info, "gPremature end of JPEG file"));
    EXPECT_EQ(partial->RowsDone, 103);
    auto whole = Decode(JpegBytes("video-001.progressive.jpeg"), options);
    EXPECT_NE(testsupport::ComparePixels(testsupport::PictureToRgb(*partial->Bitmap),
                                         testsupport::PictureToRgb(*whole->Bitmap)),
              "");
  }
}

// Cut short, a file decodes to its end with the library's warning and the rest filled in.
TEST_F(JpegTest, TruncatedFileWarnsAndKeepsThePicture) {
  for (const char* name : {"video-001.jpeg", "video-001.progressive.jpeg",
                           "video-001.q50.420.jpeg"}) {  // the last is under one buffer long
    for (uint16_t options : {uint16_t{0}, goDisplayInterlace}) {
      SCOPED_TRACE(testing::Message() << name << " options " << options);
      std::vector<uint8_t> file = JpegBytes(name);
      file.resize(file.size() * 2 / 3);
      auto id = Decode(file, options);
      ASSERT_NE(id, nullptr);
      EXPECT_EQ(id->ErrorCode, 0);
      EXPECT_TRUE(HasLine(id->Info, "gPremature end of JPEG file"));
      EXPECT_EQ(id->RowsDone, 103);
      EXPECT_EQ(platform.Count(WM_GRAPHIC_DONE, 0), 1);
    }
  }
}

TEST_F(JpegTest, CommentsBecomeRemarks) {
  const std::vector<uint8_t> jpeg = JpegBytes("video-005.gray.jpeg");
  // Two comments right after the start marker; a zero byte ends a remark early.
  std::vector<uint8_t> file = {0xFF, 0xD8, 0xFF, 0xFE, 0,   7,   'h', 'e', 'l', 'l', 'o',
                               0xFF, 0xFE, 0,    8,    'a', 'b', 0,   'c', 'd', 'e'};
  file.insert(file.end(), jpeg.begin() + 2, jpeg.end());
  auto id = Decode(file);
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->ErrorCode, 0);
  std::vector<std::string> remarks;
  for (const std::string& line : id->Info)
    if (line[0] == 'r') remarks.push_back(line);
  EXPECT_EQ(remarks, (std::vector<std::string>{"rhello", "rab", "rcde"}));
  EXPECT_EQ(id->RowsDone, 103);
  // A comment cut off by the end of the data: no picture follows.
  std::vector<uint8_t> cut(file.begin(), file.begin() + 19);
  EXPECT_EQ(Decode(cut), nullptr);
}

// ---- Writer

std::vector<uint8_t> Written(tMemBmp& picture, const std::string& comment, int quality,
                             bool progressive) {
  auto* memory = new TMemoryStream();
  tBuffStream out("out.jpg", std::unique_ptr<TStream>(memory), true);
  WriteJPEG(picture, out, comment, quality, progressive);
  out.Flush();
  return memory->Data();
}

// A picture of the given kind with smooth and sharp parts.
std::unique_ptr<tMemBmp> Sample(int bits, bool gray, int width = 37, int height = 21) {
  auto picture = std::make_unique<tMemBmp>();
  tRGBPalette ramp = GrayPalette(256);  // colours: a smooth ramp from blue-green to orange
  for (int i = 0; i < 256 && !gray; ++i) ramp[i * 3 + 1] = static_cast<uint8_t>(255 - i / 2);
  tQuadPalette quads = RGBToQuads(bits == 1 ? GrayPalette(2) : ramp);
  picture->Allocate(width, height, gray, bits <= 8 ? quads.data() : nullptr,
                    bits <= 8 ? 1 << bits : 256 + bits, bits);
  std::vector<uint8_t> index(static_cast<size_t>(width)), bgr(static_cast<size_t>(width) * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      index[x] = static_cast<uint8_t>(bits == 1 ? (x / 8 + y / 8) & 1 : x * 200 / width + y);
      uint8_t v = static_cast<uint8_t>(x * 180 / width + (y > height / 2 ? 60 : 0));
      bgr[x * 3] = v;
      bgr[x * 3 + 1] = gray ? v : static_cast<uint8_t>(255 - y * 240 / height);
      bgr[x * 3 + 2] = gray ? v : static_cast<uint8_t>(y * 240 / height);
    }
    if (bits <= 8) {
      picture->SetByteLine(y, index.data());
      if (bits == 8) std::memcpy(picture->ScanLine(y), index.data(), index.size());
    } else {
      picture->SetRGBLine(y, bgr.data());
    }
  }
  return picture;
}

TEST_F(JpegTest, QualityOutsideOneToHundredWritesNothing) {
  auto picture = Sample(24, false);
  EXPECT_TRUE(Written(*picture, "", 0, false).empty());
  EXPECT_TRUE(Written(*picture, "", 101, true).empty());
  EXPECT_FALSE(Written(*picture, "", 1, false).empty());
  EXPECT_FALSE(Written(*picture, "", 100, false).empty());
}

// The number of components in the frame header (SOF0 or SOF2).
int FrameComponents(const std::vector<uint8_t>& file) {
  for (size_t i = 0; i + 9 < file.size(); ++i)
    if (file[i] == 0xFF && (file[i + 1] == 0xC0 || file[i + 1] == 0xC2)) return file[i + 9];
  return -1;
}

TEST_F(JpegTest, WrittenFilesReadBack) {
  // Quality 100 leaves a few levels of error, more at sharp edges in subsampled colour.
  struct Case {
    int bits;
    bool gray;
    int components, tolerance;
  } cases[] = {{24, false, 3, 24},
               {8, false, 3, 24},
               {8, true, 1, 8},
               {1, true, 1, 60},
               {24, true, 3, 24}};  // a grey flag on true colour rows still writes colour
  for (const Case& c : cases) {
    for (bool progressive : {false, true}) {
      SCOPED_TRACE(testing::Message()
                   << c.bits << " bits, grey " << c.gray << ", progressive " << progressive);
      auto picture = Sample(c.bits, c.gray);
      std::vector<uint8_t> file = Written(*picture, "", 100, progressive);
      EXPECT_EQ(FrameComponents(file), c.components);
      EXPECT_EQ(file[file.size() - 2], 0xFF);
      EXPECT_EQ(file.back(), 0xD9);
      auto id = Decode(file);
      ASSERT_NE(id, nullptr);
      EXPECT_EQ(id->ErrorCode, 0);
      EXPECT_EQ(id->GrayFlag, c.components == 1);
      EXPECT_EQ(id->FormatName, std::string(progressive ? "Progressive " : "") +
                                    (c.components == 1 ? "Grayscale " : "") + "JPEG");
      EXPECT_EQ(testsupport::ComparePixels(testsupport::PictureToRgb(*id->Bitmap),
                                           testsupport::PictureToRgb(*picture), c.tolerance),
                "");
    }
  }
}

TEST_F(JpegTest, CommentIsOneComSegment) {
  auto picture = Sample(8, true);
  std::vector<uint8_t> file = Written(*picture, "abc", 75, false);
  const uint8_t segment[] = {0xFF, 0xFE, 0, 5, 'a', 'b', 'c'};
  EXPECT_NE(std::search(file.begin(), file.end(), segment, segment + 7), file.end());
  auto id = Decode(file);
  ASSERT_NE(id, nullptr);
  EXPECT_TRUE(HasLine(id->Info, "rabc"));
  // No comment, no segment.
  std::vector<uint8_t> plain = Written(*picture, "", 75, false);
  const uint8_t com[] = {0xFF, 0xFE};
  EXPECT_EQ(std::search(plain.begin(), plain.end(), com, com + 2), plain.end());
}

// One marker holds 65533 bytes: a longer comment goes on in a second one.
TEST_F(JpegTest, LongCommentSpansSegments) {
  auto picture = Sample(24, false);
  std::string comment(70000, 'x');
  comment[65532] = 'y';
  comment[65533] = 'z';
  std::vector<uint8_t> file = Written(*picture, comment, 75, false);
  auto id = Decode(file);
  ASSERT_NE(id, nullptr);
  std::vector<std::string> remarks;
  for (const std::string& line : id->Info)
    if (line[0] == 'r') remarks.push_back(line.substr(1));
  ASSERT_EQ(remarks.size(), 2u);
  EXPECT_EQ(remarks[0].size(), 65533u);
  EXPECT_EQ(remarks[0].back(), 'y');
  EXPECT_EQ(remarks[1], "z" + std::string(70000 - 65534, 'x'));
}

// A stream that takes at most `limit` bytes and then no more, like a full disk.
class tShortStream : public TMemoryStream {
 public:
  explicit tShortStream(int32_t limit) : limit_(limit) {}
  int32_t Write(const void* buffer, int32_t count) override {
    int32_t n = std::max(0, std::min(count, limit_ - taken_));
    taken_ += n;
    return TMemoryStream::Write(buffer, n);
  }

 private:
  int32_t limit_, taken_ = 0;
};

TEST_F(JpegTest, ShortWriteRaisesError38) {
  // A full buffer that does not go out, and the last part that does not.
  struct Case {
    int width, height;
    int32_t limit;
  } cases[] = {{300, 300, 1000}, {300, 300, 4096}, {16, 16, 0}, {16, 16, 200}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " limit " << c.limit);
    auto picture = Sample(24, false, c.width, c.height);
    tBuffStream out("full.jpg", std::make_unique<tShortStream>(c.limit), true);
    try {
      WriteJPEG(*picture, out, "", 90, false);
      ADD_FAILURE() << "no error";
    } catch (const JPEGerror& e) {
      EXPECT_STREQ(e.what(), "Output file write error --- out of disk space?");
    }
  }
}

TEST_F(JpegTest, LibraryErrorWhileWritingRaises) {
  tMemBmp empty;  // no rows at all
  tBuffStream out("e.jpg", std::make_unique<TMemoryStream>(), true);
  EXPECT_THROW(WriteJPEG(empty, out, "", 75, false), JPEGerror);
  // The writer is usable again afterwards.
  auto picture = Sample(24, false);
  EXPECT_FALSE(Written(*picture, "", 75, false).empty());
}

// ---- Against Debian's djpeg, cjpeg, rdjpgcom and ImageMagick (the same library underneath: this
// checks the glue).

TEST_F(JpegTest, PixelsEqualDjpeg) {
  if (!testsupport::HaveTool("djpeg")) GTEST_SKIP() << "djpeg not available";
  for (const auto& entry : std::filesystem::directory_iterator(testsupport::TestData("jpeg"))) {
    const std::filesystem::path file = entry.path();
    if (file.extension() != ".jpeg" || file.string().find("cmyk") != std::string::npos) continue;
    RgbImage theirs;
    ASSERT_TRUE(
        testsupport::DecodeReference(testsupport::tReference::Netpbm, file, theirs, "djpeg"))
        << file;
    for (uint16_t options : {uint16_t{0}, goDisplayInterlace}) {
      SCOPED_TRACE(testing::Message() << file.filename() << " options " << options);
      GraphicOptions = options;
      testsupport::tOurDecode ours = testsupport::DecodeOurs(file);
      ASSERT_TRUE(ours.identified);
      EXPECT_EQ(ours.formatId, fmtJPG);
      EXPECT_EQ(ours.errorCode, 0);
      EXPECT_EQ(testsupport::ComparePixels(ours.image, theirs), "");
    }
  }
}

// Thumbnail making asks for a reduced scale: the picture is the library's DCT-scaled one, as
// djpeg -scale gives it, while the sizes reported stay the file's.
TEST_F(JpegTest, ReducedScaleEqualsDjpegScale) {
  struct Size {
    int width, height, minimumSide, denominator;
  } sizes[] = {
      {4000, 3000, 320, 8}, {2400, 1648, 320, 4}, {1000, 700, 320, 2}, {600, 4000, 320, 1},
      {150, 103, 0, 1},     {150, 103, 13, 8},    {150, 103, 14, 4},   {150, 103, 52, 2},
      {150, 103, 53, 1},    {0, 0, 1, 1},
  };
  for (const Size& s : sizes)
    EXPECT_EQ(JpegScaleDenominator(s.width, s.height, s.minimumSide), s.denominator)
        << s.width << "x" << s.height << " keeping " << s.minimumSide;
  if (!testsupport::HaveTool("djpeg")) GTEST_SKIP() << "djpeg not available";
  for (const char* name : {"video-001.jpeg", "video-001.progressive.jpeg", "video-005.gray.jpeg",
                           "video-001.q50.420.jpeg"}) {
    for (const auto& [minimumSide, denominator] : {std::pair{13, 8}, {14, 4}, {40, 2}}) {
      for (uint16_t options : {uint16_t{0}, goDisplayInterlace}) {
        SCOPED_TRACE(testing::Message() << name << " keeping " << minimumSide << " options "
                                        << options);
        std::vector<uint8_t> pnm;
        ASSERT_EQ(testsupport::Run("djpeg -scale 1/" + std::to_string(denominator) + " '" +
                                       JpegFile(name).string() + "'",
                                   &pnm),
                  0);
        RgbImage theirs;
        ASSERT_TRUE(testsupport::ParseNetpbm(pnm, theirs));
        GraphicOptions = options;
        auto* stream = new tBuffStream(name, std::make_unique<TMemoryStream>(JpegBytes(name)),
                                       false);
        tGraphicID id(stream);
        id.MinimumSide = minimumSide;
        ASSERT_TRUE(id.IdentifyPicture());
        EXPECT_EQ(id.Width, 150);
        EXPECT_EQ(id.Height, 103);
        EXPECT_EQ(id.Info[1].rfind("b150x103x", 0), 0u);
        id.LoadPicture();
        EXPECT_EQ(id.ErrorCode, 0);
        EXPECT_EQ(id.Bitmap->Width(), (150 + denominator - 1) / denominator);
        EXPECT_EQ(id.Bitmap->Height(), (103 + denominator - 1) / denominator);
        EXPECT_EQ(testsupport::ComparePixels(testsupport::PictureToRgb(*id.Bitmap), theirs), "");
      }
    }
  }
}

TEST_F(JpegTest, CutFilesEqualDjpeg) {
  if (!testsupport::HaveTool("djpeg")) GTEST_SKIP() << "djpeg not available";
  const auto dir = testsupport::ScratchDir("jpeg_cut");
  for (const char* name : {"video-001.jpeg", "video-001.progressive.jpeg", "video-001.q50.422.jpeg",
                           "video-005.gray.q50.2x2.progressive.jpeg"}) {
    for (int percent : {40, 75}) {
      std::vector<uint8_t> bytes = JpegBytes(name);
      bytes.resize(bytes.size() * percent / 100);
      const auto file = dir / (std::to_string(percent) + name);
      testsupport::WriteFile(file, bytes);
      std::vector<uint8_t> message, pixels;  // djpeg's exit code 2 says it warned
      ASSERT_EQ(testsupport::Run("djpeg -outfile /dev/null '" + file.string() + "' 2>&1", &message),
                2);
      EXPECT_NE(std::string(message.begin(), message.end()).find("Premature end of JPEG file"),
                std::string::npos);
      ASSERT_EQ(testsupport::Run("djpeg '" + file.string() + "' 2>/dev/null", &pixels), 2);
      RgbImage theirs;
      ASSERT_TRUE(testsupport::ParseNetpbm(pixels, theirs));
      for (uint16_t options : {uint16_t{0}, goDisplayInterlace}) {
        SCOPED_TRACE(testing::Message() << file.filename() << " options " << options);
        GraphicOptions = options;
        testsupport::tOurDecode ours = testsupport::DecodeOurs(file);
        EXPECT_EQ(ours.errorCode, 0);
        EXPECT_TRUE(HasLine(ours.info, "gPremature end of JPEG file"));
        EXPECT_EQ(testsupport::ComparePixels(ours.image, theirs), "");
      }
    }
  }
}

// Same library, same settings: our files are byte for byte what cjpeg writes from djpeg's
// decoding of the same file (with baseline tables forced, as ours are).
TEST_F(JpegTest, WriterMatchesCjpeg) {
  if (!testsupport::HaveTool("cjpeg") || !testsupport::HaveTool("djpeg"))
    GTEST_SKIP() << "cjpeg/djpeg not available";
  const auto dir = testsupport::ScratchDir("jpeg_cjpeg");
  for (const char* name : {"video-001.q50.420.jpeg", "video-005.gray.jpeg"}) {
    auto id = Decode(JpegBytes(name));
    ASSERT_NE(id, nullptr);
    const std::string source = "'" + JpegFile(name).string() + "'";
    for (int quality : {5, 75, 100}) {
      for (bool progressive : {false, true}) {
        SCOPED_TRACE(testing::Message()
                     << name << " quality " << quality << " progressive " << progressive);
        std::vector<uint8_t> ours = Written(*id->Bitmap, "", quality, progressive), theirs;
        ASSERT_EQ(
            testsupport::Run("djpeg " + source + " | cjpeg -baseline -quality " +
                                 std::to_string(quality) + (progressive ? " -progressive" : ""),
                             &theirs),
            0);
        EXPECT_TRUE(ours == theirs);
        // Files of ours that ImageMagick reads with the quality and progression asked for.
        const auto file = dir / "w.jpg";
        testsupport::WriteFile(file, ours);
        std::vector<uint8_t> said;
        ASSERT_EQ(
            testsupport::Run("identify -format '%Q %[interlace]' '" + file.string() + "'", &said),
            0);
        EXPECT_EQ(std::string(said.begin(), said.end()),
                  std::to_string(quality) + (progressive ? " JPEG" : " None"));
        ASSERT_EQ(testsupport::Run("djpeg -outfile /dev/null '" + file.string() + "'"), 0);
      }
    }
  }
}

TEST_F(JpegTest, CommentsAgainstWrjpgcomAndRdjpgcom) {
  if (!testsupport::HaveTool("wrjpgcom") || !testsupport::HaveTool("rdjpgcom"))
    GTEST_SKIP() << "wrjpgcom/rdjpgcom not available";
  const auto dir = testsupport::ScratchDir("jpeg_com");
  const auto marked = dir / "marked.jpg";
  ASSERT_EQ(testsupport::Run("wrjpgcom -comment 'Made by a test' '" +
                             JpegFile("video-001.jpeg").string() + "' > '" + marked.string() + "'"),
            0);
  testsupport::tOurDecode ours = testsupport::DecodeOurs(marked);
  EXPECT_TRUE(HasLine(ours.info, "rMade by a test"));

  auto picture = Sample(24, false);
  const auto written = dir / "written.jpg";
  testsupport::WriteFile(written, Written(*picture, "Our comment", 80, true));
  std::vector<uint8_t> said;
  ASSERT_EQ(testsupport::Run("rdjpgcom '" + written.string() + "'", &said), 0);
  EXPECT_EQ(std::string(said.begin(), said.end()), "Our comment\n");
}

}  // namespace
