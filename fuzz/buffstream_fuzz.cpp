// Drives a tBuffStream over a memory stream through a sequence of calls taken from the input and
// checks every answer against a plain model of how the stream behaves: positions, the bytes
// returned, LastCount, AtEnd, and a buffer that holds the current block followed by 0x1A.
// Readers and writers both; a disagreement aborts.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "foundation/uBuffStream.h"

namespace {

constexpr int32_t kBlock = tBuffStream::kBlockSize;
constexpr int32_t kMaxStream = 13000;  // a few blocks: enough for every edge, small inputs
constexpr int kMaxOps = 2000;

[[noreturn]] void Fail(const char* what, int line) {
  std::fprintf(stderr, "buffstream_fuzz:%d: model and stream disagree: %s\n", line, what);
  std::abort();
}
#define CHECK(cond)                     \
  do {                                  \
    if (!(cond)) Fail(#cond, __LINE__); \
  } while (0)

// memcmp with a null pointer is undefined even for no bytes.
bool Same(const uint8_t* a, const uint8_t* b, int64_t n) {
  return n == 0 || std::memcmp(a, b, static_cast<size_t>(n)) == 0;
}

int32_t Clamp32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// The input, read front to back; zeros once it is used up.
class tInput {
 public:
  tInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Empty() const { return pos_ >= size_; }
  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  uint16_t Word() {
    uint16_t lo = Byte();
    return static_cast<uint16_t>(lo | Byte() << 8);
  }
  // A position or count near what matters: the start, block edges, the end, far past it, before
  // the start, and the limits of the type.
  int32_t Value(int32_t size) {
    uint8_t sel = Byte();
    int8_t delta = static_cast<int8_t>(Byte());
    switch (sel % 8) {
      case 0:
        return static_cast<uint8_t>(delta);
      case 1:
        return size + delta;
      case 2:
        return (sel >> 3) % 5 * kBlock + delta;
      case 3:
        return Word();
      case 4:
        return -1 - static_cast<uint8_t>(delta);
      case 5:
        return INT32_MAX - static_cast<uint8_t>(delta);
      case 6:
        return INT32_MIN + static_cast<uint8_t>(delta);
      default:
        return kBlock + delta;
    }
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

// Bytes that come from the input but cover a whole stream.
std::vector<uint8_t> Content(tInput& in, int32_t size) {
  std::vector<uint8_t> seed(in.Byte());
  for (auto& b : seed) b = in.Byte();
  std::vector<uint8_t> v(static_cast<size_t>(size));
  for (size_t i = 0; i < v.size(); ++i)
    v[i] = seed.empty() ? static_cast<uint8_t>(i * 7 + i / kBlock)
                        : static_cast<uint8_t>(seed[i % seed.size()] + i / seed.size());
  return v;
}

// ---- Reader

struct tReaderModel {
  std::vector<uint8_t> D;
  int64_t S = 0;
  int64_t Base = 0, Anchor = 0, Pos = 0;  // Anchor: the last position sought; Pos: logical
  uint8_t AtEnd = 0;
  int32_t LastCount = 0;

  int64_t DataLeft() const {
    int64_t abs = Base + Pos;
    return abs < 0 || abs >= S ? 0 : S - abs;
  }
  // Bytes of the k-th block after the anchor.
  int64_t Valid(int64_t k) const {
    int64_t start = Base + Anchor + k * kBlock;
    if (Base + Anchor < 0) return 0;
    return std::clamp<int64_t>(S - start, 0, kBlock);
  }
  void Seek(int64_t pos) {
    Anchor = Pos = pos;
    if (Base + pos < 0 || Base + pos >= S) AtEnd = 1;
  }
  int32_t Available() {
    int64_t off = Pos - Anchor;
    int64_t left = std::max<int64_t>(0, Valid(off / kBlock) - off % kBlock);
    if (left == 0) AtEnd = 1;
    return static_cast<int32_t>(left);
  }
};

void CheckReader(tBuffStream& s, const tReaderModel& m) {
  CHECK(s.Position() == Clamp32(m.Base + m.Pos));
  CHECK(s.AtEnd == m.AtEnd);
  CHECK(s.LastCount == m.LastCount);
  CHECK(s.Base == m.Base);
  CHECK(s.Size == m.S);
  CHECK(s.BlockPosition == m.Anchor);
  CHECK(s.WriteMode == 0 && s.BlockSize == kBlock);
  CHECK(s.Index >= 0 && s.Index <= kBlock);
  CHECK(s.BytesValid >= 0 && s.BytesValid <= kBlock);
  CHECK(s.BlocksPassed >= 0);
  // The buffer holds the current block's bytes, then 0x1A.
  if (s.BytesValid > 0) {
    CHECK(s.BytesValid == m.Valid(s.BlocksPassed));
    int64_t start = m.Base + m.Anchor + int64_t{s.BlocksPassed} * kBlock;
    CHECK(Same(s.Buffer, m.D.data() + start, s.BytesValid));
  } else {
    CHECK(m.AtEnd == 1);
  }
  for (int32_t i = s.BytesValid; i < kBlock; ++i) CHECK(s.Buffer[i] == tBuffStream::kPadByte);
}

void FuzzReader(tInput& in) {
  tReaderModel m;
  m.D = Content(in, in.Word() % (kMaxStream + 1));
  m.S = static_cast<int64_t>(m.D.size());
  tBuffStream s("fuzz", std::make_unique<TMemoryStream>(m.D), false);
  m.AtEnd = m.S == 0;
  CheckReader(s, m);
  for (int op = 0; op < kMaxOps && !in.Empty(); ++op) {
    uint8_t code = in.Byte();
    switch (code % 11) {
      case 0:
      case 1: {  // Read, into a buffer exactly as large as the bytes expected
        int32_t count = in.Value(static_cast<int32_t>(m.S));
        int64_t expect = count <= 0 ? 0 : std::min<int64_t>(count, m.DataLeft());
        std::unique_ptr<uint8_t[]> buf(new uint8_t[static_cast<size_t>(expect)]);
        s.Read(buf.get(), count);
        CHECK(s.LastCount == expect);
        CHECK(Same(buf.get(), m.D.data() + (expect ? m.Base + m.Pos : 0), expect));
        m.Pos += expect;
        m.LastCount = static_cast<int32_t>(expect);
        if (count > 0 && expect < count) m.AtEnd = 1;
        break;
      }
      case 2:
        m.Seek(in.Value(static_cast<int32_t>(m.S)));
        s.Seek(static_cast<int32_t>(m.Anchor));
        break;
      case 3: {  // Skip: chunks of one block at most
        int32_t count = in.Value(static_cast<int32_t>(m.S));
        s.Skip(count);
        for (int64_t left = count; left > 0;) {
          int64_t chunk = std::min<int64_t>(left, kBlock);
          int64_t got = std::min(chunk, m.DataLeft());
          m.Pos += got;
          m.LastCount = static_cast<int32_t>(got);
          left -= chunk;
          if (got < chunk) m.AtEnd = 1;
          if (got == 0) break;
        }
        break;
      }
      case 4: {  // ReadAt leaves everything else alone
        int32_t offset = in.Value(static_cast<int32_t>(m.S));
        int32_t count = in.Value(static_cast<int32_t>(m.S));
        int64_t abs = m.Base + offset;
        int64_t expect =
            count <= 0 || abs < 0 ? 0 : std::min<int64_t>(count, std::max<int64_t>(0, m.S - abs));
        std::unique_ptr<uint8_t[]> buf(new uint8_t[static_cast<size_t>(expect)]);
        CHECK(s.ReadAt(offset, buf.get(), count) == expect);
        CHECK(Same(buf.get(), m.D.data() + (expect ? abs : 0), expect));
        break;
      }
      case 5: {
        int32_t base = in.Value(static_cast<int32_t>(m.S));
        s.SetBase(base);
        if (base >= 0 && base < m.S) {
          m.Base = base;
          m.Seek(0);
        }
        break;
      }
      case 6:
        s.Rewind();
        m.Seek(0);
        break;
      case 7:
        CHECK(s.Available() == m.Available());
        break;
      case 8: {
        int32_t left = s.Remaining();
        m.Available();
        CHECK(left == (m.Base + m.Pos < 0 ? 0 : std::max<int64_t>(0, m.S - m.Base - m.Pos)));
        break;
      }
      case 9:  // a reader neither writes nor flushes
        s.Write(m.D.data(), std::min<int32_t>(static_cast<int32_t>(m.S), in.Byte()));
        s.Flush();
        break;
      default:
        CHECK(s.HasStream());
        break;
    }
    CheckReader(s, m);
  }
}

// ---- Writer

// A memory stream that hands its bytes over when it is freed.
class tKeptStream : public TMemoryStream {
 public:
  explicit tKeptStream(std::vector<uint8_t>& out) : out_(out) {}
  ~tKeptStream() override { out_ = Data(); }

 private:
  std::vector<uint8_t>& out_;
};

struct tWriterModel {
  std::vector<uint8_t> Content, Pending;
  int64_t StreamPos = 0;
  int32_t LastCount = 0, BlocksPassed = 0;

  void Put(int64_t at, const uint8_t* data, size_t n) {
    if (n == 0) return;
    if (static_cast<size_t>(at) + n > Content.size()) Content.resize(static_cast<size_t>(at) + n);
    std::memcpy(Content.data() + at, data, n);
  }
  void Flush() {
    if (Pending.size() == static_cast<size_t>(kBlock)) ++BlocksPassed;
    Put(StreamPos, Pending.data(), Pending.size());
    StreamPos += static_cast<int64_t>(Pending.size());
    Pending.clear();
  }
};

void CheckWriter(tBuffStream& s, const tWriterModel& m) {
  CHECK(s.WriteMode == 1 && s.AtEnd == 0);
  CHECK(s.LastCount == m.LastCount);
  CHECK(s.Index == static_cast<int32_t>(m.Pending.size()));
  CHECK(s.BytesValid == kBlock);
  CHECK(s.BlocksPassed == m.BlocksPassed);
  CHECK(Same(s.Buffer, m.Pending.data(), static_cast<int64_t>(m.Pending.size())));
}

void FuzzWriter(tInput& in) {
  tWriterModel m;
  std::vector<uint8_t> result;
  uint8_t salt = in.Byte();
  uint32_t counter = 0;
  auto next = [&](int32_t n) {
    std::vector<uint8_t> v(static_cast<size_t>(std::max(0, n)));
    for (auto& b : v) b = static_cast<uint8_t>(counter++ * 31 + salt);
    return v;
  };
  {
    tBuffStream s("fuzz", std::make_unique<tKeptStream>(result), true);
    for (int op = 0; op < kMaxOps && !in.Empty(); ++op) {
      uint8_t code = in.Byte();
      switch (code % 8) {
        case 0:
        case 1: {
          int32_t count = in.Word() % 10000 - 10;
          auto data = next(count);
          s.Write(data.data(), count);
          for (size_t i = 0; i < data.size();) {
            if (m.Pending.size() == static_cast<size_t>(kBlock)) m.Flush();
            size_t n = std::min(data.size() - i, kBlock - m.Pending.size());
            m.Pending.insert(m.Pending.end(), data.begin() + i, data.begin() + i + n);
            i += n;
          }
          m.LastCount = std::max(0, count);
          break;
        }
        case 2: {  // patch at an absolute offset, not too far out
          int32_t offset = in.Value(static_cast<int32_t>(m.Content.size()));
          if (offset > 65536) offset %= 65536;
          int32_t count = in.Byte() % 80 - 8;
          auto data = next(count);
          int32_t put = s.WriteAt(offset, data.data(), count);
          if (offset < 0 || count <= 0) {
            CHECK(put == 0);
          } else {
            CHECK(put == count);
            m.Put(offset, data.data(), data.size());
          }
          break;
        }
        case 3:
          m.Flush();
          m.StreamPos = static_cast<int64_t>(m.Content.size());
          CHECK(s.Position() == static_cast<int32_t>(m.Content.size()));
          break;
        case 4:
          if (m.Pending.size() == static_cast<size_t>(kBlock)) m.Flush();
          CHECK(s.Available() == kBlock - static_cast<int32_t>(m.Pending.size()));
          break;
        case 5:
          s.Flush();
          m.Flush();
          break;
        default: {  // a writer neither reads nor moves
          uint8_t buf[16];
          s.Read(buf, sizeof buf);
          s.Skip(in.Value(0));
          s.Seek(in.Value(0));
          s.SetBase(in.Value(0));
          s.Rewind();
          s.Fill();
          break;
        }
      }
      CheckWriter(s, m);
    }
  }
  m.Flush();
  CHECK(result == m.Content);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tInput in(data, size);
  if (in.Byte() & 1)
    FuzzWriter(in);
  else
    FuzzReader(in);
  return 0;
}
