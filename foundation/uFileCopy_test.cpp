#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "foundation/uBuffStream.h"
#include "foundation/uFiles.h"
#include "foundation/uLocaleText.h"
#include "tests/TestSupport.h"

namespace fs = std::filesystem;

namespace {

fs::path PathOf(const std::string& utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

// File streams take the host's paths: "/" serves on both hosts.
std::string Join(const std::string& folder, const std::string& name) { return folder + "/" + name; }

std::string Scratch(const std::string& name) {
  const std::u8string s = testsupport::ScratchDir(name).u8string();
  return std::string(s.begin(), s.end());
}

std::vector<uint8_t> Pattern(size_t size) {
  std::vector<uint8_t> data(size);
  for (size_t i = 0; i < size; ++i) data[i] = static_cast<uint8_t>(i * 7 + i / 251);
  return data;
}

using Calls = std::vector<std::pair<int64_t, int64_t>>;

TCopyProgress Recorder(Calls& calls) {
  return [&calls](int64_t done, int64_t total) { calls.emplace_back(done, total); };
}

// A stream over memory.
class tBytes : public TStream {
 public:
  explicit tBytes(std::vector<uint8_t> data = {}) : data_(std::move(data)) {}
  int32_t Read(void* buffer, int32_t count) override {
    const int64_t n = std::clamp<int64_t>(static_cast<int64_t>(data_.size()) - pos_, 0, count);
    std::copy_n(data_.begin() + pos_, n, static_cast<uint8_t*>(buffer));
    pos_ += n;
    return static_cast<int32_t>(n);
  }
  int32_t Write(const void* buffer, int32_t count) override {
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    if (data_.size() < static_cast<size_t>(pos_ + count))
      data_.resize(static_cast<size_t>(pos_ + count));
    std::copy_n(bytes, count, data_.begin() + pos_);
    pos_ += count;
    return count;
  }
  int64_t Seek(int64_t offset, tSeekOrigin origin) override {
    const int64_t base = origin == soFromBeginning ? 0
                         : origin == soFromCurrent ? pos_
                                                   : static_cast<int64_t>(data_.size());
    if (base + offset < 0) return -1;
    return pos_ = base + offset;
  }
  const std::vector<uint8_t>& Data() const { return data_; }

 private:
  std::vector<uint8_t> data_;
  int64_t pos_ = 0;
};

// A memory source whose reads fail (move nothing) from a given position on.
class tFailingStream : public tBytes {
 public:
  tFailingStream(std::vector<uint8_t> data, int64_t failAt)
      : tBytes(std::move(data)), failAt_(failAt) {}
  int32_t Read(void* buffer, int32_t count) override {
    const int64_t at = Position();
    if (at >= failAt_) return 0;
    return tBytes::Read(buffer, static_cast<int32_t>(std::min<int64_t>(count, failAt_ - at)));
  }

 private:
  int64_t failAt_;
};

// A target that takes only so many bytes.
class tFullStream : public tBytes {
 public:
  explicit tFullStream(int64_t room) : room_(room) {}
  int32_t Write(const void* buffer, int32_t count) override {
    const int32_t n = static_cast<int32_t>(std::min<int64_t>(count, room_));
    room_ -= n;
    return tBytes::Write(buffer, n);
  }

 private:
  int64_t room_;
};

// Names in the folder, to see that no partial copy stays behind.
std::vector<std::string> Names(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(PathOf(dir))) {
    const std::u8string s = entry.path().filename().u8string();
    names.emplace_back(s.begin(), s.end());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace

TEST(FileCopy, ABlockSizedFileReportsProgressTwice) {
  const std::string dir = Scratch("copy8192");
  const std::string source = Join(dir, "src.bin"), target = Join(dir, "dst.bin");
  testsupport::WriteFile(PathOf(source), Pattern(8192));
  tDateTimeFields f;
  f.Year = 1999, f.Month = 12, f.Day = 31, f.Hour = 23, f.Minute = 59, f.Second = 58;
  ASSERT_TRUE(FileSetDate(source, FieldsToDosDateTime(f)));
  Calls calls;
  EXPECT_EQ(CopyFileFromStart(source, target, Recorder(calls)), kCopyOK);
  EXPECT_EQ(calls, (Calls{{0, 8192}, {8192, 8192}}));
  EXPECT_EQ(testsupport::ReadFile(PathOf(target)), Pattern(8192));
  EXPECT_EQ(FileAge(target), FieldsToDosDateTime(f));
  EXPECT_EQ(Names(dir), (std::vector<std::string>{"dst.bin", "src.bin"}));
}

TEST(FileCopy, ProgressAfterEveryBlockAndFromAnOffset) {
  const std::string dir = Scratch("copyblocks");
  const std::string source = Join(dir, "src.bin"), target = Join(dir, "dst.bin");
  testsupport::WriteFile(PathOf(source), Pattern(20000));
  Calls calls;
  EXPECT_EQ(CopyFileWithProgress(0, source, target, Recorder(calls)), kCopyOK);
  EXPECT_EQ(calls, (Calls{{0, 20000}, {8192, 20000}, {16384, 20000}, {20000, 20000}}));

  testsupport::WriteFile(PathOf(source), Pattern(1000));
  calls.clear();
  EXPECT_EQ(CopyFileWithProgress(100, source, target, Recorder(calls)), kCopyOK);
  EXPECT_EQ(calls, (Calls{{0, 900}, {900, 900}}));
  const std::vector<uint8_t> all = Pattern(1000);
  EXPECT_EQ(testsupport::ReadFile(PathOf(target)),
            std::vector<uint8_t>(all.begin() + 100, all.end()));

  EXPECT_EQ(CopyFileWithProgress(5000, source, target, nullptr), kCopyOK);  // past the end
  EXPECT_TRUE(testsupport::ReadFile(PathOf(target)).empty());
}

TEST(FileCopy, ResultCodesLeaveNoPartialTarget) {
  const std::string dir = Scratch("copycodes");
  const std::string source = Join(dir, "src.bin");
  testsupport::WriteFile(PathOf(source), Pattern(100));
  EXPECT_EQ(CopyFileFromStart(Join(dir, "none"), Join(dir, "dst"), nullptr), kCopySourceNotOpened);
  EXPECT_EQ(CopyFileFromStart(source, Join(Join(dir, "no folder"), "dst"), nullptr),
            kCopyTargetNotCreated);
  // A folder in the way of the target: the copy is made, cannot take its place, and goes.
  CreateDirectoryPath(Join(dir, "dst"));
  EXPECT_EQ(CopyFileFromStart(source, Join(dir, "dst"), nullptr), kCopyTargetNotCreated);
  EXPECT_TRUE(IsDirectory(Join(dir, "dst")));
  EXPECT_EQ(Names(dir), (std::vector<std::string>{"dst", "src.bin"}));
}

TEST(FileCopy, AReadErrorInTheMiddleFailsAndKeepsTheOldTarget) {
  const std::string dir = Scratch("copyreaderror");
  const std::string target = Join(dir, "dst.bin");
  testsupport::WriteFile(PathOf(target), {'o', 'l', 'd'});
  tFailingStream source(Pattern(30000), 10000);
  Calls calls;
  EXPECT_EQ(CopyStreamToFile(0, source, -1, target, Recorder(calls)), kCopyReadError);
  EXPECT_EQ(calls.back(), (std::pair<int64_t, int64_t>{10000, 30000}));
  EXPECT_EQ(testsupport::ReadFile(PathOf(target)), (std::vector<uint8_t>{'o', 'l', 'd'}));
  EXPECT_EQ(Names(dir), std::vector<std::string>{"dst.bin"});

  // Without an earlier target, nothing is left at all.
  tFailingStream again(Pattern(30000), 8192);
  EXPECT_EQ(CopyStreamToFile(0, again, -1, Join(dir, "new.bin"), nullptr), kCopyReadError);
  EXPECT_EQ(Names(dir), std::vector<std::string>{"dst.bin"});
}

TEST(FileCopy, StreamCopyCodes) {
  tBytes whole(Pattern(10000));
  tBytes out;
  EXPECT_EQ(CopyStreamWithProgress(0, whole, out, nullptr), kCopyOK);
  EXPECT_EQ(out.Data(), Pattern(10000));

  tBytes source(Pattern(10000));
  tFullStream full(9000);
  Calls calls;
  EXPECT_EQ(CopyStreamWithProgress(0, source, full, Recorder(calls)), kCopyShortWrite);
  EXPECT_EQ(calls, (Calls{{0, 10000}, {8192, 10000}}));  // no progress for the short block

  tFailingStream failing(Pattern(10000), 9000);
  tBytes sink;
  EXPECT_EQ(CopyStreamWithProgress(0, failing, sink, nullptr), kCopyReadError);
}

TEST(FileCopy, StringsToAndFromFiles) {
  const std::string dir = Scratch("strings");
  const std::string file = Join(dir, "t.txt");
  EXPECT_EQ(LoadStringFromFile(file), "");
  EXPECT_TRUE(SaveStringToFile("", file));
  EXPECT_TRUE(Names(dir).empty());  // an empty text creates no file
  const std::string text("line one\r\nzwei \xC3\xA9\0end", 20);
  EXPECT_TRUE(SaveStringToFile(text, file));
  EXPECT_EQ(LoadStringFromFile(file), text);
  EXPECT_TRUE(SaveStringToFile("", file));
  EXPECT_EQ(LoadStringFromFile(file), text);  // and leaves an existing one as it is
  EXPECT_TRUE(SaveStringToFile("short", file));
  EXPECT_EQ(LoadStringFromFile(file), "short");
  EXPECT_EQ(Names(dir), std::vector<std::string>{"t.txt"});
  EXPECT_FALSE(SaveStringToFile("x", Join(Join(dir, "none"), "t.txt")));
}

TEST(FileCopy, StreamReadWholeOrNotAtAll) {
  const std::vector<uint8_t> bytes = Pattern(70000);  // more than one block
  tBytes whole(bytes);
  whole.Seek(5, soFromBeginning);
  std::string text = "x";
  EXPECT_TRUE(ReadWholeStream(whole, text));
  EXPECT_EQ(text, "x" + std::string(bytes.begin() + 5, bytes.end()));
  for (int64_t cut : {0, 100, 65536}) {
    tFailingStream failing(bytes, cut);
    std::string part;
    EXPECT_FALSE(ReadWholeStream(failing, part)) << cut;
  }
}
