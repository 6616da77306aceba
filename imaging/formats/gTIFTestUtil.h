// TIFF files made tag by tag for the tests: the recipe is the fixture.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "imaging/uGraphic.h"

namespace tifftest {

struct tTag {
  uint16_t Tag, Type;
  std::vector<uint32_t> Values;  // RATIONAL: numerator, denominator per value
  int64_t Count = -1;            // -1: as many as the values (half for RATIONAL)
};

struct tPage {
  std::vector<tTag> Tags;  // StripOffsets and StripByteCounts are added from Strips
  std::vector<std::vector<uint8_t>> Strips;
  bool ByteCounts = true;
};

// Pages one after another: each IFD, its out-of-line values, its strips. loopTo >= 0 makes the
// last IFD point back at that page instead of ending the chain.
std::vector<uint8_t> BuildTiff(const std::vector<tPage>& pages, bool motorola = false,
                               int loopTo = -1);

// Common tags of a page of width x height with the given bits per sample (one value per
// sample), photometric and compression.
tPage MakePage(int width, int height, std::vector<uint32_t> bits, int photometric,
               int compression = 1);

// Identifies and decodes bytes through the registry, counting the pauses between pages.
struct tDecoded {
  std::unique_ptr<tGraphicID> Id;
  int Pauses = 0;
  int Images = 0;
};
tDecoded DecodeBytes(const std::vector<uint8_t>& bytes, int maxImages = 100);

}  // namespace tifftest
