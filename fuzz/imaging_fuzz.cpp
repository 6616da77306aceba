// Feeds arbitrary bytes to the format registry the way a picture window does: identify, decode
// the first image, then ask for the next until the handler is done; then reads every row back
// through the picture's conversions and writes it with the TIFF writer and with the BMP, Targa
// or PCX writer (the last two must read back whole), runs the picture operations and colour
// reductions on it (small pictures only, with parameters taken from the input), and writes small
// ones with the PNG writer, whose file the PNG reader must take back without an error. Pictures
// are capped at 4 MB so hostile sizes end in "Insufficient Memory" instead of exhausting the fuzzer.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <new>
#include <stdexcept>
#include <vector>

#include "foundation/uBuffStream.h"
#include "imaging/Quantize.h"
#include "imaging/formats/gBMP.h"
#include "imaging/formats/gTIF.h"
#include "imaging/formats/gPCX.h"
#include "imaging/formats/gTGA.h"
#include "imaging/uGraphic.h"
#include "imaging/formats/gPNG.h"
#include "imaging/uImageOps.h"
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
  tBuffStream tif("out.tif", std::make_unique<TMemoryStream>(), true);
  WriteTIFF(picture, tif, choice & 0x80 ? "fuzz" : "", kBits[choice & 7], choice & 0x40,
            true, choice & 0x20);
  const int writer = choice >> 6;  // 1 Targa, 2 PCX, else BMP
  auto* memory = new TMemoryStream();
  {
    tBuffStream out("out", std::unique_ptr<TStream>(memory), true);
    if (writer == 1) {
      WriteTGA(picture, out, choice & 0x20, kBits[choice & 7], choice & 0x10);
    } else if (writer == 2) {
      WritePCX(picture, out);
    } else {
      try {
        WriteBMP(picture, out, choice & 0x10, choice & 0x20, kBits[choice & 7]);
      } catch (const std::invalid_argument&) {
        // A depth too small for the picture's colours is refused.
      }
      return;
    }
    out.Flush();
    // What the Targa and PCX writers store their readers take back whole, within the readers'
    // limits (PCX: at least 2 x 2, lines of at most 2048 bytes).
    const int width = picture.Width(), height = picture.Height();
    if (width > kMaxTrueColorSide || height > kMaxTrueColorSide) return;
    if (writer == 2 && (width < 2 || height < 2 || width > 2048)) return;
    auto* reader = new tBuffStream("out", std::make_unique<TMemoryStream>(memory->Data()), false);
    tGraphicID id(reader);
    if (!id.IdentifyPicture()) abort();
    id.LoadPicture();
    if (id.ErrorCode != 0) abort();
  }
}

constexpr int64_t kMaxPngPixels = 1 << 16;  // deflate at level 9 is slow
constexpr int64_t kMaxOperationPixels = 1 << 14;

// Each operation on the decoded picture, which must come out of all of them unchanged. Sizes
// and levels come from the input's last bytes; documented failures are caught.
void Operate(tMemBmp& picture, const uint8_t* data, size_t size) {
  if (int64_t(picture.Width()) * picture.Height() > kMaxOperationPixels) return;
  auto byte = [&](size_t i) -> int { return size > i ? data[size - 1 - i] : 0; };
  std::vector<uint8_t> before(picture.Image(), picture.Image() + picture.FileSize);
  uint8_t map[768];
  for (int i = 0; i < 768; ++i) map[i] = static_cast<uint8_t>(i / 3 ^ byte(1));
  const tRGBPalette browser = BrowserPalette();
  const std::vector<std::function<tMemBmpPtr()>> steps = {
      [&] { return ReduceOptimalDithered(picture, 8 + byte(2) % 249); },
      [&] { return ReduceOptimal(picture, byte(2)); },
      [&] { return ReduceOnePass(picture, 8 + byte(2) % 249); },
      [&] { return ReduceColors(picture, 1 + byte(3), &browser, byte(4) & 1 ? kDitherFS : 0); },
      [&] { return ReducePlusLime(picture); },
      [&] { return GrayPlusLime(picture); },
      [&] { return ReduceToGray(picture, byte(3)); },
      [&] { return ThresholdBlackWhite(picture); },
      [&] { return DitherTo16(picture); },
      [&] { return DitherToBlackWhite(picture); },
      [&] { return EmbossImage(picture); },
      [&] { return ImprintImage(picture); },
      [&] { return NegativeImage(picture); },
      [&] { return CompactPalette(picture); },
      [&] { return ConvertTo24Bit(picture); },
      [&] { return AddPaletteEntries(picture, byte(3) % 8); },
      [&] { return ApplyColorMap(picture, map); },
      [&] { return FilterImage(picture, byte(5) % 9 - 4); },
      [&] { return ResizeCanvasBottom(picture, byte(6), byte(7)); },
      [&] { return TileImage(picture, byte(6), byte(7)); },
      [&] { return ResizeImage(picture, 1 + byte(6), 1 + byte(7), byte(8) % 3 - 1); },
      [&] {
        return CropToRect(picture, {byte(6) - 8, byte(7) - 8, byte(8), byte(9)});
      },
      [&] { return AutoTrim(picture); },
      [&] { return MakeBlockMaskBottom(byte(6), byte(7), byte(8), byte(9)); },
      [&] {
        return ApplyImageTransforms(picture, byte(4) & 1 ? map : nullptr, byte(5) % 4, byte(5) & 4,
                                    byte(5) & 8, byte(5) % 9 - 4, byte(6) % 3);
      },
  };
  for (const auto& step : steps) {
    try {
      tMemBmpPtr out = step();
      if (out && int64_t(out->Width()) * out->Height() <= kMaxOperationPixels) ReadRows(*out);
    } catch (const JPEGerror&) {
    } catch (const std::invalid_argument&) {
    } catch (const std::bad_alloc&) {
    }
  }
  if (std::vector<uint8_t>(picture.Image(), picture.Image() + picture.FileSize) != before) {
    __builtin_trap();  // an operation changed its input
  }
}

void PngRoundTrip(tMemBmp& picture, uint8_t choice) {
  if (picture.Width() <= 0 || picture.Height() <= 0) return;
  if (int64_t(picture.Width()) * picture.Height() > kMaxPngPixels) return;
  // The reader's size limits are narrower than what the writer can store.
  if (picture.Width() > kMaxTrueColorSide || picture.Height() > kMaxTrueColorSide) return;
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
    if (id.ErrorCode != 0) abort();  // everything written must come back whole
  }
}

// A cut-out's palette comes from the ".pal" file beside it: one is written once, so cut-outs
// are identified and decoded.
std::string CutWithPalette() {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path dir = fs::temp_directory_path(ec) / "tavis_fuzz_imaging";
  fs::create_directories(dir, ec);
  std::vector<uint8_t> pal = {'A', 'H', 227, 0, 136, 0, 10,  0, 0,   0,
                              0,   0,   15,  0, 255, 0, 255, 0, 255, 0};
  pal.resize(40, 0);
  for (int i = 0; i < 16 * 3; ++i) pal.insert(pal.end(), {static_cast<uint8_t>(i * 5), 0});
  tBuffStream out("", CreateFileStream((dir / "fuzz.pal").string()), true);
  out.Write(pal.data(), static_cast<int32_t>(pal.size()));
  return (dir / "fuzz.cut").string();
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
  // Even sizes are named .bmp, odd ones not, so both sides of the BMP size-field rule run;
  // sizes of 4n + 1 are icons (read only under that name) and 4n + 3 cut-outs beside a palette.
  static const std::string kCutName = CutWithPalette();
  const std::string name = (size & 1) == 0 ? "fuzz.bmp" : (size & 3) == 1 ? "fuzz.ico" : kCutName;
  auto* stream = new tBuffStream(name, std::make_unique<TMemoryStream>(std::move(bytes)), false);
  tGraphicID id(stream);
  // Half the inputs are decoded with a window's background colour, as a picture window does
  // (the GIF reader then merges every colour table into the picture's).
  if (size >= 2 && (data[size - 2] & 1)) id.BackgroundColor = 0x00C0C0C0;
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
    Operate(*id.Bitmap, data, size);
    PngRoundTrip(*id.Bitmap, size > 1 ? data[size - 2] : 0);
  }
  return 0;
}
