#include "viewers/picture/uSavePicture.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <new>
#include <utility>

#include "foundation/uFiles.h"
#include "foundation/uIdentity.h"
#include "foundation/uPlatform.h"
#include "imaging/Palettes.h"
#include "imaging/Quantize.h"
#include "imaging/formats/gBMP.h"
#include "imaging/formats/gGIF.h"
#include "imaging/formats/gJPG.h"
#include "imaging/formats/gPCX.h"
#include "imaging/formats/gPNG.h"
#include "imaging/formats/gTGA.h"
#include "imaging/formats/gTIF.h"
#include "imaging/uImageOps.h"

namespace {
tSaveStreamFactory& StreamFactory() {
  static tSaveStreamFactory factory;
  return factory;
}

tWallpaperSetter& WallpaperSetter() {
  static tWallpaperSetter setter;
  return setter;
}

// Forwards to the file and remembers any short write: the buffered stream's end flag tells
// only of its last block, and the TIFF writer goes back to patch offsets.
class tCheckedStream : public TStream {
 public:
  tCheckedStream(std::unique_ptr<TStream> inner, bool& failed)
      : inner_(std::move(inner)), failed_(failed) {}
  int32_t Read(void* buffer, int32_t count) override { return inner_->Read(buffer, count); }
  int32_t Write(const void* buffer, int32_t count) override {
    const int32_t n = inner_->Write(buffer, count);
    if (n != count) failed_ = true;
    return n;
  }
  int64_t Seek(int64_t offset, tSeekOrigin origin) override {
    const int64_t p = inner_->Seek(offset, origin);
    if (p < 0) failed_ = true;
    return p;
  }

 private:
  std::unique_ptr<TStream> inner_;
  bool& failed_;  // outlives the stream: the write is judged after the file is closed
};

// Replaces the working picture by a step's result; the decoder's own picture is never freed.
void Take(tMemBmpPtr& work, tMemBmp*& current, tMemBmpPtr next) {
  if (!next) return;
  work = std::move(next);
  current = work.get();
}

tRGBPalette PaletteFrom(const uint8_t* rgb, int entries) {
  tRGBPalette p{};
  std::memcpy(p.data(), rgb, size_t(entries) * 3);
  return p;
}

std::string TempNameBeside(const std::string& name) {
  // Same folder, so the rename never crosses a disk.
  for (int i = 0;; ++i) {
    std::string candidate = name + ".~" + std::to_string(i) + "~";
    if (Platform().ItemAttributes(candidate) == kNoFileAttributes) return candidate;
  }
}
}  // namespace

void SetSaveStreamFactory(tSaveStreamFactory factory) { StreamFactory() = std::move(factory); }

void SetWallpaperSetter(tWallpaperSetter setter) { WallpaperSetter() = std::move(setter); }

std::string SaveExtension(int format) {
  static const char* const kExt[] = {"gif", "pcx", "bmp", "tga", "tif", "jpg", "png"};
  return format >= 0 && format <= 6 ? kExt[format] : "";
}

int SaveBitDepth(int colors) { return colors > 256 ? colors - 256 : BitsForColors(colors); }

tMemBmpPtr ApplySaveColorRule(tMemBmp& picture, TSaveOptions& o, tColorRule& rule) {
  const int c = picture.ColorCount();
  int t = o.Colors;
  auto grey256 = [&](tMemBmpPtr& keep) -> tMemBmp& {
    if (picture.GrayFlag) return picture;
    keep = ReduceToGray(picture, 256);
    return *keep;
  };
  if (o.Emboss || o.Imprint) {
    rule = o.Emboss ? crEmboss : crImprint;
    tMemBmpPtr grey;
    tMemBmp& g = grey256(grey);
    return o.Emboss ? EmbossImage(g) : ImprintImage(g);
  }
  if (o.PlusLime) {
    rule = crPlusLime;
    o.Colors = 256;
    return o.Grayscale ? GrayPlusLime(picture) : ReducePlusLime(picture);
  }
  if (o.Grayscale && t > 2) {
    const int levels = std::min(256, t);
    if (o.SourceGrey && levels == c) {
      rule = crGreyKept;
      return nullptr;
    }
    rule = crGrey;
    return ReduceToGray(picture, levels);
  }
  if (c < 257 && o.Optimize) {
    rule = crCompact;
    return CompactPalette(picture);
  }
  if (c <= t) {
    rule = crFits;
    return nullptr;
  }
  switch (t) {
    case 2:
      // Any picture here has more than two colours.
      if (o.NoDither) {
        rule = crThreshold;
        return ThresholdBlackWhite(picture);
      }
      rule = crBlackWhite;
      return ReduceToBlackWhite(picture);
    case 8:
    case 32:
    case 64:
    case 128:
      rule = crOptimal;
      return ReduceOptimalDithered(picture, t);
    case 16:
      if (o.NoDither) {
        rule = crVga16;
        tPalette16 vga = VgaPalette();
        return MapToPalette(picture, 16, PaletteFrom(vga.data(), 16));
      }
      if (o.StandardPalette) {
        rule = crDither16;
        return DitherTo16(picture);
      }
      rule = crOptimal;
      return ReduceOptimalDithered(picture, 16);
    case 256: {
      if (o.ThumbnailPalette || o.StandardPalette) {
        rule = o.ThumbnailPalette ? crThumbPalette : crBrowserPalette;
        const tRGBPalette p = o.ThumbnailPalette ? ThumbnailPalette() : BrowserPalette();
        const int n = o.ThumbnailPalette ? 256 : 216;
        return o.NoDither ? MapToPalette(picture, n, p) : MapToPaletteDithered(picture, n, p);
      }
      if (o.NoDither) {
        rule = crReduce256;
        return ReduceTo256(picture);
      }
      rule = crOptimal;
      return ReduceOptimalDithered(picture, 256);
    }
    default:
      rule = crDirect;
      return nullptr;
  }
}

tSaveResult WritePictureFile(tMemBmp& picture, const std::string& name, const TSaveOptions& o,
                             const std::string& remarks) {
  tSaveResult r;
  r.FileName = name;
  r.BitDepth = SaveBitDepth(o.Colors);
  r.Width = picture.Width();
  r.Height = picture.Height();
  if (o.Format < sfGIF || o.Format > sfPNG) {
    r.Error = "Unknown picture format";
    return r;
  }
  const std::string temp = TempNameBeside(name);
  std::unique_ptr<TStream> file = StreamFactory() ? StreamFactory()(temp) : CreateFileStream(temp);
  if (!file) {
    r.Error = "Cannot create " + temp;
    return r;
  }
  bool failed = false;
  auto checked = std::make_unique<tCheckedStream>(std::move(file), failed);
  std::string failure;
  try {
    tBuffStream out(temp, std::move(checked), true);
    const int bits = r.BitDepth;
    switch (o.Format) {
      case sfGIF:
        WriteGIF(picture, out, remarks, o.Transparent, o.Background, o.Interlaced != 0);
        break;
      case sfPCX:
        WritePCX(picture, out);
        break;
      case sfBMP:
        WriteBMP(picture, out, o.BmpStyle == 2, o.BmpStyle == 1, bits);
        break;
      case sfTGA:
        WriteTGA(picture, out, o.Compressed != 0, bits, o.TopDown != 0);
        break;
      case sfTIF:
        WriteTIFF(picture, out, remarks, bits, o.CCITT != 0, true, o.Compressed != 0);
        break;
      case sfJPG:
        WriteJPEG(picture, out, remarks, o.JpegQuality & 0xFF, o.Interlaced != 0);
        break;
      case sfPNG:
        WritePNG(picture, out, ProgramNameAndVersion(), remarks, o.Interlaced, 5,
                 o.StorePngGamma ? o.PngGamma : 0);
        break;
    }
    out.Flush();
    if (out.AtEnd) failed = true;
    out.Stream.reset();  // closes the file before it is renamed
  } catch (const std::bad_alloc&) {
    failure = "Not enough memory to save the picture";
  } catch (const std::exception& e) {
    failure = e.what();
  }
  if (failure.empty() && failed) failure = "Disk full or write error";
  if (failure.empty() && !Platform().ReplaceFile(temp, name)) failure = "Cannot replace " + name;
  if (!failure.empty()) {
    Platform().RemoveFile(temp);
    r.Error = failure;
    return r;
  }
  r.Ok = true;
  return r;
}

tSaveResult SavePicture(tGraphicID& decoder, const std::string& fileName, TSaveOptions o,
                        const tSaveAdjustments& adjust, int choice, const TRect& clip) {
  tSaveResult r;
  if (!decoder.Bitmap || !decoder.Bitmap->HasLayout()) {
    r.Error = "No picture to save";
    return r;
  }
  tMemBmpPtr work;
  tMemBmp* current = decoder.Bitmap.get();
  tColorRule rule = crFits;
  try {
    // 1. Pixels that are not square: the picture at its display size.
    if (decoder.AspectX + decoder.AspectY > 2) {
      int w = decoder.DisplayWidth, h = decoder.DisplayHeight;
      if (adjust.Rotation == 1 || adjust.Rotation == 3) std::swap(w, h);
      Take(work, current, ResizeImage(*current, w, h, 0));
    }
    // 2. The adjustment tool's changes. Grey output is the colour step's.
    if (adjust.Adjusted || adjust.Mirror || adjust.Rotation != 0) {
      Take(work, current,
           ApplyImageTransforms(*current, adjust.Adjusted ? adjust.ColorTables : nullptr,
                                adjust.Rotation & 3, adjust.Mirror != 0, adjust.Negate != 0,
                                adjust.Sharpen, 0));
    }
    // 3. The clipped part.
    if (choice == scClip) Take(work, current, CropToRect(*current, clip));
    // 4. Trim; an untouched size follows the trim, a size the user chose stays.
    if (o.Trim) {
      const bool sizeUntouched = current->Width() == o.Width && current->Height() == o.Height;
      Take(work, current, AutoTrim(*current));
      if (sizeUntouched) {
        o.Width = current->Width();
        o.Height = current->Height();
      }
    }
    // 5. Size.
    if (o.Width > 0 && o.Height > 0 &&
        (current->Width() != o.Width || current->Height() != o.Height)) {
      const int mode = o.Smooth ? 1 : o.Rescale ? -1 : 0;
      Take(work, current, ResizeImage(*current, o.Width, o.Height, mode));
    }
    // 6. Colours.
    Take(work, current, ApplySaveColorRule(*current, o, rule));
  } catch (const std::bad_alloc&) {
    r.Error = "Not enough memory to save the picture";
    return r;
  } catch (const std::exception& e) {
    r.Error = e.what();
    return r;
  }
  // 7. The name.
  const bool wallpaper = o.Format == sfBMP && o.Wallpaper;
  std::string name;
  if (wallpaper) {
    std::string base = ExtractFileName(decoder.FileName);
    const std::string ext = ExtractFileExt(base);
    base = base.substr(0, base.size() - ext.size()) + ".bmp";
    name = AddBackslash(WindowsDirectory()) + base;
  } else if (!fileName.empty()) {
    name = fileName;
  } else {
    const std::string ext = ExtractFileExt(decoder.FileName);
    name = UniqueFileName(decoder.FileName.substr(0, decoder.FileName.size() - ext.size()) + "." +
                          SaveExtension(o.Format));
  }
  // 8. Write.
  const std::string remarks = decoder.FormatRemarks(ProgramNameAndVersion(), o.Format);
  r = WritePictureFile(*current, name, o, remarks);
  r.Rule = rule;
  r.Wallpaper = wallpaper;
  // 9. The desktop shows it.
  if (r.Ok && wallpaper && WallpaperSetter() && !WallpaperSetter()(name)) {
    r.Ok = false;
    r.Error = "The wallpaper could not be set";
  }
  return r;
}

tSaveResult SaveConvertedPicture(tGraphicID& decoder, const TSaveOptions& options,
                                 const tSaveAdjustments& adjust, int choice, const TRect& clip) {
  return SavePicture(decoder, "", options, adjust, choice, clip);
}

tSaveResult SaveGalleryJpeg(tGraphicID& decoder, int width, int height, const std::string& fileName,
                            int quality) {
  TSaveOptions o{};
  o = TSaveOptions{};
  o.Width = width;
  o.Height = height;
  o.Colors = 280;
  o.Format = sfJPG;
  o.JpegQuality = quality;
  o.Picture = &decoder;
  o.SourceGrey = o.Grayscale = decoder.GrayFlag;
  o.Compressed = 1;
  o.TopDown = 1;
  o.PngGamma = 0;
  o.BatchWidth = o.BatchHeight = 0;
  o.Transparent = 0;
  return SavePicture(decoder, fileName, o, tSaveAdjustments{}, scWhole, TRect{});
}
