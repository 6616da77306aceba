#include "imaging/formats/gRIP.h"

#include <vector>

#include "imaging/Palettes.h"
#include "imaging/formats/gByteRows.h"

namespace {

constexpr int kHeader = 4;

int PlaneBytes(int width) { return (width + 7) / 8; }

}  // namespace

void IdentifyRIP(tGraphicID& id) {
  tBuffStream& s = *id.Stream;
  s.Rewind();
  const uint8_t* b = s.BufferPtr();
  const int width = GetLE16(b) + 1, height = GetLE16(b + 2) + 1;
  if (!ValidPictureSize(width, height, 256)) return;
  // No signature: the data must fill the file exactly, give or take a byte or two.
  const int64_t data = int64_t(height) * PlaneBytes(width) * 4;
  const int64_t size = int64_t(s.Size) - s.Base;
  if (size < data + 5 || size > data + 6) return;
  id.FormatId = fmtRIP;
  id.Width = static_cast<uint16_t>(width);
  id.Height = static_cast<uint16_t>(height);
  id.BitsPerPixel = 4;
  id.Colors = 16;
  id.GrayFlag = 0;
  const tPalette16 ega = EgaPalette();
  std::copy(ega.begin(), ega.end(), id.Palette);
  id.HasPalette = 1;
  tRGBPalette rgb{};
  std::copy(ega.begin(), ega.end(), rgb.begin());
  const tQuadPalette quads = RGBToQuads(rgb);
  id.Bitmap = std::make_unique<tMemBmp>();
  id.Bitmap->Allocate(width, height, false, quads.data(), 16, 4);
}

void LoadRIP(tGraphicID& id) {
  tBuffStream& s = *id.Stream;
  tMemBmp& pic = *id.Bitmap;
  const int width = id.IdentWidth, height = id.IdentHeight, plane = PlaneBytes(width);
  s.Seek(kHeader);
  std::vector<uint8_t> planes(size_t(plane) * 4), row(size_t(plane) * 8);
  for (int y = 0; y < height; ++y) {
    s.Read(planes.data(), plane * 4);
    if (s.LastCount < plane * 4) {
      id.ErrorCode = errEndOfFile;
      break;
    }
    // The first plane row is the highest bit of the index.
    PlanarToChunky(planes.data(), row.data(), plane, -4);
    PutByteRow(pic, y, row.data());
    id.RowsDone = static_cast<uint16_t>(y + 1);
  }
  id.NotifyImageDone();
  id.FinishDecoding();
}

void RegisterRIP() { RegisterFormat(IdentifyRIP, LoadRIP, NoNextImage); }
