#include "foundation/uBuffStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "tests/TestSupport.h"

namespace {

// Bytes that differ from block to block, so a read from the wrong place shows.
std::vector<uint8_t> Pattern(size_t n) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i * 7 + i / 4096 * 13 + 1);
  return v;
}

std::string MakeFile(const std::string& dir, const std::string& name,
                     const std::vector<uint8_t>& data) {
  auto path = testsupport::ScratchDir(dir) / name;
  testsupport::WriteFile(path, data);
  return path.string();
}

std::unique_ptr<tBuffStream> FileReader(const std::string& path) {
  return std::make_unique<tBuffStream>(path, OpenFileStream(path), false);
}

std::unique_ptr<tBuffStream> MemReader(const std::vector<uint8_t>& data) {
  return std::make_unique<tBuffStream>("mem", std::make_unique<TMemoryStream>(data), false);
}

std::vector<uint8_t> ReadN(tBuffStream& s, int32_t n) {
  std::vector<uint8_t> v(static_cast<size_t>(n));
  s.Read(v.data(), n);
  v.resize(static_cast<size_t>(s.LastCount));
  return v;
}

// A stream that takes at most Limit bytes per write.
class tStingyStream : public TMemoryStream {
 public:
  int32_t Limit = 4000;
  int32_t Write(const void* buffer, int32_t count) override {
    return TMemoryStream::Write(buffer, std::min(count, Limit));
  }
};

}  // namespace

TEST(BuffStream, EmptyFileIsAtEndAndPadded) {
  auto s = FileReader(MakeFile("bs_empty", "empty.bin", {}));
  ASSERT_TRUE(s->HasStream());
  EXPECT_EQ(s->AtEnd, 1);
  EXPECT_EQ(s->BytesValid, 0);
  EXPECT_EQ(s->Size, 0);
  EXPECT_TRUE(std::all_of(s->Buffer, s->Buffer + 4096, [](uint8_t b) { return b == 0x1A; }));
  EXPECT_TRUE(ReadN(*s, 10).empty());
  EXPECT_EQ(s->Remaining(), 0);
  EXPECT_EQ(s->Position(), 0);
}

TEST(BuffStream, ShortFileIsFollowedByPadding) {
  auto data = Pattern(100);
  auto s = FileReader(MakeFile("bs_100", "short.bin", data));
  EXPECT_EQ(s->AtEnd, 0);
  EXPECT_EQ(s->BytesValid, 100);
  EXPECT_EQ(s->Remaining(), 100);
  EXPECT_TRUE(std::equal(data.begin(), data.end(), s->BufferPtr()));
  EXPECT_TRUE(std::all_of(s->Buffer + 100, s->Buffer + 4096, [](uint8_t b) { return b == 0x1A; }));
  EXPECT_EQ(ReadN(*s, 150), data);
  EXPECT_EQ(s->Position(), 100);
  EXPECT_EQ(s->Remaining(), 0);
  EXPECT_EQ(s->AtEnd, 1);
}

TEST(BuffStream, SetBaseSkipsAHeaderOnlyWhenThereIsMore) {
  struct Case {
    size_t size;
    bool moves;
  } cases[] = {{100, false}, {128, false}, {129, true}, {5000, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    auto data = Pattern(c.size);
    auto s = MemReader(data);
    uint8_t first = s->Buffer[0];
    s->SetBase(128);
    if (!c.moves) {
      EXPECT_EQ(s->Base, 0);
      EXPECT_EQ(s->Position(), 0);
      EXPECT_EQ(s->Buffer[0], first);
      continue;
    }
    EXPECT_EQ(s->Base, 128);
    EXPECT_EQ(s->Position(), 128);
    EXPECT_EQ(s->Buffer[0], data[128]);
    uint8_t at0 = 0;
    EXPECT_EQ(s->ReadAt(0, &at0, 1), 1);
    EXPECT_EQ(at0, data[128]);
    EXPECT_EQ(s->Position(), 128);  // ReadAt leaves the sequential state alone
    s->Seek(static_cast<int32_t>(c.size) - 129);
    EXPECT_EQ(ReadN(*s, 2), std::vector<uint8_t>{data.back()});
  }
}

TEST(BuffStream, ReadsAcrossBlockEdgesInOrder) {
  // Ends inside a block and exactly on a block edge.
  for (size_t size : {10000u, 8192u}) {
    SCOPED_TRACE(size);
    auto data = Pattern(size);
    auto s = FileReader(MakeFile("bs_edge", "edge.bin", data));
    EXPECT_EQ(ReadN(*s, 4000), std::vector<uint8_t>(data.begin(), data.begin() + 4000));
    EXPECT_EQ(ReadN(*s, 200), std::vector<uint8_t>(data.begin() + 4000, data.begin() + 4200));
    EXPECT_EQ(s->Position(), 4200);
    EXPECT_EQ(s->Remaining(), static_cast<int32_t>(size) - 4200);
    auto rest = ReadN(*s, 20000);
    EXPECT_EQ(rest, std::vector<uint8_t>(data.begin() + 4200, data.end()));
    EXPECT_EQ(s->Position(), static_cast<int32_t>(size));
    EXPECT_EQ(s->AtEnd, 1);
    EXPECT_EQ(s->Available(), 0);
  }
}

TEST(BuffStream, LargeReadsLeaveTheStateOfSmallOnes) {
  // A read of several blocks takes them straight from the stream; afterwards everything a
  // reader can see is as if the same bytes had been read a little at a time: from the middle
  // of a block and from its edge, ending inside a block, on an edge, and past the end.
  struct Case {
    int32_t before, count;
  } cases[] = {{0, 4097}, {0, 8192}, {4096, 8193}, {100, 12000}, {4096, 20000}, {8000, 5000},
               {0, 30000}, {12288, 4096}, {12288, 9000}};
  auto data = Pattern(20000);
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.before << " then " << c.count);
    auto large = MemReader(data), small = MemReader(data);
    ReadN(*large, c.before);
    ReadN(*small, c.before);
    std::vector<uint8_t> got = ReadN(*large, c.count), expected;
    for (int32_t left = c.count; left > 0; left -= 1000) {
      auto piece = ReadN(*small, std::min(left, 1000));
      expected.insert(expected.end(), piece.begin(), piece.end());
      if (piece.empty()) break;
    }
    EXPECT_EQ(got, expected);
    EXPECT_EQ(large->LastCount, static_cast<int32_t>(expected.size()));
    EXPECT_EQ(large->Position(), small->Position());
    EXPECT_EQ(large->BlocksPassed, small->BlocksPassed);
    EXPECT_EQ(large->Index, small->Index);
    EXPECT_EQ(large->BytesValid, small->BytesValid);
    EXPECT_EQ(large->AtEnd, small->AtEnd);
    EXPECT_TRUE(std::equal(large->Buffer, large->Buffer + 4096, small->Buffer));
    EXPECT_EQ(ReadN(*large, 3), ReadN(*small, 3));
    EXPECT_EQ(large->Remaining(), small->Remaining());
  }
}

TEST(BuffStream, SeekSkipAndRewind) {
  auto data = Pattern(9000);
  auto s = MemReader(data);
  s->Seek(5000);
  EXPECT_EQ(s->Position(), 5000);
  EXPECT_EQ(ReadN(*s, 3)[0], data[5000]);
  s->Skip(4000);
  EXPECT_EQ(s->Position(), 9000);
  s->Rewind();  // also after a seek away from 0
  EXPECT_EQ(s->Position(), 0);
  EXPECT_EQ(ReadN(*s, 5000), std::vector<uint8_t>(data.begin(), data.begin() + 5000));
  s->Rewind();
  EXPECT_EQ(ReadN(*s, 1)[0], data[0]);
  // Past the end and before the start: no data, and the position is the one asked for.
  s->Seek(12000);
  EXPECT_EQ(s->Position(), 12000);
  EXPECT_TRUE(ReadN(*s, 5).empty());
  EXPECT_EQ(s->Remaining(), 0);
  s->Seek(-5);
  EXPECT_TRUE(ReadN(*s, 5).empty());
  uint8_t b;
  EXPECT_EQ(s->ReadAt(-1, &b, 1), 0);
}

TEST(BuffStream, RewindAfterReadingASmallBasedFileToTheEnd) {
  auto data = Pattern(4100);  // 3972 bytes behind the base
  auto s = MemReader(data);
  s->SetBase(128);
  EXPECT_EQ(ReadN(*s, 5000).size(), 3972u);
  s->Rewind();
  EXPECT_EQ(ReadN(*s, 2), std::vector<uint8_t>(data.begin() + 128, data.begin() + 130));
}

TEST(BuffStream, WriterPatchesAfterTheData) {
  auto path = (testsupport::ScratchDir("bs_writer") / "out.bin").string();
  auto data = Pattern(5000);
  {
    tBuffStream w(path, CreateFileStream(path), true);
    ASSERT_TRUE(w.HasStream());
    w.Write(data.data(), 5000);
    EXPECT_EQ(w.LastCount, 5000);
    EXPECT_EQ(w.Position(), 5000);
    EXPECT_EQ(w.BlocksPassed, 1);  // 4096 + 904
    EXPECT_EQ(w.AtEnd, 0);
    EXPECT_EQ(w.WriteAt(0, "XY", 2), 2);
    w.Write("Z", 1);
  }
  data[0] = 'X';
  data[1] = 'Y';
  data.push_back('Z');
  EXPECT_EQ(testsupport::ReadFile(path), data);
  // Creating again truncates.
  { tBuffStream w(path, CreateFileStream(path), true); }
  EXPECT_TRUE(testsupport::ReadFile(path).empty());
}

TEST(BuffStream, WrongDirectionDoesNothing) {
  auto r = MemReader(Pattern(10));
  r->LastCount = 77;
  r->Write("abc", 3);
  EXPECT_EQ(r->LastCount, 77);
  EXPECT_EQ(r->Index, 0);

  auto mem = std::make_unique<TMemoryStream>();
  TMemoryStream* raw = mem.get();
  tBuffStream w("w", std::move(mem), true);
  w.Write("abc", 3);
  uint8_t buf[3];
  w.Read(buf, 3);
  EXPECT_EQ(w.LastCount, 3);
  EXPECT_EQ(w.Index, 3);
  EXPECT_EQ(w.Position(), 3);
  EXPECT_EQ(std::memcmp(raw->Memory(), "abc", 3), 0);
}

TEST(BuffStream, ShortWriteSetsAtEndUntilAFlushSucceeds) {
  auto stingy = std::make_unique<tStingyStream>();
  tStingyStream* raw = stingy.get();
  tBuffStream w("w", std::move(stingy), true);
  auto data = Pattern(5000);
  w.Write(data.data(), 5000);  // the full buffer flushes; the stream takes 4000
  EXPECT_EQ(w.AtEnd, 1);
  EXPECT_EQ(w.BlocksPassed, 0);
  raw->Limit = 100000;
  EXPECT_EQ(w.Position(), 4000 + 904);
  EXPECT_EQ(w.AtEnd, 0);
}

TEST(BuffStream, WithoutStreamEverythingIsANoOp) {
  tBuffStream r("none", nullptr, false);
  EXPECT_FALSE(r.HasStream());
  EXPECT_EQ(r.Size, 0);
  EXPECT_EQ(r.Buffer[0], 0x1A);
  EXPECT_TRUE(ReadN(r, 4).empty());
  EXPECT_EQ(r.Remaining(), 0);
  uint8_t b;
  EXPECT_EQ(r.ReadAt(0, &b, 1), 0);
  tBuffStream w("none", nullptr, true);
  w.Write("abc", 3);
  EXPECT_EQ(w.Position(), 0);
  EXPECT_EQ(w.AtEnd, 1);  // nothing could be written
}

TEST(BuffStream, FileStreamsOpenAnyNameAndShare) {
  auto dir = testsupport::ScratchDir("bs_files");
  auto path = (dir / std::filesystem::path(u8"Bild \u00e4\u00df \u4e2d\u6587.bin")).u8string();
  std::string name(path.begin(), path.end());
  {
    tBuffStream w(name, CreateFileStream(name), true);
    ASSERT_TRUE(w.HasStream());
    w.Write("hello", 5);
  }
  auto r = FileReader(name);
  ASSERT_TRUE(r->HasStream());
  EXPECT_EQ(r->Size, 5);
  // A read-only open keeps nobody else out.
  auto again = OpenFileStream(name);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->Size(), 5);
  EXPECT_EQ(OpenFileStream((dir / "missing.bin").string()), nullptr);
  EXPECT_EQ(OpenFileStream(dir.string()), nullptr);
  EXPECT_EQ(CreateFileStream((dir / "no" / "such" / "x.bin").string()), nullptr);
}

TEST(BuffStream, MemoryStreamGrowsWithZeros) {
  TMemoryStream m;
  EXPECT_EQ(m.Seek(3, soFromBeginning), 3);
  EXPECT_EQ(m.Write("ab", 2), 2);
  EXPECT_EQ(m.Data(), (std::vector<uint8_t>{0, 0, 0, 'a', 'b'}));
  EXPECT_EQ(m.Size(), 5);
  EXPECT_EQ(m.Position(), 5);
  EXPECT_EQ(m.Seek(-6, soFromEnd), -1);
  EXPECT_EQ(m.Seek(-1, soFromEnd), 4);
  uint8_t b[4];
  EXPECT_EQ(m.Read(b, 4), 1);
  EXPECT_EQ(b[0], 'b');
}

TEST(BuffStream, MemoryStreamZeroedBlockActsAsTheVector) {
  TMemoryStream m;
  m.Write("old", 3);
  ASSERT_TRUE(m.AllocateZeroed(1 << 20));
  EXPECT_EQ(m.Size(), 1 << 20);
  EXPECT_EQ(m.Position(), 0);
  const uint8_t* p = m.Memory();
  EXPECT_TRUE(std::all_of(p, p + (1 << 20), [](uint8_t v) { return v == 0; }));
  EXPECT_EQ(m.Seek(-2, soFromEnd), (1 << 20) - 2);
  EXPECT_EQ(m.Write("xyz", 3), 3);  // grows past the block: it becomes the vector
  EXPECT_EQ(m.Size(), (1 << 20) + 1);
  EXPECT_EQ(m.Data()[(1 << 20) - 2], 'x');
  EXPECT_EQ(m.Data()[(1 << 20)], 'z');
  ASSERT_TRUE(m.AllocateZeroed(0));
  EXPECT_EQ(m.Size(), 0);
  EXPECT_TRUE(m.Data().empty());
  EXPECT_FALSE(m.AllocateZeroed(-1));
}

TEST(BuffStream, CopyAndAdvanceWalksAHeader) {
  const uint8_t header[6] = {1, 0, 2, 0, 0, 0};
  uint16_t a = 0;
  uint32_t b = 0;
  const uint8_t* p = header;
  EXPECT_EQ(CopyAndAdvance(p, &a, 2), reinterpret_cast<uint8_t*>(&a) + 2);
  CopyAndAdvance(p + 2, &b, 4);
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 2u);
}
