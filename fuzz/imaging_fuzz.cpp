// Feeds arbitrary bytes to the format registry the way a picture window does: identify, decode
// the first image, then ask for the next until the handler is done; then reads every row back
// through the picture's conversions and writes it with the BMP writer. Pictures are capped at
// 4 MB so hostile sizes end in "Insufficient Memory" instead of exhausting the fuzzer.
#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/uBuffStream.h"
#include "imaging/formats/gBMP.h"
#include "imaging/uGraphic.h"
#include "imaging/uMemBmp.h"

namespace {

constexpr size_t kMaxInput = 1 << 20;
constexpr size_t kMaxPicture = 4 << 20;
constexpr int kMaxImages = 64;
constexpr int64_t kMaxRowCheckPixels = 1 << 20;

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
  }
  return 0;
}
