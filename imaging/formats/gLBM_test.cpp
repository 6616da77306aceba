#include "imaging/formats/gLBM.h"

#include <gtest/gtest.h>

#include <cstring>

#include "imaging/formats/ReaderTestUtil.h"
#include "tests/DiffDecode.h"

namespace {

using readertest::Decode;
using readertest::Indices;
using readertest::PutBE16;
using readertest::PutBE32;
using testsupport::RgbImage;

using tBytes = std::vector<uint8_t>;

// An IFF file made chunk by chunk: the recipe is the fixture.
struct tIff {
  std::string type = "ILBM";
  std::vector<std::pair<std::string, tBytes>> chunks;
  int64_t formSize = -1;  // -1: the real size

  tIff& Add(const std::string& id, const tBytes& data) {
    chunks.emplace_back(id, data);
    return *this;
  }
  tBytes Build() const {
    tBytes body(type.begin(), type.end());
    for (const auto& [id, data] : chunks) {
      body.insert(body.end(), id.begin(), id.end());
      PutBE32(body, static_cast<uint32_t>(data.size()));
      body.insert(body.end(), data.begin(), data.end());
      if (data.size() & 1) body.push_back(0);
    }
    tBytes file = {'F', 'O', 'R', 'M'};
    PutBE32(file, static_cast<uint32_t>(formSize >= 0 ? formSize : int64_t(body.size())));
    file.insert(file.end(), body.begin(), body.end());
    return file;
  }
};

struct tBmhd {
  int width = 16, height = 2, x = 0, y = 0, planes = 1, masking = 0, compression = 0;
  int pageWidth = -1, pageHeight = -1;  // -1: the image size
  tBytes Build() const {
    tBytes v;
    PutBE16(v, width);
    PutBE16(v, height);
    PutBE16(v, static_cast<uint16_t>(x));
    PutBE16(v, static_cast<uint16_t>(y));
    v.insert(v.end(), {uint8_t(planes), uint8_t(masking), uint8_t(compression), 0});
    PutBE16(v, 0);
    v.insert(v.end(), {10, 11});
    PutBE16(v, pageWidth >= 0 ? pageWidth : width);
    PutBE16(v, pageHeight >= 0 ? pageHeight : height);
    return v;
  }
};

tBytes Camg(uint32_t value) {
  tBytes v;
  PutBE32(v, value);
  return v;
}

// Rows of pixel values as interleaved plane rows (each padded to a whole 16-bit word).
tBytes Planar(const std::vector<std::vector<uint32_t>>& rows, int width, int planes) {
  const size_t rowBytes = size_t((width + 15) / 16) * 2;
  tBytes out;
  for (const auto& row : rows) {
    for (int p = 0; p < planes; ++p) {
      tBytes plane(rowBytes);
      for (size_t x = 0; x < row.size(); ++x)
        if (row[x] >> p & 1) plane[x >> 3] |= 0x80 >> (x & 7);
      out.insert(out.end(), plane.begin(), plane.end());
    }
  }
  return out;
}

// Colour map entry i = (i * 8, i * 8 + 1, i * 8 + 2) mod 256.
tBytes Cmap(int entries) {
  tBytes v;
  for (int i = 0; i < entries * 3; ++i) v.push_back(static_cast<uint8_t>(i / 3 * 8 + i % 3));
  return v;
}

tBytes Rgb(tGraphicID& id, int x, int y) {
  const uint8_t* bgr = id.Bitmap->GetRGBLine(y) + 3 * x;
  return {bgr[2], bgr[1], bgr[0]};
}

// One row of pixel values as an ILBM of `planes` planes, with its colour map (none when empty)
// and display mode (no CAMG chunk when 0), decoded.
std::unique_ptr<tGraphicID> DecodeRow(const std::vector<uint32_t>& row, int planes,
                                      const tBytes& cmap, uint32_t camg = 0) {
  tBmhd h;
  h.width = static_cast<int>(row.size());
  h.height = 1;
  h.planes = planes;
  tIff iff;
  iff.Add("BMHD", h.Build());
  if (camg) iff.Add("CAMG", Camg(camg));
  if (!cmap.empty()) iff.Add("CMAP", cmap);
  return Decode(iff.Add("BODY", Planar({row}, h.width, planes)).Build());
}

TEST(LbmTest, PalettePlanes) {
  tBmhd h;
  h.planes = 2;
  std::vector<uint32_t> row0, row1;
  for (uint32_t x = 0; x < 16; ++x) row0.push_back(x % 4), row1.push_back(3 - x % 4);
  auto id = Decode(tIff()
                       .Add("BMHD", h.Build())
                       .Add("CMAP", Cmap(4))
                       .Add("BODY", Planar({row0, row1}, 16, 2))
                       .Build());
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->FormatId, fmtLBM);
  EXPECT_EQ(id->ErrorCode, 0);
  EXPECT_EQ(id->SubType, "Type ILBM.0");
  EXPECT_EQ(id->BitsPerPixel, 2);
  EXPECT_EQ(id->Colors, 4);
  EXPECT_EQ(id->HasPalette, 1);
  EXPECT_EQ(id->GrayFlag, 0);
  EXPECT_EQ(Indices(*id, 0), tBytes(row0.begin(), row0.end()));
  EXPECT_EQ(Indices(*id, 1), tBytes(row1.begin(), row1.end()));
  EXPECT_EQ(Rgb(*id, 3, 0), (tBytes{24, 25, 26}));
  EXPECT_EQ(id->Info.back(), "b16x2x4 IFF/ILBM/HAM Type ILBM.0");
}

TEST(LbmTest, ByteRun1) {
  tBmhd h;
  h.height = 3;
  h.compression = 1;
  // A no-op, a literal of 2 (row 0), a run of 2 (row 1), a run of 4 that covers row 2 and
  // goes past the image.
  auto id = Decode(tIff()
                       .Add("BMHD", h.Build())
                       .Add("BODY", {0x80, 0x01, 0xA5, 0x3C, 0xFF, 0x0F, 0xFD, 0xF0})
                       .Build());
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->SubType, "Type ILBM.1");
  EXPECT_EQ(id->ErrorCode, 0);
  EXPECT_EQ(id->RowsDone, 3);
  const uint8_t* rows[] = {id->Bitmap->ScanLine(0), id->Bitmap->ScanLine(1),
                           id->Bitmap->ScanLine(2)};
  EXPECT_EQ(tBytes(rows[0], rows[0] + 2), (tBytes{0xA5, 0x3C}));
  EXPECT_EQ(tBytes(rows[1], rows[1] + 2), (tBytes{0x0F, 0x0F}));
  EXPECT_EQ(tBytes(rows[2], rows[2] + 2), (tBytes{0xF0, 0xF0}));
}

// Plane rows are whole 16-bit words: 100 pixels take 14 bytes, the last one padding.
TEST(LbmTest, HundredPixelsUsePlaneRowsOfFourteenBytes) {
  tBmhd h;
  h.width = 100;
  tBytes body(28, 0);
  body[12] = 0x10;  // pixel 99
  body[13] = 0xFF;  // padding
  body[14] = 0x80;  // row 1, pixel 0
  auto id = Decode(tIff().Add("BMHD", h.Build()).Add("BODY", body).Build());
  ASSERT_NE(id, nullptr);
  tBytes row0(100, 0), row1(100, 0);
  row0[99] = 1;
  row1[0] = 1;
  EXPECT_EQ(Indices(*id, 0), row0);
  EXPECT_EQ(Indices(*id, 1), row1);
}

// PBM rows are padded to an even length; the reader widens an odd width to take the pad in.
TEST(LbmTest, ChunkyPbmWithOddWidth) {
  tIff iff;
  iff.type = "PBM ";
  tBmhd h;
  h.width = 3;
  h.planes = 8;
  auto id = Decode(iff.Add("BMHD", h.Build())
                       .Add("CMAP", Cmap(10))
                       .Add("BODY", {1, 2, 3, 9, 3, 2, 1, 9})
                       .Build());
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->SubType, "Type PBM.0");
  EXPECT_EQ(id->Width, 4);
  EXPECT_EQ(Indices(*id, 0), (tBytes{1, 2, 3, 9}));
  EXPECT_EQ(Indices(*id, 1), (tBytes{3, 2, 1, 9}));
}

// Each row starts from black: a modify-red pixel first keeps black's green and blue.
TEST(LbmTest, Ham6) {
  tBytes cmap = Cmap(16);
  cmap[3] = 10, cmap[4] = 20, cmap[5] = 30;
  auto id = DecodeRow({0x2A, 0x01, 0x15, 0x33}, 6, cmap, 0x800);
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->SubType, "HAM6 Type ILBM.0");
  EXPECT_EQ(id->BitsPerPixel, 12);
  EXPECT_EQ(id->Colors, 268);
  // Twelve bits per pixel are kept in a 15-bit picture: five bits per channel.
  EXPECT_EQ(id->Bitmap->BitCount(), 15);
  EXPECT_EQ(Rgb(*id, 0, 0), (tBytes{160, 0, 0}));
  EXPECT_EQ(Rgb(*id, 1, 0), (tBytes{10 & 0xF8, 20 & 0xF8, 30 & 0xF8}));
  EXPECT_EQ(Rgb(*id, 2, 0), (tBytes{10 & 0xF8, 20 & 0xF8, 80}));
  EXPECT_EQ(Rgb(*id, 3, 0), (tBytes{10 & 0xF8, 48, 80}));
}

TEST(LbmTest, Ham8) {
  tBytes cmap = Cmap(64);
  cmap[63 * 3] = 200, cmap[63 * 3 + 1] = 201, cmap[63 * 3 + 2] = 202;
  auto id = DecodeRow({0x3F, 0x45, 0xBF, 0xC1}, 8, cmap, 0x800);
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->SubType, "HAM8 Type ILBM.0");
  EXPECT_EQ(id->BitsPerPixel, 18);
  EXPECT_EQ(Rgb(*id, 0, 0), (tBytes{200, 201, 202}));
  EXPECT_EQ(Rgb(*id, 1, 0), (tBytes{200, 201, 20}));
  EXPECT_EQ(Rgb(*id, 2, 0), (tBytes{252, 201, 20}));
  EXPECT_EQ(Rgb(*id, 3, 0), (tBytes{252, 4, 20}));
}

TEST(LbmTest, TwentyFourPlanes) {
  tBmhd h;
  h.width = 2;
  h.height = 1;
  h.planes = 24;
  h.compression = 1;
  tBytes planes = Planar({{0x123456, 0xABCDEF}}, 2, 24);
  tBytes body = {static_cast<uint8_t>(planes.size() - 1)};
  body.insert(body.end(), planes.begin(), planes.end());
  auto id = Decode(tIff().Add("BMHD", h.Build()).Add("BODY", body).Build());
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->SubType, "LBM-24 Type ILBM.1");
  EXPECT_EQ(id->Colors, 280);
  EXPECT_EQ(id->GrayFlag, 0);
  EXPECT_EQ(Rgb(*id, 0, 0), (tBytes{0x56, 0x34, 0x12}));
  EXPECT_EQ(Rgb(*id, 1, 0), (tBytes{0xEF, 0xCD, 0xAB}));
}

TEST(LbmTest, ExtraHalfBrite) {
  auto id = DecodeRow({8, 40}, 6, Cmap(32), 0x80);
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(Rgb(*id, 0, 0), (tBytes{64, 65, 66}));
  EXPECT_EQ(Rgb(*id, 1, 0), (tBytes{32, 32, 33}));
}

TEST(LbmTest, WithoutColourMapTheLevelsAreGrey) {
  auto id = DecodeRow({0, 1, 2, 3}, 2, {});
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->GrayFlag, 1);
  EXPECT_EQ(id->HasPalette, 0);
  EXPECT_EQ(Rgb(*id, 1, 0), (tBytes{127, 127, 127}));
  EXPECT_EQ(Rgb(*id, 3, 0), (tBytes{255, 255, 255}));
}

TEST(LbmTest, AnnotationsAreRemarks) {
  tBmhd h;
  auto id = Decode(tIff()
                       .Add("ANNO", {'m', 'a', 'd', 'e', 0})
                       .Add("BMHD", h.Build())
                       .Add("ANNO", {'b', 'y', ' ', 'h', 'a', 'n', 'd'})
                       .Add("BODY", tBytes(8, 0))
                       .Build());
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->Info[1], "rmade");
  EXPECT_EQ(id->Info[2], "rby hand");
}

// The picture is the page; the image stands at its x, y on it, and what falls off is dropped.
TEST(LbmTest, ImagePlacedOnThePage) {
  struct Case {
    int x, y;
    std::vector<int> row0, row1, row2;  // picture rows as indices of image columns, -1 blank
    std::string info;
  };
  auto span = [](int from, int to, int blankBefore, int total) {
    std::vector<int> v(total, -1);
    for (int i = from; i < to; ++i) v[blankBefore + i - from] = i;
    return v;
  };
  const std::vector<int> blank(24, -1);
  const Case cases[] = {
      {4, 1, blank, span(0, 16, 4, 24), span(0, 16, 4, 24), "b16x2 image at 4,1"},
      {-8, 0, span(8, 16, 0, 24), span(8, 16, 0, 24), blank, "b16x2 image at -8,0"},
      {16, -1, span(0, 8, 16, 24), blank, blank, "b16x2 image at 16,-1"},
      {0, 2, blank, blank, span(0, 16, 0, 24), "b16x2 image at 0,2"},
  };
  // Image pixel x has value x % 4 + 1 in row 0 and x % 4 + 5 in row 1.
  std::vector<uint32_t> row0, row1;
  for (uint32_t x = 0; x < 16; ++x) row0.push_back(x % 4 + 1), row1.push_back(x % 4 + 5);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.info);
    tBmhd h;
    h.planes = 4;
    h.x = c.x, h.y = c.y, h.pageWidth = 24, h.pageHeight = 3;
    auto id = Decode(tIff()
                         .Add("BMHD", h.Build())
                         .Add("CMAP", Cmap(16))
                         .Add("BODY", Planar({row0, row1}, 16, 4))
                         .Build());
    ASSERT_NE(id, nullptr);
    EXPECT_EQ(id->Width, 24);
    EXPECT_EQ(id->Height, 3);
    EXPECT_EQ(id->ErrorCode, 0);
    EXPECT_EQ(id->Info[2], c.info);
    const std::vector<int>* want[] = {&c.row0, &c.row1, &c.row2};
    for (int y = 0; y < 3; ++y) {
      const int imageRow = y - c.y;
      tBytes expect;
      for (int i : *want[y])
        expect.push_back(i < 0 ? 0 : static_cast<uint8_t>(imageRow == 0 ? row0[i] : row1[i]));
      EXPECT_EQ(Indices(*id, y), expect) << "row " << y;
    }
  }
}

TEST(LbmTest, MaskPlaneIsSkipped) {
  tBmhd h;
  h.masking = 1;
  tBytes body = {0xA5, 0x0F, 0xFF, 0xFF, 0x3C, 0xC3, 0xFF, 0xFF};
  auto id = Decode(tIff().Add("BMHD", h.Build()).Add("BODY", body).Build());
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->ErrorCode, 0);
  EXPECT_EQ(id->Bitmap->ScanLine(0)[0], 0xA5);
  EXPECT_EQ(id->Bitmap->ScanLine(0)[1], 0x0F);
  EXPECT_EQ(id->Bitmap->ScanLine(1)[0], 0x3C);
  EXPECT_EQ(id->Bitmap->ScanLine(1)[1], 0xC3);
}

// A colour map longer than 256 entries is read that far; the chunks after it still count.
TEST(LbmTest, LongColourMapIsCapped) {
  tBmhd h;
  h.width = 2;
  h.height = 1;
  h.planes = 8;
  tBytes cmap(900, 0x77);
  cmap[765] = 1, cmap[766] = 2, cmap[767] = 3;
  auto id = Decode(tIff()
                       .Add("BMHD", h.Build())
                       .Add("CMAP", cmap)
                       .Add("ANNO", {'o', 'k'})
                       .Add("BODY", Planar({{255, 0}}, 2, 8))
                       .Build());
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(Rgb(*id, 0, 0), (tBytes{1, 2, 3}));
  EXPECT_EQ(id->Info[1], "rok");
}

TEST(LbmTest, PlaneCounts) {
  struct Case {
    std::string type;
    int planes;
    bool taken;
  } cases[] = {{"ILBM", 0, false},  {"ILBM", 1, true},   {"ILBM", 24, true}, {"ILBM", 25, false},
               {"ILBM", 32, false}, {"ILBM", 33, false}, {"PBM ", 8, true},  {"PBM ", 9, false}};
  for (const Case& c : cases) {
    tIff iff;
    iff.type = c.type;
    tBmhd h;
    h.planes = c.planes;
    auto id = Decode(iff.Add("BMHD", h.Build()).Add("BODY", tBytes(200, 0x55)).Build());
    EXPECT_EQ(id != nullptr, c.taken) << c.type << " " << c.planes;
  }
}

TEST(LbmTest, NotIlbm) {
  tBmhd h;
  tIff good;
  good.Add("BMHD", h.Build()).Add("BODY", tBytes(4, 0));
  ASSERT_NE(Decode(good.Build()), nullptr);
  tIff longForm = good;
  longForm.formSize = 100;
  tIff anim = good;
  anim.type = "ANIM";
  tIff late;  // the bitmap header starts past the first buffer's 4089 bytes
  late.Add("TEXT", tBytes(4070, 'x')).Add("BMHD", h.Build()).Add("BODY", tBytes(4, 0));
  tIff early = late;  // ... and just before
  early.chunks[0].second.resize(4068);
  ASSERT_NE(Decode(early.Build()), nullptr);
  for (const tIff* iff : {&longForm, &anim, &late}) EXPECT_EQ(Decode(iff->Build()), nullptr);
}

TEST(LbmTest, Aspect) {
  struct Case {
    int width, height;
    int aspectX, aspectY;
  } cases[] = {{320, 400, 3, 5}, {320, 256, 3, 5}, {320, 200, 0, 0}, {640, 400, 0, 0}};
  for (const Case& c : cases) {
    tBmhd h;
    h.width = c.width, h.height = c.height;
    tBytes file = tIff().Add("BMHD", h.Build()).Add("BODY", {}).Build();
    tBuffStream stream("a.iff", std::make_unique<TMemoryStream>(file), false);
    tGraphicID id(&stream);
    IdentifyLBM(id);
    ASSERT_EQ(id.FormatId, fmtLBM);
    EXPECT_EQ(id.AspectX, c.aspectX) << c.width << "x" << c.height;
    EXPECT_EQ(id.AspectY, c.aspectY);
    id.FormatId = fmtNone;  // the stream is this test's
  }
}

TEST(LbmTest, Errors) {
  tBmhd h;
  h.height = 3;
  tBmhd packed = h;
  packed.compression = 2;
  struct Case {
    const char* what;
    tIff iff;
    size_t cut;  // bytes cut off the end of the file
    int error, rowsDone;
  } cases[] = {
      {"body cut short", tIff().Add("BMHD", h.Build()).Add("BODY", tBytes(6, 0xFF)), 3, 3, 1},
      {"body used up early", tIff().Add("BMHD", h.Build()).Add("BODY", tBytes(4, 0xFF)), 0, 0, 2},
      {"no body", tIff().Add("BMHD", h.Build()), 0, 3, 0},
      {"unknown compression", tIff().Add("BMHD", packed.Build()).Add("BODY", tBytes(6, 0xFF)), 0, 9,
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    tBytes file = c.iff.Build();
    file.resize(file.size() - c.cut);
    tBytes size;
    PutBE32(size, static_cast<uint32_t>(file.size() - 8));
    std::copy(size.begin(), size.end(), file.begin() + 4);
    auto id = Decode(file);
    ASSERT_NE(id, nullptr);
    EXPECT_EQ(id->ErrorCode, c.error);
    EXPECT_EQ(id->RowsDone, c.rowsDone);
    for (int y = 0; y < 3; ++y) EXPECT_EQ(id->Bitmap->ScanLine(y)[0], y < c.rowsDone ? 0xFF : 0);
    if (c.error) {
      EXPECT_EQ(id->Info.back().rfind("k" + ErrorName(c.error) + " at ", 0), 0u);
    }
  }
}

// The checks below compare with Debian's netpbm and ffmpeg on files they make or read.

// n distinct colours spread over the picture.
RgbImage Colours(int width, int height, int n) {
  RgbImage im;
  im.width = width, im.height = height;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int i = (x + y * width + y / 3) % n;
      for (int v : {i * 53 % 256, (i * 101 + 7) % 256, (i * 29 + 90) % 256})
        im.samples.push_back(static_cast<uint16_t>(v));
    }
  return im;
}

// Smooth colour ramps, the kind of picture HAM is made for.
RgbImage Ramps(int width, int height) {
  RgbImage im;
  im.width = width, im.height = height;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      for (int v :
           {x * 255 / (width - 1), y * 255 / (height - 1), (x + y) * 127 / (width + height)})
        im.samples.push_back(static_cast<uint16_t>(v));
  return im;
}

struct ToolCase {
  const char* what;
  int colours;  // 0: ramps
  int width;
  const char* options;
  int bits;       // our BitsPerPixel
  int tolerance;  // HAM: we scale 4-bit values by 16 and 6-bit ones by 4, netpbm to 255
};
const ToolCase kToolCases[] = {
    {"1 plane", 2, 40, "", 1, 0},
    {"2 planes", 4, 40, "", 2, 0},
    {"3 planes", 8, 40, "", 3, 0},
    {"4 planes", 16, 40, "", 4, 0},
    {"5 planes", 32, 40, "", 5, 0},
    {"6 planes", 64, 40, "-maxplanes 8", 6, 0},
    {"7 planes", 128, 40, "-maxplanes 8", 7, 0},
    {"8 planes", 256, 40, "-maxplanes 8", 8, 0},
    {"8 planes uncompressed", 256, 40, "-maxplanes 8 -nocompress", 8, 0},
    {"3 planes uncompressed", 8, 40, "-nocompress", 3, 0},
    {"6 planes of 4 colours", 4, 40, "-fixplanes 6", 6, 0},
    {"odd width", 16, 37, "", 4, 0},
    {"HAM6", 0, 64, "-ham6", 12, 15},
    {"HAM8", 0, 64, "-ham8", 18, 3},
    {"HAM6 uncompressed", 0, 50, "-ham6 -nocompress", 12, 15},
    {"24 planes", 0, 64, "-24force", 24, 0},
    {"24 planes uncompressed", 0, 30, "-24force -nocompress", 24, 0},
    {"mask plane", 16, 40, "-maskfile MASK", 4, 0},
    {"mask plane 24 planes", 0, 40, "-24force -maskfile MASK", 24, 0},
};

TEST(LbmToolTest, NetpbmFilesMatchIlbmtoppmAndFfmpeg) {
  if (!testsupport::HaveTools()) GTEST_SKIP() << "reference decoders not available";
  auto dir = testsupport::ScratchDir("lbm_tools");
  const int height = 23;
  for (const ToolCase& c : kToolCases) {
    SCOPED_TRACE(c.what);
    RgbImage source = c.colours ? Colours(c.width, height, c.colours) : Ramps(c.width, height);
    testsupport::WriteFile(dir / "in.ppm", readertest::Ppm(source));
    const std::string mask = (dir / "mask.pbm").string();
    ASSERT_EQ(testsupport::Run("pbmmake -g " + std::to_string(c.width) + " " +
                               std::to_string(height) + " > '" + mask + "'"),
              0);
    std::string options = c.options;
    if (auto at = options.find("MASK"); at != std::string::npos)
      options.replace(at, 4, "'" + mask + "'");
    const auto file = dir / "out.lbm";
    ASSERT_EQ(testsupport::Run("ppmtoilbm " + options + " '" + (dir / "in.ppm").string() + "' > '" +
                               file.string() + "' 2>/dev/null"),
              0);
    auto ours = testsupport::DecodeOurs(file);
    ASSERT_TRUE(ours.identified);
    EXPECT_EQ(ours.errorCode, 0);
    const int width = c.width + (c.width & 1);
    ASSERT_EQ(ours.image.width, width);
    RgbImage ilbm, ffmpeg;
    ASSERT_TRUE(
        testsupport::DecodeReference(testsupport::tReference::Netpbm, file, ilbm, "ilbmtoppm"));
    // ffmpeg reads no deep picture with a mask plane.
    const bool haveFfmpeg = c.bits != 24 || !std::strstr(c.options, "MASK");
    ASSERT_TRUE(readertest::DecodeFfmpeg(file, "", ffmpeg) || !haveFfmpeg);
    // An odd width is widened by the padding column; the rest is the picture.
    const RgbImage visible = readertest::CropColumns(ours.image, c.width);
    EXPECT_EQ(testsupport::ComparePixels(visible, ilbm, c.tolerance), "");
    if (haveFfmpeg) {
      EXPECT_EQ(testsupport::ComparePixels(visible, ffmpeg, c.tolerance), "");
    }
    if (c.tolerance == 0 && c.colours) {
      EXPECT_EQ(testsupport::ComparePixels(visible, source), "");
    }
    auto id = readertest::Identify(testsupport::ReadFile(file));
    ASSERT_NE(id, nullptr);
    EXPECT_EQ(id->BitsPerPixel, c.bits);
  }
}

// Files netpbm does not write, or reads otherwise: extra half-brite with a full 64-entry map
// (the hardware halves entries 0 to 31 whatever the map holds, as ffmpeg does; ilbmtoppm takes
// the map) and a chunky PBM of odd width (ilbmtoppm misses the row padding).
TEST(LbmToolTest, HandMadeFilesMatchFfmpeg) {
  if (!testsupport::HaveTools()) GTEST_SKIP() << "reference decoders not available";
  auto dir = testsupport::ScratchDir("lbm_ffmpeg");
  std::vector<uint32_t> row0, row1;
  for (uint32_t x = 0; x < 16; ++x) row0.push_back(x * 4 % 64), row1.push_back(63 - x);
  tBmhd ehb;
  ehb.planes = 6;
  tIff pbm;
  pbm.type = "PBM ";
  tBmhd chunky;
  chunky.width = 5;
  chunky.planes = 8;
  tBytes pixels;
  for (int i = 0; i < 12; ++i) pixels.push_back(static_cast<uint8_t>(i * 7 % 200));
  tBmhd masked;
  masked.planes = 3, masked.masking = 1, masked.width = 10, masked.height = 1;
  tBytes maskedBody = Planar({{1, 2, 3, 4, 5, 6, 7, 0, 1, 2}}, 10, 3);
  maskedBody.insert(maskedBody.end(), {0xFF, 0xC0});
  const std::pair<const char*, tBytes> files[] = {
      {"ehb32", tIff()
                    .Add("BMHD", ehb.Build())
                    .Add("CAMG", Camg(0x80))
                    .Add("CMAP", Cmap(32))
                    .Add("BODY", Planar({row0, row1}, 16, 6))
                    .Build()},
      {"ehb64", tIff()
                    .Add("BMHD", ehb.Build())
                    .Add("CAMG", Camg(0x80))
                    .Add("CMAP", Cmap(64))
                    .Add("BODY", Planar({row0, row1}, 16, 6))
                    .Build()},
      {"pbm", pbm.Add("BMHD", chunky.Build()).Add("CMAP", Cmap(200)).Add("BODY", pixels).Build()},
      {"mask",
       tIff().Add("BMHD", masked.Build()).Add("CMAP", Cmap(8)).Add("BODY", maskedBody).Build()},
  };
  for (const auto& [name, bytes] : files) {
    SCOPED_TRACE(name);
    auto file = dir / (std::string(name) + ".iff");
    testsupport::WriteFile(file, bytes);
    auto ours = testsupport::DecodeOurs(file);
    ASSERT_TRUE(ours.identified);
    EXPECT_EQ(ours.errorCode, 0);
    RgbImage ffmpeg;
    ASSERT_TRUE(readertest::DecodeFfmpeg(file, "", ffmpeg));
    EXPECT_EQ(testsupport::ComparePixels(readertest::CropColumns(ours.image, ffmpeg.width), ffmpeg),
              "");
  }
}

}  // namespace
