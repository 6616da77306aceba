// GIF reader: identification, the block walk of each frame step, extensions, image descriptors
// and disposal. The pixels (LZW, rows, plain text) are in gGIFPixels.cpp.
#include "imaging/formats/gGIF.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "foundation/uFormat.h"
#include "foundation/uUtil.h"
#include "imaging/Palettes.h"
#include "imaging/formats/gGIFState.h"

namespace {

constexpr uint32_t kNoBackgroundColor = 0x20000000;

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// A window colour (0x00BBGGRR, or a system colour index with the top bit set) as red, green, blue.
std::array<uint8_t, 3> ColorToRGB(uint32_t color) {
  if ((color & 0xFF000000u) == 0x80000000u) return SysColorToRGB(static_cast<int>(color & 0xFF));
  return {static_cast<uint8_t>(color), static_cast<uint8_t>(color >> 8),
          static_cast<uint8_t>(color >> 16)};
}

std::string SignatureText(const tGifState& st) { return std::string(st.Signature, 6); }

void Dispose(tGraphicID& id, tGifState& st, int method) {
  tMemBmp& pic = *id.Bitmap;
  if (method == 2) {
    uint8_t index = st.BackgroundMode ? st.GlobalMap[id.BackgroundIndex] : id.BackgroundIndex;
    // Packed depths repeat the index in every pixel of the byte.
    int bits = pic.BitCount();
    uint8_t fill = bits == 1   ? (index & 1 ? 0xFF : 0x00)
                   : bits == 4 ? static_cast<uint8_t>((index & 15) * 0x11)
                               : index;
    std::memset(pic.Bits, fill, pic.ImageSize);
    pic.Blank = 1;
  } else if (method == 3) {
    id.RestoreBits();
  }
  id.ResetState(2);
  st.Disposal = 0;
  st.Transparent = false;
}

void AddControlLine(tGraphicID& id, tGifState& st) {
  std::string delay;
  if (id.Delay != 0) delay = Format("delay %d (1/100th seconds) ", {id.Delay});
  if (id.WaitForInput) delay += "wait for key or click ";
  const char* disposal = st.Disposal == 2   ? "Restore to background "
                         : st.Disposal == 3 ? "Restore to previous "
                                            : "";
  std::string transparent =
      st.Transparent ? Format("Transparent color %d", {st.TransparentIndex}) : "";
  id.AddInfoLine(Format("%sGraphic control:%s%s%s", {"b", delay, disposal, transparent}));
  if ((GraphicOptions & goNoGifDisposal) && st.Disposal == 2) st.Disposal = 0;
  if (GraphicOptions & goNoGifTransparency) st.Transparent = false;
}

void AddInvalidLine(tGraphicID& id, const tGifState& st, uint8_t label, int size) {
  id.AddInfoLine(
      Format("%sInvalid %s extension %.2x size %d", {"b", SignatureText(st), label, size}));
}

// The graphic control block of either version.
void ReadControl(tGraphicID& id, tGifState& st, const uint8_t* d) {
  std::memcpy(st.ControlBlock, d, 4);
  st.Transparent = d[0] & 1;
  id.Delay = Get16(d + 1);
  st.TransparentIndex = d[3];
  if (st.Version == 2) {
    id.WaitForInput = (d[0] >> 1) & 1;
    st.Disposal = (d[0] >> 2) & 7;
  } else {
    id.WaitForInput = 0;
    st.Disposal = 0;
  }
  AddControlLine(id, st);
}

// The three-byte control form of GIF87a files: delay in 1/4 seconds.
void ReadShortControl(tGraphicID& id, tGifState& st, const uint8_t* d) {
  std::memcpy(st.ShortControlBlock, d, 3);
  id.Delay = d[0] * 25u;
  st.Transparent = d[1] & 1;
  st.TransparentIndex = d[2];
  st.Disposal = 0;
  id.WaitForInput = 0;
  AddControlLine(id, st);
}

void Extension(tGraphicID& id, tGifState& st) {
  uint8_t label;
  if (!ReadByte(*id.Stream, label)) {
    id.ErrorCode = errEndOfFile;
    return;
  }
  uint8_t data[256];
  bool first = true, haveTextHeader = false, comment = false;
  for (int n; (n = ReadSubBlock(id, data)) > 0; first = false) {
    if (st.Version == 1) {
      if (label == 0x01) {
        n == 3 ? ReadShortControl(id, st, data) : AddInvalidLine(id, st, label, n);
      } else if (label == 0xF9) {
        n == 4 ? ReadControl(id, st, data) : AddInvalidLine(id, st, label, n);
      } else {
        id.AddInfoLine(Format("%sUndefined %s extension %.2x", {"b", SignatureText(st), label}));
      }
    } else if (st.Version == 2) {
      if (label == 0x01) {
        if (first) {
          haveTextHeader = n == 12;
          haveTextHeader ? (void)std::memcpy(st.PlainTextHeader, data, 12)
                         : AddInvalidLine(id, st, label, n);
        } else if (haveTextHeader) {
          DrawPlainText(id, st, data, n);  // reads the rest of the chain
          return;
        }
      } else if (label == 0xF9) {
        n == 4 ? ReadControl(id, st, data) : AddInvalidLine(id, st, label, n);
      } else if (label == 0xFE) {
        if (first) id.ClearRemark();
        comment = true;
        for (int i = 0; i < n; ++i) id.AddRemarkChar(static_cast<char>(data[i]));
      } else if (label == 0xFF && first) {
        if (n == 11) {
          id.AddInfoLine(Format(
              "%sApplication extension:\"%s\" authentication %d,%d,%d",
              {"g", std::string(reinterpret_cast<char*>(data), 8), data[8], data[9], data[10]}));
        } else {
          AddInvalidLine(id, st, label, n);
        }
      }
    }
  }
  if (comment) id.EndRemark();
}

void Image(tGraphicID& id, tGifState& st) {
  tBuffStream& s = *id.Stream;
  tMemBmp& pic = *id.Bitmap;
  s.Read(st.Descriptor, 9);
  if (s.LastCount < 9) {
    id.ErrorCode = errEndOfFile;
    return;
  }
  const uint8_t* d = st.Descriptor;
  const uint8_t packed = d[8];
  const bool local = packed & 0x80;
  id.HandlerByte = local ? 1 : 0;
  st.Interlaced = packed & 0x40;
  id.IdentBits = (packed & 7) + 1;
  id.IdentColors = static_cast<uint16_t>(1 << id.IdentBits);
  st.Left = Get16(d);
  st.Top = Get16(d + 2);
  st.FrameWidth = id.IdentWidth = Get16(d + 4);
  st.FrameHeight = id.IdentHeight = Get16(d + 6);
  id.Work0 = static_cast<uint16_t>(st.Top);
  id.Work1 = id.Work3 = static_cast<uint16_t>(st.Left);
  id.RowsDone = static_cast<uint16_t>(st.Top);

  const char* mapText = local ? "(local color map)" : "";
  if (local) {
    s.Read(id.SavedPalette, id.IdentColors * 3);
    if (s.LastCount < id.IdentColors * 3) {
      id.ErrorCode = errEndOfFile;
      return;
    }
  } else if (id.HasPalette) {
    std::memcpy(id.SavedPalette, id.Palette, sizeof id.Palette);
  } else {
    tRGBPalette grey = GrayPalette(id.IdentColors);
    std::memcpy(id.SavedPalette, grey.data(), grey.size());
    id.HandlerByte = 1;
    mapText = "(NO COLOR MAP!)";
  }
  StartRows(id, st, st.Interlaced);
  id.AddInfoLine(
      Format("%sImage%3d: %s at (%4d,%4d) %s %s",
             {"b", id.ImageCount + 1, ImageSizeText(id.IdentWidth, id.IdentHeight, id.IdentColors),
              st.Left, st.Top, st.Interlaced ? "interlaced" : "sequential", mapText}));
  if (id.BitsPerPixel == 1 && id.IdentBits > 1) id.ErrorCode = errInvalidImage;
  if (st.FrameWidth == 0 || st.FrameHeight == 0 || st.Left + st.FrameWidth > id.Width) {
    id.ErrorCode = errInvalidImage;
    id.SetErrorText(
        Format("Invalid image %s at %d,%d",
               {ImageSizeText(id.IdentWidth, id.IdentHeight, id.IdentColors), st.Left, st.Top}));
  }
  if (id.ErrorCode) return;
  if (st.Disposal == 3) id.SaveBits();

  st.HasMap = st.BackgroundMode;
  if (st.BackgroundMode) {
    if (id.HandlerByte) {
      MergePalette(st.EntriesUsed, id.SavedPalette, id.IdentColors, st.LocalMap, pic.ColorTable);
      std::memcpy(st.FrameMap, st.LocalMap, 256);
    } else {
      std::memcpy(st.FrameMap, st.GlobalMap, 256);
    }
    // On a blank picture transparent pixels show the background entry.
    if (st.Transparent && pic.Blank) {
      st.Transparent = false;
      st.FrameMap[st.TransparentIndex] = 0;
    }
  }
  // The mapped picture has no see-through entry: the reader already kept what lies beneath.
  if (st.Transparent && !st.BackgroundMode) pic.TransparentIndex = st.TransparentIndex;
  DecodeImageData(id, st);
  st.ImageDecoded = true;
}

// Decodes at most one image (or plain-text block): the step of LoadGIF and NextGIF.
void FrameStep(tGraphicID& id, tGifState& st) {
  tBuffStream& s = *id.Stream;
  const bool restorePrevious = st.Disposal == 3;
  bool backgroundPending = st.Disposal == 2;
  if (!backgroundPending) Dispose(id, st, st.Disposal);
  for (;;) {
    st.ImageDecoded = false;
    uint8_t c = 0;
    const bool got = ReadByte(s, c);
    if (!got) {
      id.ErrorCode = errEndOfFile;
    } else {
      st.Introducer = c;
      if (backgroundPending && (c == '!' || c == ',')) {
        Dispose(id, st, 2);
        backgroundPending = false;
      } else if (backgroundPending && c == ';') {
        id.AddInfoLine(Format("%s(stupid!) Restore to background ignored", {"g"}));
      }
      if (c == '!') {
        Extension(id, st);
      } else if (c == ',') {
        Image(id, st);
      } else if (c != ';') {
        id.ErrorCode = errBadBlockId;
      }
    }
    bool stop = false;
    if (id.ErrorCode != 0) {
      st.FaultByte = s.Index < s.BytesValid ? s.Buffer[s.Index] : 0;
      stop = true;
    } else if (c == ';') {
      if (restorePrevious) id.NotifyImageDone();  // the restored picture is the last frame
      stop = true;
    }
    if (stop) id.Done = 1;
    if (st.ImageDecoded) {
      id.Bitmap->Blank = 0;
      id.NotifyImageDone();
      if (id.ErrorCode == 0) id.NotifyDelay();
      return;
    }
    if (stop) return;
  }
}

tGifState* State(tGraphicID& id) { return dynamic_cast<tGifState*>(id.CodecState.get()); }

}  // namespace

int ReadSubBlock(tGraphicID& id, uint8_t* data) {
  tBuffStream& s = *id.Stream;
  uint8_t n;
  if (!ReadByte(s, n)) {
    id.ErrorCode = errEndOfFile;
    return -1;
  }
  if (n == 0) return 0;
  s.Read(data, n);
  if (s.LastCount < n) {
    id.ErrorCode = errEndOfFile;
    return -1;
  }
  return n;
}

void IdentifyGIF(tGraphicID& id) {
  const uint8_t* b = id.Stream->BufferPtr();
  auto digit = [](uint8_t c) { return c >= '0' && c <= '9'; };
  if (b[0] != 'G' || b[1] != 'I' || b[2] != 'F' || !digit(b[3]) || !digit(b[4]) || b[5] < 'a' ||
      b[5] > 'z')
    return;
  auto st = std::make_unique<tGifState>();
  std::memcpy(st->Signature, b, 6);
  const std::string version(st->Signature + 3, 3);
  st->Version = version == "87a" ? 1 : version == "89a" ? 2 : 0;
  std::memcpy(st->Screen, b + 6, 7);
  const uint8_t packed = st->Screen[4];
  id.HasPalette = packed >> 7;
  id.BitsPerPixel = (packed & 7) + 1;
  id.Width = Get16(st->Screen);
  id.Height = Get16(st->Screen + 2);
  id.Colors = static_cast<uint16_t>(1 << id.BitsPerPixel);
  id.BackgroundIndex = st->Screen[5];
  if (id.HasPalette) {
    std::memcpy(id.Palette, b + 13, id.Colors * 3u);
  } else {
    tRGBPalette ramp = GrayPalette(256);
    std::memcpy(id.Palette, ramp.data(), ramp.size());
  }
  id.HandlerWord = 13u + (id.HasPalette ? id.Colors * 3u : 0u);
  id.FormatId = fmtGIF;
  id.SubType = Format("version %s", {version});
  st->BackgroundMode = id.BackgroundColor != kNoBackgroundColor;
  tRGBPalette rgb{};
  std::memcpy(rgb.data(), id.Palette, rgb.size());
  tQuadPalette quads = RGBToQuads(rgb);
  id.GrayFlag = IsGrayPalette(id.BitsPerPixel, id.Colors, quads.data()) ? 1 : 0;
  tGifState& state = *st;
  id.CodecState = std::move(st);

  if (!CheckPictureSize(id.Width, id.Height, id.Colors) || id.Width == 0 || id.Height == 0) {
    id.SetErrorText(Format("Invalid GIF: %s", {ImageSizeText(id.Width, id.Height, id.Colors)}));
    id.ErrorCode = errInvalidImage;
    return;
  }
  id.Bitmap = std::make_unique<tMemBmp>();
  if (state.BackgroundMode) {
    tQuadPalette table{};
    std::array<uint8_t, 3> back = ColorToRGB(id.BackgroundColor);
    table[0] = back[2];
    table[1] = back[1];
    table[2] = back[0];
    state.EntriesUsed = 1;
    if (id.HasPalette)
      MergePalette(state.EntriesUsed, id.Palette, id.Colors, state.GlobalMap, table.data());
    id.Bitmap->Allocate(id.Width, id.Height, id.GrayFlag, table.data(), 256, 8);
  } else {
    state.EntriesUsed = id.HasPalette ? id.Colors : 0;
    id.Bitmap->Allocate(id.Width, id.Height, id.GrayFlag, quads.data(), id.Colors, id.BitsPerPixel);
  }
}

void LoadGIF(tGraphicID& id) {
  tGifState* st = State(id);
  if (!st || !id.Stream) return;
  if (!id.Bitmap || !id.Bitmap->HasLayout()) {
    id.ErrorCode = errInvalidImage;
    id.FinishDecoding();
    return;
  }
  if (st->Version == 0)
    id.AddInfoLine(
        Format("%sUnknown GIF version \"%s\"", {"k", std::string(st->Signature + 3, 3)}));
  if (id.BackgroundIndex != 0) {
    const int asRead = id.BackgroundIndex;
    std::string suffix;
    if (id.BackgroundIndex >= id.Colors) {
      id.BackgroundIndex = 0;
      suffix = " (Nonsense! ignored)";
    }
    id.AddInfoLine(Format("%sBackground color %d%s", {"b", asRead, suffix}));
  }
  id.Stream->Rewind();
  id.Stream->Seek(static_cast<int32_t>(id.HandlerWord));
  st->Disposal = 2;  // the first frame starts on a cleared picture
  FrameStep(id, *st);
  // A fault on the first frame, or a file without any image, ends decoding at once.
  if (id.Stream && (id.ErrorCode != 0 || id.Done)) id.FinishDecoding();
}

void NextGIF(tGraphicID& id) {
  tGifState* st = State(id);
  if (!id.Stream || id.ErrorCode != 0) return;
  if (!st || !id.Bitmap || !id.Bitmap->HasLayout()) {
    id.Done = 1;  // nothing to decode into: let the caller finish
    return;
  }
  // Done (set on a fault or at the trailer) makes LoadNextPicture finish.
  FrameStep(id, *st);
}

void RegisterGIF() { RegisterFormat(IdentifyGIF, LoadGIF, NextGIF); }
