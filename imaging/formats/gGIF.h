// GIF 87a and 89a: reader (every frame, one per LoadNextPicture, with disposal, transparency,
// local colour tables, plain text, comments and application blocks) and single-image writer.
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>

#include "foundation/uBuffStream.h"
#include "imaging/uGraphic.h"
#include "imaging/uMemBmp.h"

// GraphicOptions bits read only by the GIF reader.
constexpr uint16_t goNoGifDisposal = 8;       // "restore to background" is not done
constexpr uint16_t goNoGifTransparency = 16;  // transparent indices are drawn as colours

void IdentifyGIF(tGraphicID& id);
void LoadGIF(tGraphicID& id);
void NextGIF(tGraphicID& id);
void RegisterGIF();

// Raised by WriteGIF for a pixel outside the colour table ("pixel=%d (%d)").
class EGifError : public std::runtime_error {
 public:
  explicit EGifError(const std::string& message) : std::runtime_error(message) {}
};

// Writes the picture as a single-image GIF89a. Pictures of more than 256 colours are reduced to
// 256 first. transparentIndex -1 (or any index outside the table) writes no graphic control
// block; an empty comment writes no comment block.
void WriteGIF(tMemBmp& picture, tBuffStream& stream, const std::string& comment,
              int transparentIndex, int backgroundIndex, bool interlaced);
