#include "imaging/formats/gIMG.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "imaging/Palettes.h"

namespace {

constexpr int kHeaderBytes = 16;
constexpr int kHeaderWords = kHeaderBytes / 2;
// GEM's 16 colours as entries of the 64-colour EGA palette.
constexpr uint8_t kGemToEga[16] = {0, 3, 5, 1, 6, 2, 4, 56, 7, 59, 61, 57, 62, 58, 60, 63};

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }

struct tImgState : tCodecState {
  uint16_t Header[kHeaderWords] = {};  // version, header words, planes, pattern length,
                                       // pixel width, pixel height, line width, lines
  int32_t DataOffset = kHeaderBytes;
  int Planes() const { return Header[2]; }
  int PatternLength() const { return Header[3]; }
};

class tImgDecoder {
 public:
  tImgDecoder(tGraphicID& id, const tImgState& st)
      : id_(id), s_(*id.Stream), pic_(*id.Bitmap), planes_(st.Planes()) {
    width_ = pic_.Width();
    height_ = pic_.Height();
    planeBytes_ = (width_ + 7) / 8;
    // Four planes: four whole plane rows, also when the width is not a multiple of 8.
    line_.resize(size_t(planeBytes_) * planes_);
    if (planes_ == 4) pixels_.resize(size_t(planeBytes_) * 8);
    patternLength_ = st.PatternLength();
  }

  void Run() {
    while (id_.RowsDone < height_) {
      uint8_t op;
      if (!Next(op)) return;
      if (op == 0) {
        uint8_t n;
        if (!Next(n)) return;
        if (n > 0) {
          if (!Pattern(n)) return;
        } else {
          uint8_t flag, count;
          if (!Next(flag)) return;
          if (flag != 0xFF) return Fail(errBadCode);
          if (!Next(count)) return;
          replicate_ = count;
        }
      } else if (op == 0x80) {
        uint8_t n;
        if (!Next(n)) return;
        if (n == 0 || !Fits(n)) return Fail(errRunLength);
        for (int i = 0; i < n; ++i)
          if (!Next(line_[fill_++])) return;
      } else {
        const int n = op & 0x7F;
        if (!Fits(n)) return Fail(errRunLength);
        std::fill_n(line_.begin() + fill_, n, (op & 0x80) ? 0xFF : 0x00);
        fill_ += n;
      }
      if (fill_ == line_.size()) PutLine();
    }
  }

 private:
  bool Next(uint8_t& v) {
    if (s_.Index >= s_.BytesValid && s_.Available() == 0) {
      Fail(errEndOfFile);
      return false;
    }
    v = s_.Buffer[s_.Index++];
    return true;
  }
  void Fail(int32_t code) { id_.ErrorCode = code; }
  bool Fits(size_t n) const { return n <= line_.size() - fill_; }

  // The pattern is read once and repeated; one longer than the scan line cannot fit in it.
  bool Pattern(int repeats) {
    if (size_t(patternLength_) > line_.size()) {
      Fail(errRunLength);
      return false;
    }
    pattern_.resize(static_cast<size_t>(patternLength_));
    for (uint8_t& v : pattern_)
      if (!Next(v)) return false;
    for (int i = 0; i < repeats; ++i) {
      if (!Fits(pattern_.size())) {
        Fail(errRunLength);
        return false;
      }
      std::copy(pattern_.begin(), pattern_.end(), line_.begin() + fill_);
      fill_ += pattern_.size();
    }
    return true;
  }

  // Set bits are black: the picture's index 0.
  void PutLine() {
    for (uint8_t& v : line_) v = static_cast<uint8_t>(~v);
    if (planes_ == 4) PlanarToChunky(line_.data(), pixels_.data(), planeBytes_, 4);
    for (int i = 0; i < replicate_ && id_.RowsDone < height_; ++i) {
      const int y = id_.RowsDone;
      if (planes_ == 1) {
        std::memcpy(pic_.ScanLine(y), line_.data(), line_.size());
      } else {
        std::memcpy(pic_.GetByteLine(y), pixels_.data(), size_t(width_));
      }
      id_.RowsDone = static_cast<uint16_t>(y + 1);
    }
    replicate_ = 1;
    fill_ = 0;
  }

  tGraphicID& id_;
  tBuffStream& s_;
  tMemBmp& pic_;
  const int planes_;
  int width_ = 0, height_ = 0, planeBytes_ = 0, patternLength_ = 0;
  int replicate_ = 1;
  std::vector<uint8_t> line_, pixels_, pattern_;
  size_t fill_ = 0;
};

}  // namespace

void IdentifyIMG(tGraphicID& id) {
  tBuffStream& s = *id.Stream;
  s.Rewind();
  if (s.BytesValid < kHeaderBytes) return;
  auto st = std::make_unique<tImgState>();
  for (int i = 0; i < kHeaderWords; ++i) st->Header[i] = Get16(s.BufferPtr() + 2 * i);
  const int planes = st->Planes(), width = st->Header[6], height = st->Header[7];
  if (st->Header[0] != 1 || st->Header[1] != kHeaderWords || (planes != 1 && planes != 4) ||
      !ValidPictureSize(width, height, 256))
    return;
  const int colors = 1 << planes;
  tRGBPalette palette{};
  if (planes == 1) {
    palette = GrayPalette(2);
    id.GrayFlag = 1;
  } else {
    const auto ega = Ega64Palette();
    for (int i = 0; i < 16; ++i) std::memcpy(&palette[i * 3], &ega[kGemToEga[i] * 3], 3);
    id.GrayFlag = 0;
  }
  id.FormatId = fmtIMG;
  id.Width = static_cast<uint16_t>(width);
  id.Height = static_cast<uint16_t>(height);
  id.BitsPerPixel = static_cast<uint16_t>(planes);
  id.Colors = static_cast<uint16_t>(colors);
  id.HasPalette = 1;
  std::memcpy(id.Palette, palette.data(), sizeof id.Palette);
  id.CodecState = std::move(st);
  id.Bitmap = std::make_unique<tMemBmp>();
  id.Bitmap->Allocate(width, height, id.GrayFlag, RGBToQuads(palette).data(), colors, planes);
}

void LoadIMG(tGraphicID& id) {
  auto* st = dynamic_cast<tImgState*>(id.CodecState.get());
  if (!st || !id.Stream) return;
  id.RowsDone = 0;
  id.Stream->Seek(st->DataOffset);
  tImgDecoder(id, *st).Run();
  id.NotifyImageDone();
  id.FinishDecoding();
}

void RegisterIMG() { RegisterFormat(IdentifyIMG, LoadIMG, NoNextImage); }
