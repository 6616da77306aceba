// JPEG pictures through the JPEG library: the reader (baseline and progressive, grey and colour,
// comments as remarks, progressive display) and the writer (quality, simple progression, one
// comment).
#pragma once
#include <string>

#include "foundation/uBuffStream.h"
#include "imaging/uGraphic.h"
#include "imaging/uJpegError.h"
#include "imaging/uMemBmp.h"

// The DCT scaling a picture of that size is decoded at when at least minimumSide pixels must
// remain on each side: 8, 4, 2 (decode at 1/8, 1/4, 1/2) or 1 (full size, also for a
// minimumSide of 0). The library's fast reduced transforms are the powers of two.
int JpegScaleDenominator(int width, int height, int minimumSide);

void IdentifyJPG(tGraphicID& id);
void LoadJPG(tGraphicID& id);
void RegisterJPG();

// More scans than this end the decoding as a damaged file: a small hostile file could otherwise
// hold enough scans to keep the decoder busy for hours.
constexpr int kMaxJpegScans = 1000;

// Writes the picture as a JPEG file: grey pictures (grey flag, 8 bits or fewer) with one
// component, all others in colour; quality 1 to 100 (anything else writes nothing); the simple
// progression when progressive; a non-empty comment as COM markers. Library errors and short
// writes raise JPEGerror.
void WriteJPEG(tMemBmp& picture, tBuffStream& stream, const std::string& comment, int quality,
               bool progressive);
