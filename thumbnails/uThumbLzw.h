// The LZW coding of stored thumbnails: GIF's variable-width codes (9 to 12 bits, clear 256,
// end 257, least significant bit first) as one plain byte stream after a size byte of 8, with
// no block lengths. Both coders only Read and Write their streams, never seek, and work in
// small fixed buffers whatever the picture's size.
#pragma once
#include <cstdint>
#include <limits>

#include "foundation/uBuffStream.h"

void LzwEncodeThumbnail(TStream& source, TStream& destination);
// Decodes until the end code, a corrupt code or the end of the input; writes at most
// maxOutput bytes (a small damaged stream cannot make an unbounded picture). Returns the bytes
// written.
int64_t LzwDecodeThumbnail(TStream& source, TStream& destination,
                           int64_t maxOutput = std::numeric_limits<int64_t>::max());
