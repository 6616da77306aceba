// Colour reduction: any picture to a palette picture, to an optimal or a given palette, to greys,
// to black and white, or to the two relief renderings. The optimal palette and the mapping with
// Floyd-Steinberg dithering are the JPEG library's colour quantizers run on our rows; black and
// white and the 16-colour reduction are our own error diffusion. Every routine returns a new
// picture and leaves its input as it was. Library errors raise JPEGerror.
#pragma once
#include <memory>

#include "imaging/Palettes.h"
#include "imaging/uJpegError.h"
#include "imaging/uMemBmp.h"

using tMemBmpPtr = std::unique_ptr<tMemBmp>;

// Dither modes of ReduceColors, as the JPEG library numbers them.
constexpr int kDitherNone = 0;
constexpr int kDitherFS = 2;

// An n-colour picture (BitsForColors (n) bits) mapped onto the first n entries of palette; its
// colour table is the palette. Without a palette the table, and so the map, is black.
tMemBmpPtr ReduceColors(tMemBmp& picture, int n, const tRGBPalette* palette, int dither);
tMemBmpPtr MapToPalette(tMemBmp& picture, int n, const tRGBPalette& palette);
tMemBmpPtr MapToPaletteDithered(tMemBmp& picture, int n, const tRGBPalette& palette);
// Optimal palette of n (8 to 256) colours by the two-pass quantizer, Floyd-Steinberg dithered.
tMemBmpPtr ReduceOptimalDithered(tMemBmp& picture, int n);
// A colour cube of about n colours by the one-pass quantizer, Floyd-Steinberg dithered.
tMemBmpPtr ReduceOnePass(tMemBmp& picture, int n);
// The optimal palette of n colours (n limited to 8..256) without dithering.
tMemBmpPtr ReduceOptimal(tMemBmp& picture, int n);
tMemBmpPtr ReduceTo256(tMemBmp& picture);
// 255 optimal colours plus lime (0, 255, 0) as entry 255.
tMemBmpPtr ReducePlusLime(tMemBmp& picture);
// 255 greys plus lime as entry 255, dithered.
tMemBmpPtr GrayPlusLime(tMemBmp& picture);
// n grey levels, dithered; fewer than 3 levels is ReduceToBlackWhite. Grey pictures are dithered
// on their grey levels, so that a level the new palette has stays as it is.
tMemBmpPtr ReduceToGray(tMemBmp& picture, int n);
tMemBmpPtr ReduceToBlackWhite(tMemBmp& picture);
// Black and white by the nearest of the two, without dithering.
tMemBmpPtr ThresholdBlackWhite(tMemBmp& picture);

// Our own error diffusion (serpentine Burkes) into the 16 EGA colours: 8 bits per pixel.
tMemBmpPtr DitherTo16(tMemBmp& picture);
// Our own error diffusion to black and white: 1 bit per pixel.
tMemBmpPtr DitherToBlackWhite(tMemBmp& picture);
// Relief renderings of a grey picture in three (emboss) or five (imprint) light greys: 8-bit
// greys. Callers reduce other pictures to 256 greys first.
tMemBmpPtr EmbossImage(tMemBmp& picture);
tMemBmpPtr ImprintImage(tMemBmp& picture);
// True colour: every byte inverted; grey pictures: inverted levels dithered back onto their
// grey palette; other palette pictures: the colour table inverted.
tMemBmpPtr NegativeImage(tMemBmp& picture);
