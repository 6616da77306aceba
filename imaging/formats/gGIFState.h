// What the GIF reader keeps between identification and the frames, and the pieces its two source
// files share: the block reader (gGIF.cpp) and the pixel side (gGIFPixels.cpp).
#pragma once
#include <cstdint>
#include <vector>

#include "foundation/uBuffStream.h"
#include "imaging/uGraphic.h"

struct tGifState : tCodecState {
  uint8_t Version = 0;  // 1 "87a", 2 "89a", 0 any other version text
  uint8_t Introducer = 0;
  uint8_t FaultByte = 0;  // the stream byte where a fault was found, for inspection
  char Signature[7] = {};
  uint8_t Screen[7] = {};
  uint8_t Descriptor[9] = {};

  // Where the rows of the current frame go.
  int Left = 0, Top = 0, FrameWidth = 0, FrameHeight = 0;
  int Pass = 3;  // 0..3; 4 = every row of the frame delivered
  int Row = 0;   // next row within the frame
  bool Interlaced = false;
  bool ImageDecoded = false;

  // Window-background mode: every colour table is merged into the picture's 256 entries.
  bool BackgroundMode = false;
  int EntriesUsed = 0;
  uint8_t GlobalMap[256] = {};
  uint8_t LocalMap[256] = {};
  // The map in force for the frame (a copy, so that one frame's transparency rule cannot
  // recolour later frames); none in plain mode.
  uint8_t FrameMap[256] = {};
  bool HasMap = false;

  uint8_t Disposal = 0;
  bool Transparent = false;
  uint8_t TransparentIndex = 0;
  uint8_t PlainTextHeader[12] = {};
  // A picture row of one byte per pixel for pictures of packed depths.
  std::vector<uint8_t> PackedRow;
  uint8_t ControlBlock[4] = {};
  uint8_t ShortControlBlock[3] = {};
};

// One byte of the stream; false at its end.
inline bool ReadByte(tBuffStream& s, uint8_t& value) {
  if (s.Index >= s.BytesValid && s.Available() == 0) return false;
  value = s.Buffer[s.Index++];
  return true;
}

// The interlace passes of the GIF standard; a sequential frame runs only pass 3 (start 0, step 1).
constexpr int kPassStart[4] = {0, 4, 2, 1};
constexpr int kPassStep[4] = {8, 8, 4, 2};

// Starts the row walk of a frame: interlaced frames at pass 0, sequential ones at pass 3.
void StartRows(tGraphicID& id, tGifState& st, bool interlaced);
// Puts one frame row of FrameWidth file indices (maps and transparency apply) and advances.
void PutFrameRow(tGraphicID& id, tGifState& st, const uint8_t* pixels);
// Reads the LZW data of an image (minimum code size and data sub-blocks) and puts its rows.
void DecodeImageData(tGraphicID& id, tGifState& st);
// Draws a plain-text block whose first text sub-block of length n is in data; reads the rest of
// the chain.
void DrawPlainText(tGraphicID& id, tGifState& st, const uint8_t* data, int n);
// Reads a data sub-block (length byte and data) into data[255]; -1 at the end of the stream
// (ErrorCode 3), else the length (0 ends a chain).
int ReadSubBlock(tGraphicID& id, uint8_t* data);
