#include "thumbnails/uShowPicture.h"

#include "imaging/uImageOps.h"

tMemBmpPtr PrepareShowPicture(const tShowPictureSource& source, const tShowLayout& layout,
                              int screenBits, bool highQuality) {
  if (!source.Picture || !source.Picture->HasLayout()) return nullptr;
  tMemBmpPtr work;
  auto current = [&]() -> tMemBmp& { return work ? *work : *source.Picture; };
  if (source.AspectX + source.AspectY > 2 && source.DisplayWidth > 0 && source.DisplayHeight > 0 &&
      (source.DisplayWidth != current().Width() || source.DisplayHeight != current().Height()))
    work = ResizeImage(current(), source.DisplayWidth, source.DisplayHeight, 0);
  int w = 0, h = 0;
  if (layout.FitPictureSize(current().Width(), current().Height(), w, h))
    work = ResizeImage(current(), w, h, highQuality ? 1 : 0);
  if (screenBits < 9 && screenBits < current().BitCount()) {
    if (screenBits == 4)
      work = DitherTo16(current());
    else if (screenBits == 8)
      work = ReduceOptimalDithered(current(), 256);
  }
  return work;
}
