// PNG: reader (every colour type and depth, Adam7, text chunks as remarks) and writer (deflate
// at level 9, adaptive row filters, Adam7, gamma, comment and time chunks).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "foundation/uBuffStream.h"
#include "imaging/uGraphic.h"
#include "imaging/uMemBmp.h"

void IdentifyPNG(tGraphicID& id);
void LoadPNG(tGraphicID& id);
void RegisterPNG();

// CRC-32 of PNG chunks. crc is the value over the bytes before (0 to start); the result is the
// value over those and count more bytes, so calls chain over pieces.
uint32_t PngCrc(const uint8_t* data, uint32_t crc, size_t count);

// Walks every chunk from offset 8 and counts the IDAT chunks. Read mode (a reader stream):
// returns 0 when every CRC up to and including IEND matches, else the file offset just past
// the first chunk whose CRC, length or type is missing or wrong. Write mode (a writer stream
// over a readable stream, the file starting at offset 0): writes each chunk's CRC into its CRC
// field and returns 0 once IEND is done, else the offset where the chunks ended early.
int32_t PngCrcPass(tBuffStream& stream, bool writeMode, int& idatCount);

// Writes the picture as a PNG file. interlaced: Adam7 rows. filterOption 0..4 filters every
// row with that filter; 5 and above choose per row (see the writer). gamma: the gamma times 100
// for a gAMA chunk, 0 for none. Empty software or comment texts write no chunk for them.
// A picture without rows raises std::invalid_argument; write failures show in stream.AtEnd.
void WritePNG(tMemBmp& picture, tBuffStream& stream, const std::string& software,
              const std::string& comment, uint8_t interlaced, uint8_t filterOption, int32_t gamma);
