// Making, storing and reading stored thumbnails: the decoded picture shrunk into the database's
// square box, mapped onto the fixed thumbnail palette, LZW-coded into ".th1" with its record in
// ".th0".
#pragma once
#include <cstdint>
#include <string>

#include "imaging/Quantize.h"
#include "imaging/uGraphic.h"
#include "thumbnails/uThumbnails.h"

// The 8-bit thumbnail of a decoded picture for a box of the given side: the display aspect
// applied, fitted into the box (each side at least 1), mapped onto the thumbnail palette.
tMemBmpPtr MakeThumbnailPicture(tGraphicID& decoder, int box);

// What StoreThumbnail records about the file beside the picture. A negative value is looked
// up: the size from the decoder's stream or the file, the date from the file.
struct tThumbFileFacts {
  std::string Path;  // empty: the decoder's file name
  int64_t Size = -1;
  int64_t DosTime = -1;
};

// Appends a record for the decoder's picture; returns its number. The data is written first,
// then the record, then the header: a failed write leaves no record without its data.
uint32_t StoreThumbnail(tThumbnails& database, tGraphicID& decoder, char status, uint32_t volume,
                        std::string* caption, TThumbnailRecord* recordCopy,
                        tMemBmpPtr* display, const tThumbFileFacts& facts = {});

// Reads record n (into record when given); with picture, its thumbnail as an 8-bit picture of
// the fixed palette. False when there is no such record or it is empty.
bool ReadThumbnail(tThumbnails& database, uint32_t n, TThumbnailRecord* record,
                   tMemBmpPtr* picture, std::string* caption);

// "640 x 480 x 16M JPEG".
std::string ThumbnailCaption(const TThumbnailRecord& record);
