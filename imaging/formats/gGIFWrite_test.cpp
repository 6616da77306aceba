#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imaging/PictureTestUtil.h"
#include "imaging/formats/gGIF.h"
#include "imaging/formats/gGIF_testkit.h"
#include "tests/DiffDecode.h"
#include "tests/TestSupport.h"

namespace {

using testsupport::RgbImage;

std::vector<uint8_t> Write(tMemBmp& picture, const std::string& comment = "", int transparent = -1,
                           int background = 0, bool interlaced = false) {
  tBuffStream out("out.gif", std::make_unique<TMemoryStream>(), true);
  WriteGIF(picture, out, comment, transparent, background, interlaced);
  out.Flush();
  auto* memory = static_cast<TMemoryStream*>(out.Stream.get());
  return memory->Data();
}

// A palette picture of the given colour count (2..256) with varied pixels.
std::unique_ptr<tMemBmp> Picture(int width, int height, int colors) {
  auto pic = std::make_unique<tMemBmp>();
  tQuadPalette quads{};
  for (int i = 0; i < colors; ++i) {
    quads[i * 4] = static_cast<uint8_t>(i * 73);
    quads[i * 4 + 1] = static_cast<uint8_t>(255 - i * 11);
    quads[i * 4 + 2] = static_cast<uint8_t>(i * 37);
  }
  pic->Allocate(width, height, false, quads.data(), colors, BitsForColors(colors));
  std::vector<uint8_t> row(size_t(width) + 8);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x)
      row[x] = static_cast<uint8_t>((x * 7 + y * 3 + x * y / 5) % colors);
    if (pic->BitCount() == 8) {
      std::copy(row.begin(), row.begin() + width, pic->ScanLine(y));
    } else {
      pic->SetByteLine(y, row.data());
    }
  }
  return pic;
}

// The LZW codes of the first image's data, with the width each was read at.
struct tCode {
  int code, width;
};
std::vector<tCode> ImageCodes(const std::vector<uint8_t>& gif) {
  size_t at = 13 + ((gif[10] & 0x80) ? 3u << ((gif[10] & 7) + 1) : 0);
  while (gif[at] == '!') {  // extensions
    at += 2;
    while (gif[at]) at += gif[at] + 1;
    ++at;
  }
  at += 10;  // image descriptor (no local table)
  const int minSize = gif[at++];
  std::vector<uint8_t> data;
  while (gif[at]) {
    data.insert(data.end(), gif.begin() + at + 1, gif.begin() + at + 1 + gif[at]);
    at += gif[at] + 1;
  }
  const int clear = 1 << minSize;
  int width = minSize + 1, nextFree = clear + 2;
  bool first = true;
  std::vector<tCode> codes;
  size_t bit = 0;
  while (bit + width <= data.size() * 8) {
    int code = 0;
    for (int i = 0; i < width; ++i, ++bit) code |= ((data[bit / 8] >> (bit % 8)) & 1) << i;
    codes.push_back({code, width});
    if (code == clear + 1) break;
    if (code == clear) {
      width = minSize + 1, nextFree = clear + 2, first = true;
    } else {
      if (!first && nextFree < 4096 && ++nextFree >= (1 << width) && width < 12) ++width;
      first = false;
    }
  }
  return codes;
}

TEST(GifWriteTest, Layout) {
  auto two = Picture(5, 3, 2);
  std::vector<uint8_t> v = Write(*two, "", 1, 9);
  ASSERT_GE(v.size(), 13u + 6u);
  EXPECT_EQ(std::string(v.begin(), v.begin() + 6), "GIF89a");
  EXPECT_EQ(v[6], 5);
  EXPECT_EQ(v[8], 3);
  EXPECT_EQ(v[10], 0xF0);  // global table of 2 entries, colour resolution 8 bits
  EXPECT_EQ(v[11], 1);     // background 9 limited to n - 1
  const size_t gce = 13 + 6;
  EXPECT_EQ(std::vector<uint8_t>(v.begin() + gce, v.begin() + gce + 8),
            (std::vector<uint8_t>{0x21, 0xF9, 4, 1, 0, 0, 1, 0}));
  EXPECT_EQ(v[gce + 8], 0x2C);
  EXPECT_EQ(v[gce + 17], 0x00);  // no local table, not interlaced, size bits 0
  EXPECT_EQ(v[gce + 18], 2);     // minimum code size 2, not 1
  EXPECT_EQ(v.back(), ';');

  // Transparent indices outside the table, or -1, write no control block.
  for (int t : {2, 7, -1}) {
    std::vector<uint8_t> w = Write(*two, "", t);
    EXPECT_EQ(w[19], 0x2C) << t;
  }
  auto three = Picture(4, 4, 3);
  std::vector<uint8_t> w = Write(*three, "", 3, 0, true);
  EXPECT_EQ(w[10], 0xF1);               // 4 entries
  EXPECT_EQ(w[13 + 12], 0x21);          // index 3 < 4 is written
  EXPECT_EQ(w[13 + 12 + 8 + 9], 0x41);  // interlaced, size bits 1
}

TEST(GifWriteTest, CommentBlocks) {
  auto pic = Picture(3, 3, 4);
  EXPECT_EQ(Write(*pic, "")[13 + 12], 0x2C);
  std::string comment(600, 'c');
  comment[0] = 'A';
  std::vector<uint8_t> v = Write(*pic, comment);
  size_t at = 13 + 12;
  ASSERT_EQ(v[at], 0x21);
  ASSERT_EQ(v[at + 1], 0xFE);
  at += 2;
  std::vector<int> lengths;
  for (; v[at]; at += v[at] + 1) lengths.push_back(v[at]);
  EXPECT_EQ(lengths, (std::vector<int>{255, 255, 90}));
  auto d = giftest::DecodeAll(v);
  ASSERT_TRUE(d.Id);
  EXPECT_TRUE(giftest::HasLine(*d.Id, "r" + comment));
}

TEST(GifWriteTest, PixelOutsideTheTableRaises) {
  auto pic = Picture(4, 2, 5);
  pic->ScanLine(1)[2] = 7;
  try {
    Write(*pic);
    FAIL() << "no exception";
  } catch (const EGifError& e) {
    EXPECT_STREQ(e.what(), "pixel=7 (5)");
  }
}

TEST(GifWriteTest, FullTableIsClearedAfterOneMoreCode) {
  // Pixels that never repeat a pair (a de Bruijn sequence over 256 values) add one string per
  // pixel until the table is full.
  std::vector<uint8_t> pixels;
  for (int a = 0; a < 256 && pixels.size() < 5000; ++a) {
    pixels.push_back(static_cast<uint8_t>(a));
    for (int b = a + 1; b < 256; ++b) pixels.insert(pixels.end(), {uint8_t(a), uint8_t(b)});
  }
  const int width = 100, height = 50;
  auto pic = Picture(width, height, 256);
  for (int y = 0; y < height; ++y)
    std::copy(pixels.begin() + y * width, pixels.begin() + (y + 1) * width, pic->ScanLine(y));
  std::vector<uint8_t> v = Write(*pic);
  std::vector<tCode> codes = ImageCodes(v);
  // clear, 3838 codes that each add a string (258..4095), one more code at 12 bits, clear.
  ASSERT_GT(codes.size(), 3841u);
  EXPECT_EQ(codes[0].code, 256);
  for (size_t i = 1; i <= 3839; ++i) ASSERT_NE(codes[i].code, 256) << i;
  EXPECT_EQ(codes[3839].width, 12);
  EXPECT_EQ(codes[3840].code, 256);
  EXPECT_EQ(codes[3840].width, 12);
  EXPECT_EQ(codes[3841].width, 9);
  EXPECT_EQ(codes.back().code, 257);
  auto d = giftest::DecodeAll(v);
  ASSERT_EQ(d.Frames.size(), 1u);
  EXPECT_EQ(d.Id->ErrorCode, 0);
  EXPECT_EQ(d.Frames[0].Indices,
            std::vector<uint8_t>(pixels.begin(), pixels.begin() + width * height));
}

TEST(GifWriteTest, RoundTripThroughOurReader) {
  for (int colors : {2, 3, 16, 17, 200, 256})
    for (bool interlaced : {false, true}) {
      auto pic = Picture(37, 21, colors);
      auto d = giftest::DecodeAll(Write(*pic, "", -1, 0, interlaced));
      ASSERT_EQ(d.Frames.size(), 1u) << colors;
      EXPECT_EQ(d.Id->ErrorCode, 0);
      EXPECT_EQ(d.Id->WarningCode, 0);
      EXPECT_EQ(testsupport::ComparePixels(d.Frames[0].Image, testsupport::PictureToRgb(*pic)), "")
          << colors << (interlaced ? " interlaced" : "");
    }
}

// giftext accepts the file, and giftopnm and PIL decode it to the same pixels.
void ExpectIndependentDecodes(const std::filesystem::path& file, const RgbImage& want) {
  std::vector<uint8_t> text;
  EXPECT_EQ(testsupport::Run("giftext '" + file.string() + "'", &text), 0);
  EXPECT_NE(std::string(text.begin(), text.end()).find("GIF file terminated normally"),
            std::string::npos)
      << file;
  for (auto ref : {testsupport::tReference::Netpbm, testsupport::tReference::Pil}) {
    RgbImage got;
    ASSERT_TRUE(testsupport::DecodeReference(ref, file, got, "giftopnm")) << file;
    EXPECT_EQ(testsupport::ComparePixels(got, want), "") << file;
  }
}

TEST(GifWriteTest, WrittenFilesDecodeWithIndependentTools) {
  if (!testsupport::HaveTools()) GTEST_SKIP() << "reference tools not available";
  auto dir = testsupport::ScratchDir("gif_write");
  int n = 0;
  for (int colors : {2, 5, 16, 64, 256})
    for (bool interlaced : {false, true}) {
      auto pic = Picture(colors == 256 ? 640 : 83, colors == 256 ? 480 : 29, colors);
      auto file = dir / ("w" + std::to_string(n++) + ".gif");
      testsupport::WriteFile(file, Write(*pic, "a comment", colors - 1, 1, interlaced));
      ExpectIndependentDecodes(file, testsupport::PictureToRgb(*pic));
    }
  // Grey and 1-bit pictures.
  auto grey = pictest::Pattern(50, 40, 8);
  grey->SetPalette(GrayPalette(256).data());
  grey->GrayFlag = 1;
  auto file = dir / "grey.gif";
  testsupport::WriteFile(file, Write(*grey));
  ExpectIndependentDecodes(file, testsupport::PictureToRgb(*grey));
}

TEST(GifWriteTest, TrueColourIsReducedTo256Colours) {
  RgbImage photo;
  if (!testsupport::HaveTools() || !pictest::LoadPhoto(photo))
    GTEST_SKIP() << "reference tools not available";
  auto pic = pictest::FromRgbImage(photo);
  std::vector<uint8_t> v = Write(*pic, "", -1, 0, true);
  EXPECT_EQ(v[10], 0xF7);  // 256 entries
  auto d = giftest::DecodeAll(v);
  ASSERT_EQ(d.Frames.size(), 1u);
  EXPECT_LT(pictest::MeanError(*d.Id->Bitmap, photo), 8.0);
  auto file = testsupport::ScratchDir("gif_write_photo") / "photo.gif";
  testsupport::WriteFile(file, v);
  ExpectIndependentDecodes(file, d.Frames[0].Image);
}

}  // namespace
