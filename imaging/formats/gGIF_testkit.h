// Test helpers shared by the GIF reader and writer tests: a recipe builder for hand-made GIF
// files (codes are given as numbers and packed at the widths a decoder expects) and a decoder
// driver that keeps every frame and every message.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/uBuffStream.h"
#include "foundation/uPlatform.h"
#include "imaging/formats/gGIF.h"
#include "imaging/uGraphic.h"
#include "tests/DiffDecode.h"

namespace giftest {

// Packs LZW codes least significant bit first, widening them as a decoder's table grows, into
// data sub-blocks (minimum code size byte first, zero terminator last unless told otherwise).
inline std::vector<uint8_t> PackCodes(int minSize, const std::vector<int>& codes,
                                      bool terminator = true) {
  const int clear = 1 << minSize, end = clear + 1;
  int width = minSize + 1, nextFree = clear + 2;
  bool first = true;
  std::vector<uint8_t> bytes;
  uint32_t acc = 0;
  int bits = 0;
  for (int code : codes) {
    acc |= uint32_t(code) << bits;
    bits += width;
    while (bits >= 8) {
      bytes.push_back(static_cast<uint8_t>(acc));
      acc >>= 8;
      bits -= 8;
    }
    if (code == clear) {
      width = minSize + 1, nextFree = clear + 2, first = true;
    } else if (code != end) {
      if (!first && nextFree < 4096 && ++nextFree >= (1 << width) && width < 12) ++width;
      first = false;
    }
  }
  if (bits > 0) bytes.push_back(static_cast<uint8_t>(acc));
  std::vector<uint8_t> out{static_cast<uint8_t>(minSize)};
  for (size_t i = 0; i < bytes.size(); i += 255) {
    size_t n = std::min<size_t>(255, bytes.size() - i);
    out.push_back(static_cast<uint8_t>(n));
    out.insert(out.end(), bytes.begin() + i, bytes.begin() + i + n);
  }
  if (terminator) out.push_back(0);
  return out;
}

// Literal pixel codes with a clear code in front and often enough that the width never grows.
inline std::vector<int> LiteralCodes(int minSize, const std::vector<int>& pixels,
                                     bool endCode = true) {
  const int clear = 1 << minSize;
  std::vector<int> codes;
  int run = 0;
  for (int p : pixels) {
    if (run == 0) codes.push_back(clear);
    codes.push_back(p);
    run = (run + 1) % (clear - 2);
  }
  if (endCode) codes.push_back(clear + 1);
  return codes;
}

// A GIF file made block by block.
struct tGifBuilder {
  std::vector<uint8_t> v;

  void Put16(int x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
  }
  // Colour i of a table of n entries: distinct, away from each other on 6 bits.
  static void PutTable(std::vector<uint8_t>& out, int n, int seed) {
    for (int i = 0; i < n; ++i) {
      out.push_back(static_cast<uint8_t>((i * 37 + seed) & 0xFC));
      out.push_back(static_cast<uint8_t>((i * 91 + 2 * seed) & 0xFC));
      out.push_back(static_cast<uint8_t>((i * 53 + 3 * seed + 128) & 0xFC));
    }
  }
  tGifBuilder& Header(const std::string& signature, int width, int height, int bits,
                      bool globalTable = true, int background = 0) {
    v.assign(signature.begin(), signature.end());
    Put16(width);
    Put16(height);
    v.push_back(static_cast<uint8_t>((globalTable ? 0x80 : 0) | 0x70 | (bits - 1)));
    v.push_back(static_cast<uint8_t>(background));
    v.push_back(0);
    if (globalTable) PutTable(v, 1 << bits, 0);
    return *this;
  }
  tGifBuilder& Extension(int label, const std::vector<std::vector<uint8_t>>& blocks) {
    v.push_back('!');
    v.push_back(static_cast<uint8_t>(label));
    for (const auto& b : blocks) {
      v.push_back(static_cast<uint8_t>(b.size()));
      v.insert(v.end(), b.begin(), b.end());
    }
    v.push_back(0);
    return *this;
  }
  tGifBuilder& Control(int disposal, int delay, int transparent = -1, bool userInput = false) {
    uint8_t packed =
        static_cast<uint8_t>((disposal << 2) | (userInput ? 2 : 0) | (transparent >= 0 ? 1 : 0));
    return Extension(0xF9, {{packed, static_cast<uint8_t>(delay), static_cast<uint8_t>(delay >> 8),
                             static_cast<uint8_t>(transparent < 0 ? 0 : transparent)}});
  }
  // localBits 0: no local table.
  tGifBuilder& Descriptor(int left, int top, int width, int height, bool interlaced = false,
                          int localBits = 0) {
    v.push_back(',');
    Put16(left);
    Put16(top);
    Put16(width);
    Put16(height);
    v.push_back(
        static_cast<uint8_t>((localBits ? 0x80 | (localBits - 1) : 0) | (interlaced ? 0x40 : 0)));
    if (localBits) PutTable(v, 1 << localBits, 77);
    return *this;
  }
  tGifBuilder& Data(const std::vector<uint8_t>& data) {
    v.insert(v.end(), data.begin(), data.end());
    return *this;
  }
  tGifBuilder& Image(int left, int top, int width, int height, const std::vector<int>& pixels,
                     int minSize = 2, bool interlaced = false, int localBits = 0) {
    Descriptor(left, top, width, height, interlaced, localBits);
    return Data(PackCodes(minSize, LiteralCodes(minSize, pixels)));
  }
  tGifBuilder& Trailer() {
    v.push_back(';');
    return *this;
  }
};

// What the decoder sent, frame by frame.
struct tFrame {
  testsupport::RgbImage Image;
  std::vector<uint8_t> Indices;  // the picture's pixel values, top row first
  int TransparentIndex = -1;
  uint32_t Delay = 0;  // of the WM_GRAPHIC_DELAY that followed, if any
  bool Delayed = false;
  uint8_t WaitForInput = 0;
};
struct tDecoded {
  std::unique_ptr<tGraphicID> Id;  // null when not identified
  std::vector<tFrame> Frames;
  int Partials = 0;  // WM_GRAPHIC_PROGRESS with wParam 1
  int DoneMessages = 0;
};

class tRecorder : public tPlainPlatform {
 public:
  tGraphicID* Id = nullptr;
  tDecoded* Out = nullptr;
  intptr_t SendWindowMessage(intptr_t, unsigned message, uintptr_t wparam, intptr_t) override {
    if (message == WM_GRAPHIC_PROGRESS && wparam == 0) {
      tFrame f;
      tMemBmp& pic = *Id->Bitmap;
      f.Image = testsupport::PictureToRgb(pic);
      for (int y = 0; y < pic.Height(); ++y) {
        const uint8_t* row = pic.GetByteLine(y);
        f.Indices.insert(f.Indices.end(), row, row + pic.Width());
      }
      f.TransparentIndex = pic.TransparentIndex;
      Out->Frames.push_back(std::move(f));
    } else if (message == WM_GRAPHIC_PROGRESS) {
      ++Out->Partials;
    } else if (message == WM_GRAPHIC_DELAY && !Out->Frames.empty()) {
      Out->Frames.back().Delayed = true;
      Out->Frames.back().Delay = Id->Delay;
      Out->Frames.back().WaitForInput = Id->WaitForInput;
    } else if (message == WM_GRAPHIC_DONE) {
      ++Out->DoneMessages;
    }
    return 0;
  }
};

// Identifies and decodes every frame, as a picture window would (calling LoadNextPicture after
// each delay). backgroundColor: 0x20000000 for plain mode, else a window colour (0x00BBGGRR).
inline tDecoded DecodeAll(const std::vector<uint8_t>& bytes, uint32_t backgroundColor = 0x20000000,
                          const std::string& name = "pic.gif") {
  tDecoded out;
  RegisterAllFormats();
  auto* stream = new tBuffStream(name, std::make_unique<TMemoryStream>(bytes), false);
  auto id = std::make_unique<tGraphicID>(stream);
  id->BackgroundColor = backgroundColor;
  if (!id->IdentifyPicture()) {
    delete stream;
    return out;
  }
  tRecorder recorder;
  recorder.Id = id.get();
  recorder.Out = &out;
  SetPlatform(&recorder);
  id->NotifyWindow = 1;
  id->LoadPicture();
  for (int guard = 0; id->Stream && guard < 10000; ++guard) id->LoadNextPicture();
  SetPlatform(nullptr);
  out.Id = std::move(id);
  return out;
}

inline bool HasLine(const tGraphicID& id, const std::string& line) {
  for (const std::string& l : id.Info)
    if (l == line) return true;
  return false;
}

}  // namespace giftest
