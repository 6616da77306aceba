// Saving a decoded picture: the picture window's adjustments, clipping, trimming, resizing,
// special effects and colour reduction applied in a fixed order to working copies (the decoded
// picture itself is never touched), then one of the seven writers. The new file is written
// beside its target and renamed over it only when it is complete, so a failed save never
// damages an earlier file; failures come back as text for the caller to show.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "foundation/uBuffStream.h"
#include "foundation/uTypes.h"
#include "imaging/Quantize.h"
#include "imaging/uGraphic.h"
#include "imaging/uMemBmp.h"
#include "viewers/picture/uSaveOptions.h"

// The picture window's adjustment values, as the adjustment tool left them.
struct tSaveAdjustments {
  uint8_t Adjusted = 0;
  const uint8_t* ColorTables = nullptr;  // 256 triples (red, green, blue); used when Adjusted
  int32_t Rotation = 0;                  // quarter turns clockwise, 0..3
  uint8_t Mirror = 0;
  uint8_t Negate = 0;
  int32_t Sharpen = 0;
};

// Whole picture or the clipped part.
enum : int { scWhole = 1, scClip = 2 };

// Which colour rule the save applied (first match wins).
enum tColorRule : int {
  crEmboss,
  crImprint,
  crPlusLime,
  crGrey,            // reduced to grey levels
  crGreyKept,        // a grey source already at the wanted levels
  crCompact,         // only the used palette entries
  crFits,            // the picture has no more colours than asked
  crThreshold,       // black and white, nearest
  crBlackWhite,      // black and white, dithered
  crOptimal,         // optimal palette, dithered
  crVga16,           // the 16 Windows colours, nearest
  crDither16,        // the 16 standard colours, our error diffusion
  crThumbPalette,    // the thumbnail palette
  crBrowserPalette,  // the colour cube of the browser palette
  crReduce256,       // optimal 256 colours without dithering
  crDirect,          // a direct-colour code: the writer gets the depth
};

// The output file extension of a format (0..6), "" for others.
std::string SaveExtension(int format);
// The bit depth handed to the writers: 15, 16 or 24 for the direct-colour codes, else the
// fewest bits that hold the colours.
int SaveBitDepth(int colors);

// Steps of the pipeline, each returning a new picture or null when the step leaves the
// picture as it is.
tMemBmpPtr ApplySaveColorRule(tMemBmp& picture, TSaveOptions& options, tColorRule& rule);

struct tSaveResult {
  bool Ok = false;
  std::string FileName;  // the file written (or the one that failed)
  std::string Error;     // why it failed, for the user
  tColorRule Rule = crFits;
  int BitDepth = 0;
  int Width = 0, Height = 0;  // of the picture handed to the writer
  bool Wallpaper = false;     // the file is meant as the desktop wallpaper
};

// Creates the stream a save writes into; tests put a failing device in its place.
using tSaveStreamFactory = std::function<std::unique_ptr<TStream>(const std::string& name)>;
void SetSaveStreamFactory(tSaveStreamFactory factory);  // empty: real files

// The desktop wallpaper setter of the running system (the programs install it); false when the
// system refuses. Without one, wallpaper saves only write the file.
using tWallpaperSetter = std::function<bool(const std::string& bmpFile)>;
void SetWallpaperSetter(tWallpaperSetter setter);

// The whole pipeline. fileName may be empty: then a free name beside the decoded file, with
// the format's extension. choice scClip crops to clip (inclusive, display coordinates).
tSaveResult SavePicture(tGraphicID& decoder, const std::string& fileName, TSaveOptions options,
                        const tSaveAdjustments& adjust, int choice, const TRect& clip);
tSaveResult SaveConvertedPicture(tGraphicID& decoder, const TSaveOptions& options,
                                 const tSaveAdjustments& adjust, int choice, const TRect& clip);
// A gallery JPEG of the given size and quality: colour, no adjustments, the whole picture.
tSaveResult SaveGalleryJpeg(tGraphicID& decoder, int width, int height, const std::string& fileName,
                            int quality);
// Writes the picture with the format's writer into a new file beside name and renames it over
// name when complete; on any failure the partial file goes and an earlier file stays.
tSaveResult WritePictureFile(tMemBmp& picture, const std::string& name, const TSaveOptions& options,
                             const std::string& remarks);
