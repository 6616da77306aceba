// A decoded picture made ready for a slide show's screen: corrected for its pixel aspect,
// fitted to the screen as the layout asks, and reduced for screens of 16 or 256 colours.
#pragma once
#include "imaging/Quantize.h"
#include "imaging/uMemBmp.h"
#include "thumbnails/uShowLayout.h"

struct tShowPictureSource {
  tMemBmp* Picture = nullptr;
  int AspectX = 0, AspectY = 0;            // the decoder's aspect factors
  int DisplayWidth = 0, DisplayHeight = 0;  // the size that corrects them
};

// The picture to show; null when the decoder's own picture is shown as it is. Every
// intermediate picture is freed on the way.
tMemBmpPtr PrepareShowPicture(const tShowPictureSource& source, const tShowLayout& layout,
                              int screenBits, bool highQuality);
