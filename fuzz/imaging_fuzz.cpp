// Feeds arbitrary bytes to the format registry the way a picture window does: identify, decode
// the first image, then ask for the next until the handler is done; then reads every row back
// through the picture's conversions and writes it with the BMP writer, and (small ones) with the
// PNG writer, whose file the PNG reader must take back without an error. Pictures are capped at
// 4 MB so hostile sizes end in "Insufficient Memory" instead of exhausting the fuzzer.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "foundation/uBuffStream.h"
#include "imaging/formats/gBMP.h"
#include "imaging/formats/gPNG.h"
#include "imaging/uGraphic.h"
#include "imaging/uMemBmp.h"

namespace {

constexpr size_t kMaxInput = 1 << 20;
constexpr size_t kMaxPicture = 4 << 20;
constexpr int kMaxImages = 64;
constexpr int64_t kMaxRowCheckPixels = 1 << 20;
constexpr int64_t kMaxPngPixels = 1 << 16;  // deflate at level 9 is slow

void ReadRows(tMemBmp& picture) {
  const int height = picture.Height();
  if (int64_t(picture.Width()) * height > kMaxRowCheckPixels) return;
  for (int y = 0; y < height; ++y) {
    picture.GetRGBLine(y);
    picture.GetGrayLine(y);
    picture.GetQuantizeLine(y);
    picture.GetByteLine(y);
    picture.GetLine16(y, 15);
    picture.GetLine16(y, 16);
  }
  uint8_t palette[768];
  picture.GetPalette(palette);
}

void WriteBack(tMemBmp& picture, uint8_t choice) {
  if (int64_t(picture.Width()) * picture.Height() > kMaxRowCheckPixels) return;
  static const int kBits[] = {1, 4, 8, 15, 16, 24, 32, 3};
  tBuffStream out("out.bmp", std::make_unique<TMemoryStream>(), true);
  WriteBMP(picture, out, choice & 0x10, choice & 0x20, kBits[choice & 7]);
}

void PngRoundTrip(tMemBmp& picture, uint8_t choice) {
  if (picture.Width() <= 0 || picture.Height() <= 0) return;
  if (int64_t(picture.Width()) * picture.Height() > kMaxPngPixels) return;
  const bool interlaced = choice & 0x80;
  auto* memory = new TMemoryStream();
  {
    tBuffStream out("out.png", std::unique_ptr<TStream>(memory), true);
    WritePNG(picture, out, "fuzz", choice & 0x40 ? "A comment" : "", interlaced, choice & 7,
             choice & 8 ? 45 : 0);
    out.Flush();
    if (out.AtEnd) abort();
    auto* reader = new tBuffStream("out.png", std::make_unique<TMemoryStream>(memory->Data()), false);
    tGraphicID id(reader);
    if (!id.IdentifyPicture()) abort();
    id.LoadPicture();
    // The reader refuses interlaced pictures below 8 x 8; everything else must come back whole.
    const bool small = picture.Width() < 8 || picture.Height() < 8;
    if (id.ErrorCode != 0 && !(interlaced && small && id.ErrorCode == errInvalidImage)) abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = [] {
    RegisterAllFormats();
    tMemBmp::MaxDataSize = kMaxPicture;
    GraphicOptions = goDisplayInterlace | goStandardAspect;
    return true;
  }();
  (void)ready;
  if (size > kMaxInput) return 0;
  std::vector<uint8_t> bytes(data, data + size);
  // Odd sizes use a name without the .bmp extension, so both sides of the size-field rule run.
  auto* stream = new tBuffStream(size & 1 ? "fuzz.dat" : "fuzz.bmp",
                                 std::make_unique<TMemoryStream>(std::move(bytes)), false);
  tGraphicID id(stream);
  if (!id.IdentifyPicture()) {
    delete stream;
    return 0;
  }
  id.LoadPicture();
  for (int i = 0; id.Stream && i < kMaxImages; ++i) id.LoadNextPicture();
  id.CloseStream();
  id.InfoHeadline();
  id.FormatRemarks("Comment", 0);
  if (id.Bitmap && id.Bitmap->HasLayout()) {
    ReadRows(*id.Bitmap);
    WriteBack(*id.Bitmap, size ? data[size - 1] : 0);
    PngRoundTrip(*id.Bitmap, size > 1 ? data[size - 2] : 0);
  }
  return 0;
}
