#include "imaging/formats/gTIFTestUtil.h"

#include <algorithm>

#include "foundation/uPlatform.h"

namespace tifftest {

namespace {

int TypeSize(int type) { return type == 3 ? 2 : type == 4 ? 4 : type == 5 ? 8 : 1; }

class tOut {
 public:
  explicit tOut(bool motorola) : motorola_(motorola) {}
  std::vector<uint8_t> Bytes;
  void Put(uint32_t v, int size) {
    for (int i = 0; i < size; ++i) {
      int shift = motorola_ ? 8 * (size - 1 - i) : 8 * i;
      Bytes.push_back(static_cast<uint8_t>(v >> shift));
    }
  }
  void Value(uint32_t v, int type) { Put(v, type == 5 ? 4 : TypeSize(type)); }

 private:
  bool motorola_;
};

struct tLaidOut {
  std::vector<tTag> Tags;
  uint32_t IfdAt = 0, BlocksAt = 0, StripsAt = 0, End = 0;
};

tLaidOut Lay(const tPage& page, uint32_t at) {
  tLaidOut l;
  l.Tags = page.Tags;
  l.Tags.push_back({273, 4, std::vector<uint32_t>(page.Strips.size(), 0)});
  if (page.ByteCounts) {
    std::vector<uint32_t> counts;
    for (const auto& s : page.Strips) counts.push_back(static_cast<uint32_t>(s.size()));
    l.Tags.push_back({279, 4, counts});
  }
  std::stable_sort(l.Tags.begin(), l.Tags.end(),
                   [](const tTag& a, const tTag& b) { return a.Tag < b.Tag; });
  l.IfdAt = at;
  l.BlocksAt = at + 2 + 12 * static_cast<uint32_t>(l.Tags.size()) + 4;
  uint32_t blocks = 0;
  for (const tTag& t : l.Tags) {
    uint32_t bytes = static_cast<uint32_t>(t.Values.size() * (t.Type == 5 ? 4 : TypeSize(t.Type)));
    if (bytes > 4) blocks += (bytes + 1) & ~1u;
  }
  l.StripsAt = l.BlocksAt + blocks;
  uint32_t strips = 0;
  for (const auto& s : page.Strips) strips += static_cast<uint32_t>((s.size() + 1) & ~size_t(1));
  l.End = l.StripsAt + strips;
  return l;
}

}  // namespace

std::vector<uint8_t> BuildTiff(const std::vector<tPage>& pages, bool motorola, int loopTo) {
  std::vector<tLaidOut> laid;
  uint32_t at = 8;
  for (const tPage& p : pages) {
    laid.push_back(Lay(p, at));
    at = laid.back().End;
  }
  tOut out(motorola);
  out.Bytes = {static_cast<uint8_t>(motorola ? 'M' : 'I'),
               static_cast<uint8_t>(motorola ? 'M' : 'I')};
  out.Put(42, 2);
  out.Put(laid.empty() ? 0 : laid[0].IfdAt, 4);
  for (size_t p = 0; p < pages.size(); ++p) {
    tLaidOut& l = laid[p];
    uint32_t stripAt = l.StripsAt;
    for (tTag& t : l.Tags) {
      if (t.Tag != 273) continue;
      for (size_t s = 0; s < pages[p].Strips.size(); ++s) {
        t.Values[s] = stripAt;
        stripAt += static_cast<uint32_t>((pages[p].Strips[s].size() + 1) & ~size_t(1));
      }
    }
    out.Put(static_cast<uint32_t>(l.Tags.size()), 2);
    uint32_t blockAt = l.BlocksAt;
    std::vector<uint8_t> blocks;
    tOut blockOut(motorola);
    for (const tTag& t : l.Tags) {
      const int unit = t.Type == 5 ? 4 : TypeSize(t.Type);
      const uint32_t bytes = static_cast<uint32_t>(t.Values.size() * unit);
      const int64_t count = t.Count >= 0  ? t.Count
                            : t.Type == 5 ? int64_t(t.Values.size() / 2)
                                          : int64_t(t.Values.size());
      out.Put(t.Tag, 2);
      out.Put(t.Type, 2);
      out.Put(static_cast<uint32_t>(count), 4);
      if (bytes <= 4) {
        size_t before = out.Bytes.size();
        for (uint32_t v : t.Values) out.Value(v, t.Type);
        out.Bytes.resize(before + 4, 0);
      } else {
        out.Put(blockAt, 4);
        for (uint32_t v : t.Values) blockOut.Value(v, t.Type);
        if (blockOut.Bytes.size() % 2) blockOut.Bytes.push_back(0);
        blockAt = l.BlocksAt + static_cast<uint32_t>(blockOut.Bytes.size());
      }
    }
    uint32_t next = p + 1 < pages.size() ? laid[p + 1].IfdAt
                    : loopTo >= 0        ? laid[static_cast<size_t>(loopTo)].IfdAt
                                         : 0;
    out.Put(next, 4);
    out.Bytes.insert(out.Bytes.end(), blockOut.Bytes.begin(), blockOut.Bytes.end());
    for (const auto& s : pages[p].Strips) {
      out.Bytes.insert(out.Bytes.end(), s.begin(), s.end());
      if (s.size() % 2) out.Bytes.push_back(0);
    }
  }
  return out.Bytes;
}

tPage MakePage(int width, int height, std::vector<uint32_t> bits, int photometric,
               int compression) {
  tPage p;
  p.Tags = {{256, 4, {static_cast<uint32_t>(width)}},
            {257, 4, {static_cast<uint32_t>(height)}},
            {258, 3, bits},
            {259, 3, {static_cast<uint32_t>(compression)}},
            {262, 3, {static_cast<uint32_t>(photometric)}},
            {277, 3, {static_cast<uint32_t>(bits.size())}}};
  return p;
}

namespace {

class tCounter : public tPlainPlatform {
 public:
  int Pauses = 0, Images = 0;
  intptr_t SendWindowMessage(intptr_t, unsigned message, uintptr_t wparam, intptr_t) override {
    if (message == WM_GRAPHIC_PAUSE) ++Pauses;
    if (message == WM_GRAPHIC_PROGRESS && wparam == 0) ++Images;
    return 0;
  }
};

}  // namespace

tDecoded DecodeBytes(const std::vector<uint8_t>& bytes, int maxImages) {
  tDecoded d;
  RegisterAllFormats();
  auto* stream = new tBuffStream("test.tif", std::make_unique<TMemoryStream>(bytes), false);
  d.Id = std::make_unique<tGraphicID>(stream);
  if (!d.Id->IdentifyPicture()) {
    delete stream;
    d.Id.reset();
    return d;
  }
  tCounter counter;
  SetPlatform(&counter);
  d.Id->NotifyWindow = 1;
  d.Id->LoadPicture();
  for (int i = 0; d.Id->Stream && i < maxImages; ++i) d.Id->LoadNextPicture();
  SetPlatform(nullptr);
  d.Pauses = counter.Pauses;
  d.Images = counter.Images;
  return d;
}

}  // namespace tifftest
