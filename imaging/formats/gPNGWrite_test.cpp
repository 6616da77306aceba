#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "foundation/uPlatform.h"
#include "foundation/uUtil.h"
#include "imaging/formats/gPNG.h"
#include "tests/DiffDecode.h"
#include "tests/TestSupport.h"

namespace {

using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

struct tChunk {
  std::string type;
  Bytes data;
};

uint32_t Get32(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

std::vector<tChunk> Chunks(const Bytes& file) {
  std::vector<tChunk> out;
  for (size_t pos = 8; pos + 12 <= file.size();) {
    const uint32_t length = Get32(&file[pos]);
    if (pos + 12 + length > file.size()) break;
    out.push_back({std::string(file.begin() + static_cast<long>(pos) + 4,
                               file.begin() + static_cast<long>(pos) + 8),
                   Bytes(file.begin() + static_cast<long>(pos) + 8,
                         file.begin() + static_cast<long>(pos + 8 + length))});
    pos += 12 + length;
  }
  return out;
}

const tChunk* Find(const std::vector<tChunk>& chunks, const std::string& type) {
  for (const tChunk& c : chunks)
    if (c.type == type) return &c;
  return nullptr;
}

Bytes Inflate(const Bytes& data) {
  Bytes out(1 << 22);
  uLongf size = static_cast<uLongf>(out.size());
  EXPECT_EQ(uncompress(out.data(), &size, data.data(), static_cast<uLong>(data.size())), Z_OK);
  out.resize(size);
  return out;
}

// A picture of the given kind with a deterministic pattern. palette: RGB triples (grey pictures
// give their levels as triples too).
struct tKind {
  const char* name;
  int bits, colors;
  bool grey;
  std::vector<int> levels;  // palette: entry i = (levels[i], levels[i] * 3 % 256, 255 - ...)
  int depth, colorType;     // what the file must say
};

std::unique_ptr<tMemBmp> MakePicture(const tKind& k, int width, int height) {
  auto pic = std::make_unique<tMemBmp>();
  pic->AllowDeepColor = 1;
  std::vector<uint8_t> quads(1024, 0);
  for (size_t i = 0; i < k.levels.size(); ++i) {
    const int v = k.levels[i];
    quads[i * 4] = static_cast<uint8_t>(v);
    quads[i * 4 + 1] = static_cast<uint8_t>(k.grey ? v : v * 3 % 256);
    quads[i * 4 + 2] = static_cast<uint8_t>(k.grey ? v : 255 - v / 2);
  }
  pic->Allocate(width, height, k.grey, k.levels.empty() ? nullptr : quads.data(), k.colors, k.bits);
  uint32_t seed = 12345;
  for (int y = 0; y < height; ++y) {
    if (pic->BitCount() <= 8) {
      std::vector<uint8_t> row(static_cast<size_t>(width));
      for (int x = 0; x < width; ++x) row[x] = static_cast<uint8_t>((x * 7 + y * 3) % k.colors);
      if (pic->BitCount() == 8)
        std::memcpy(pic->ScanLine(y), row.data(), row.size());
      else
        pic->SetByteLine(y, row.data());
      continue;
    }
    uint8_t* line = pic->ScanLine(y);
    const int bytes = pic->BitCount() / 8 * width + (pic->BitCount() == 15 ? width : 0);
    for (int i = 0; i < bytes; ++i) {
      seed = seed * 1103515245 + 12345;
      // Smooth with a little noise, so the filters have something to choose between.
      line[i] = static_cast<uint8_t>(i * 2 + y * 5 + ((seed >> 16) & 7));
    }
  }
  return pic;
}

std::vector<int> Ramp(int n, int step = 1, bool reversed = false) {
  std::vector<int> v;
  for (int i = 0; i < n; ++i) v.push_back(reversed ? 255 - i * step : i * step);
  return v;
}

const tKind kKinds[] = {
    {"grey 2", 1, 2, true, {0, 255}, 1, 0},
    {"grey 2, entry 0 white", 1, 2, true, {255, 0}, 1, 0},
    {"grey 4", 8, 4, true, {0, 85, 170, 255}, 4, 0},
    {"grey 16", 4, 16, true, Ramp(16, 17), 4, 0},
    {"grey 2 of 0 and 100", 1, 2, true, {0, 100}, 8, 0},
    {"grey 4 of another ramp", 8, 4, true, {0, 127, 191, 255}, 8, 0},
    {"grey 200", 8, 200, true, Ramp(200), 8, 0},
    {"grey 256 reversed", 8, 256, true, Ramp(256, 1, true), 8, 0},
    {"palette 2", 1, 2, false, {30, 200}, 1, 3},
    {"palette 3", 8, 3, false, {10, 120, 250}, 2, 3},
    {"palette 16", 4, 16, false, Ramp(16, 15), 4, 3},
    {"palette 100", 8, 100, false, Ramp(100, 2), 8, 3},
    {"palette 256", 8, 256, false, Ramp(256), 8, 3},
    {"24-bit", 24, 280, false, {}, 8, 2},
    {"15-bit", 15, 271, false, {}, 8, 2},
    {"16-bit", 16, 272, false, {}, 8, 2},
    {"32-bit", 32, 288, false, {}, 8, 2},
};

const tKind& Kind(const std::string& name) {
  for (const tKind& k : kKinds)
    if (name == k.name) return k;
  throw std::invalid_argument(name);
}

Bytes Write(tMemBmp& pic, bool interlaced, int filter = 5, int gamma = 0,
            const std::string& comment = "", const std::string& software = "Tavis 1.0") {
  auto memory = std::make_unique<TMemoryStream>();
  TMemoryStream* raw = memory.get();
  tBuffStream out("out.png", std::move(memory), true);
  WritePNG(pic, out, software, comment, interlaced ? 1 : 0, static_cast<uint8_t>(filter), gamma);
  out.Flush();
  EXPECT_FALSE(out.AtEnd);
  return raw->Data();
}

std::unique_ptr<tGraphicID> Read(const Bytes& file) {
  RegisterAllFormats();
  auto* stream = new tBuffStream("out.png", std::make_unique<TMemoryStream>(file), false);
  auto id = std::make_unique<tGraphicID>(stream);
  if (!id->IdentifyPicture()) {
    delete stream;
    return nullptr;
  }
  id->LoadPicture();
  return id;
}

class PngWriteTest : public testing::Test {
 protected:
  void TearDown() override { UnregisterAllFormats(); }
};

// Every kind of picture gets the header its colours ask for and comes back pixel for pixel
// through our reader, netpbm and PIL; pngcheck finds nothing wrong.
TEST_F(PngWriteTest, EveryKindOfPictureRoundTrips) {
  const bool tools = testsupport::HaveTool("pngcheck") && testsupport::HaveTool("pngtopam");
  const fs::path dir = testsupport::ScratchDir("png_write");
  for (const tKind& k : kKinds) {
    for (bool interlaced : {false, true}) {
      SCOPED_TRACE(std::string(k.name) + (interlaced ? " interlaced" : ""));
      auto pic = MakePicture(k, 37, 19);
      const Bytes file = Write(*pic, interlaced);
      const std::vector<tChunk> chunks = Chunks(file);
      ASSERT_GE(chunks.size(), 4u);
      ASSERT_EQ(chunks[0].type, "IHDR");
      EXPECT_EQ(chunks[0].data[8], k.depth);
      EXPECT_EQ(chunks[0].data[9], k.colorType);
      EXPECT_EQ(chunks[0].data[12], interlaced ? 1 : 0);
      const tChunk* plte = Find(chunks, "PLTE");
      EXPECT_EQ(plte ? plte->data.size() : 0u, k.colorType == 3 ? size_t(k.colors) * 3 : 0u);

      const testsupport::RgbImage expected = testsupport::PictureToRgb(*pic);
      auto id = Read(file);
      ASSERT_NE(id, nullptr);
      ASSERT_EQ(id->ErrorCode, 0);
      EXPECT_EQ(testsupport::ComparePixels(testsupport::PictureToRgb(*id->Bitmap), expected), "");
      if (!tools) continue;
      const fs::path path = dir / "out.png";
      testsupport::WriteFile(path, file);
      EXPECT_EQ(testsupport::Run("pngcheck -v '" + path.string() + "' >/dev/null"), 0);
      for (auto reference : {testsupport::tReference::Netpbm, testsupport::tReference::Pil}) {
        testsupport::RgbImage theirs;
        ASSERT_TRUE(testsupport::DecodeReference(reference, path, theirs, "pngtopam"));
        EXPECT_EQ(testsupport::ComparePixels(expected, theirs), "");
      }
    }
  }
}

// Pictures too small for every Adam7 pass: the empty passes store no rows.
TEST_F(PngWriteTest, TinyInterlacedPicturesDecodeElsewhere) {
  if (!testsupport::HaveTool("pngtopam")) GTEST_SKIP() << "reference tools not available";
  const fs::path path = testsupport::ScratchDir("png_tiny") / "tiny.png";
  for (auto [w, h] : {std::pair{1, 1}, {3, 2}, {5, 1}, {1, 6}}) {
    SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
    for (const tKind& k : {Kind("grey 2, entry 0 white"), Kind("palette 3"), Kind("24-bit")}) {
      auto pic = MakePicture(k, w, h);
      testsupport::WriteFile(path, Write(*pic, true));
      EXPECT_EQ(testsupport::Run("pngcheck -q '" + path.string() + "' >/dev/null"), 0);
      testsupport::RgbImage theirs;
      ASSERT_TRUE(
          testsupport::DecodeReference(testsupport::tReference::Netpbm, path, theirs, "pngtopam"));
      EXPECT_EQ(testsupport::ComparePixels(testsupport::PictureToRgb(*pic), theirs), "");
    }
  }
}

// The filter bytes of a non-interlaced file's rows; the filtered rows go to `rows`.
std::vector<int> StoredFilters(const Bytes& file, size_t rowBytes, Bytes& rows) {
  const std::vector<tChunk> chunks = Chunks(file);
  const Bytes data = Inflate(Find(chunks, "IDAT")->data);
  std::vector<int> filters;
  for (size_t pos = 0; pos + rowBytes + 1 <= data.size(); pos += rowBytes + 1) {
    filters.push_back(data[pos]);
    rows.insert(rows.end(), data.begin() + static_cast<long>(pos) + 1,
                data.begin() + static_cast<long>(pos + 1 + rowBytes));
  }
  return filters;
}

// The forward filters, written here from the PNG standard.
Bytes Filtered(int f, const Bytes& x, const Bytes& up, int bpp) {
  Bytes out(x.size());
  for (size_t i = 0; i < x.size(); ++i) {
    const int a = i >= size_t(bpp) ? x[i - bpp] : 0, b = up[i];
    const int c = i >= size_t(bpp) ? up[i - bpp] : 0;
    int predicted = 0;
    if (f == 1) predicted = a;
    if (f == 2) predicted = b;
    if (f == 3) predicted = (a + b) / 2;
    if (f == 4) {
      const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
      predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
    }
    out[i] = static_cast<uint8_t>(x[i] - predicted);
  }
  return out;
}

TEST_F(PngWriteTest, FilterChoice) {
  struct Case {
    const tKind& kind;
    int option;
    int bpp;
    bool adaptive;  // else every row has the filter `option` (5: none)
  } cases[] = {{Kind("24-bit"), 5, 3, true},       {Kind("grey 200"), 5, 1, true},
               {Kind("palette 256"), 5, 1, false}, {Kind("palette 16"), 5, 1, false},
               {Kind("24-bit"), 2, 3, false},      {Kind("palette 256"), 4, 1, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.kind.name) + " option " + std::to_string(c.option));
    const int width = 61, height = 23;
    auto pic = MakePicture(c.kind, width, height);
    const size_t rowBytes = (size_t(width) * c.kind.depth * c.bpp + 7) / 8;
    Bytes stored;
    const std::vector<int> filters = StoredFilters(Write(*pic, false, c.option), rowBytes, stored);
    ASSERT_EQ(filters.size(), size_t(height));
    // The unfiltered rows, as the file must hold them (8 bits and up: bytes of the RGB row).
    Bytes prev(rowBytes, 0);
    std::set<int> used;
    for (int y = 0; y < height; ++y) {
      Bytes row;
      if (c.kind.colorType == 2) {
        const uint8_t* rgb = pic->GetRGBLineSwapped(y);
        row.assign(rgb, rgb + rowBytes);
      } else if (c.kind.depth == 8) {
        const uint8_t* idx = pic->GetByteLine(y);
        for (int x = 0; x < width; ++x)
          row.push_back(c.kind.grey ? pic->ColorTable[idx[x] * 4] : idx[x]);
      }
      int want = c.option == 5 ? 0 : c.option;
      if (c.adaptive) {
        long best = -1;
        for (int f = 0; f < 5; ++f) {
          long score = 0;
          for (uint8_t b : Filtered(f, row, prev, c.bpp)) score += std::abs(static_cast<int8_t>(b));
          if (best < 0 || score < best) best = score, want = f;
        }
      }
      EXPECT_EQ(filters[y], want) << "row " << y;
      if (!row.empty()) {
        const Bytes expect = Filtered(filters[y], row, prev, c.bpp);
        EXPECT_TRUE(std::equal(expect.begin(), expect.end(),
                               stored.begin() + static_cast<long>(y * rowBytes)))
            << "row " << y;
        prev = row;
      }
      used.insert(filters[y]);
    }
    if (c.adaptive) {
      EXPECT_GE(used.size(), 2u);
    }
  }
}

TEST_F(PngWriteTest, GammaTextCommentAndTime) {
  tPlainPlatform clock;
  clock.FixedNow = EncodeDate(2011, 3, 14) + (15 * 3600 + 9 * 60 + 26) / 86400.0;
  SetPlatform(&clock);
  auto pic = MakePicture(Kind("palette 16"), 9, 9);
  const Bytes plain = Write(*pic, false, 5, 0, "", "");
  const Bytes full = Write(*pic, false, 5, 45, "Line one\r\nLine two", "Tavis 1.0");
  SetPlatform(nullptr);

  std::vector<std::string> types;
  for (const tChunk& c : Chunks(plain)) types.push_back(c.type);
  EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "PLTE", "tIME", "IDAT", "IEND"}));
  const std::vector<tChunk> chunks = Chunks(full);
  types.clear();
  for (const tChunk& c : chunks) types.push_back(c.type);
  EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "gAMA", "PLTE", "tEXt", "zTXt", "tIME", "IDAT",
                                             "IEND"}));
  EXPECT_EQ(Get32(Find(chunks, "gAMA")->data.data()), 45000u);
  const Bytes& text = Find(chunks, "tEXt")->data;
  EXPECT_EQ(std::string(text.begin(), text.end()), std::string("Software\0Tavis 1.0", 18));
  const Bytes& z = Find(chunks, "zTXt")->data;
  ASSERT_GT(z.size(), 9u);
  EXPECT_EQ(std::string(z.begin(), z.begin() + 9), std::string("Comment\0\0", 9));
  const Bytes comment = Inflate(Bytes(z.begin() + 9, z.end()));
  EXPECT_EQ(std::string(comment.begin(), comment.end()), "Line one\r\nLine two");
  EXPECT_EQ(Find(chunks, "tIME")->data, (Bytes{0x07, 0xDB, 3, 14, 15, 9, 26}));

  auto id = Read(full);
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->ErrorCode, 0);
  EXPECT_EQ(id->Gamma, 450);
  EXPECT_EQ(id->RemarksText("Comment"), "Software\r\nTavis 1.0\r\n\r\nLine one\r\nLine two");
  EXPECT_NE(std::find(id->Info.begin(), id->Info.end(), "bCreated 2011-03-14 15:09:26"),
            id->Info.end());
}

// A stream that takes a given number of bytes and then fails.
class tFullDisk : public TMemoryStream {
 public:
  explicit tFullDisk(int64_t room) : room_(room) {}
  int32_t Write(const void* buffer, int32_t count) override {
    if (Position() + count > room_) return 0;
    return TMemoryStream::Write(buffer, count);
  }

 private:
  int64_t room_;
};

TEST_F(PngWriteTest, WriteFailuresShowAtTheEnd) {
  auto pic = MakePicture(Kind("24-bit"), 200, 150);
  const size_t whole = Write(*pic, false).size();
  for (int64_t room :
       {int64_t(0), int64_t(40), int64_t(130), int64_t(whole / 2), int64_t(whole - 2)}) {
    SCOPED_TRACE(room);
    tBuffStream out("full.png", std::make_unique<tFullDisk>(room), true);
    EXPECT_NO_THROW(WritePNG(*pic, out, "Tavis 1.0", "", 0, 5, 0));
    out.Flush();
    EXPECT_TRUE(out.AtEnd);
  }
}

TEST_F(PngWriteTest, PictureWithoutRowsRaises) {
  tMemBmp empty;
  tBuffStream out("none.png", std::make_unique<TMemoryStream>(), true);
  EXPECT_THROW(WritePNG(empty, out, "", "", 0, 5, 0), std::invalid_argument);
}

}  // namespace
