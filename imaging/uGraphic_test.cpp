#include "imaging/uGraphic.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "foundation/uPlatform.h"
#include "imaging/formats/gBMP.h"
#include "tests/TestSupport.h"

namespace {

// Records the decoder messages instead of sending them.
class tRecordingPlatform : public tPlainPlatform {
 public:
  std::vector<std::pair<unsigned, uintptr_t>> Messages;
  std::function<void()> OnMessage;
  intptr_t SendWindowMessage(intptr_t, unsigned message, uintptr_t wparam, intptr_t) override {
    Messages.push_back({message, wparam});
    if (OnMessage) OnMessage();
    return 0;
  }
};

// A made-up format for the protocol: "TEST", width u16, height u16, image count u8. Each image
// fills every pixel with its number.
int identifyCalls = 0;

void IdentifyTest(tGraphicID& id) {
  ++identifyCalls;
  const uint8_t* b = id.Stream->BufferPtr();
  if (std::memcmp(b, "TEST", 4) != 0) return;
  id.FormatId = fmtPBM;
  id.Width = static_cast<uint16_t>(b[4] | b[5] << 8);
  id.Height = static_cast<uint16_t>(b[6] | b[7] << 8);
  id.HandlerWord = b[8];
  id.BitsPerPixel = 8;
  id.Colors = 256;
  id.Bitmap = std::make_unique<tMemBmp>();
  id.Bitmap->Allocate(id.Width, id.Height, false, nullptr, id.Colors, 8);
}

void FillImage(tGraphicID& id) {
  std::memset(id.Bitmap->Bits, id.ImageCount + 1, id.Bitmap->ImageSize);
  id.NotifyPartial();
  id.NotifyImageDone();
}

void LoadTest(tGraphicID& id) {
  FillImage(id);
  if (id.HandlerWord == 1) id.FinishDecoding();
}

void NextTest(tGraphicID& id) {
  if (id.ImageCount >= id.HandlerWord) {
    id.Done = 1;
    return;
  }
  id.Delay = 7;
  id.NotifyDelay();
  FillImage(id);
}

std::vector<uint8_t> TestFile(int width, int height, int images, size_t size = 16) {
  std::vector<uint8_t> f(size, 0);
  std::memcpy(f.data(), "TEST", 4);
  f[4] = static_cast<uint8_t>(width), f[5] = static_cast<uint8_t>(width >> 8);
  f[6] = static_cast<uint8_t>(height), f[7] = static_cast<uint8_t>(height >> 8);
  f[8] = static_cast<uint8_t>(images);
  return f;
}

tBuffStream* Reader(std::vector<uint8_t> bytes, const std::string& name = "dir/pic.tst") {
  return new tBuffStream(name, std::make_unique<TMemoryStream>(std::move(bytes)), false);
}

constexpr intptr_t kWindow = 77;
using Msg = std::pair<unsigned, uintptr_t>;

class GraphicTest : public testing::Test {
 protected:
  void SetUp() override {
    RegisterAllFormats();
    RegisterFormat(IdentifyTest, LoadTest, NextTest);
    SetPlatform(&platform);
    GraphicOptions = 0;
    identifyCalls = 0;
  }
  void TearDown() override {
    UnregisterAllFormats();
    SetPlatform(nullptr);
    GraphicOptions = 0;
  }
  tRecordingPlatform platform;
};

TEST(GraphicNames, FormatAndErrorNames) {
  EXPECT_EQ(FormatName(fmtGIF), "CompuServe GIF");
  EXPECT_EQ(FormatName(fmtBMP), "BitMaP");
  EXPECT_EQ(FormatName(fmtNone), "Not a graphic");
  EXPECT_EQ(FormatName(19), "");
  EXPECT_EQ(ErrorName(3), "End Of File");
  EXPECT_EQ(ErrorName(13), "Unsupported color space");
  EXPECT_EQ(ErrorName(0), "");
  EXPECT_EQ(ErrorName(14), "");
}

TEST(GraphicSize, Limits) {
  struct Case {
    int w, h, colors;
    bool valid;
  } cases[] = {{30000, 30000, 256, true},
               {30001, 1, 256, false},
               {10000, 10000, 257, true},
               {10001, 5, 280, false},
               {0, 5, 2, false},
               {5, 0, 2, false},
               {1, 1, 2, true}};
  for (const Case& c : cases)
    EXPECT_EQ(ValidPictureSize(c.w, c.h, c.colors), c.valid)
        << c.w << "x" << c.h << "x" << c.colors;
  EXPECT_TRUE(CheckPictureSize(0, 0, 2));
  EXPECT_TRUE(SpanFits(0, 1));
  EXPECT_FALSE(SpanFits(5, 5));
  EXPECT_FALSE(SpanFits(10001, 10005));
}

TEST_F(GraphicTest, RegistryStartsWithBmp) {
  RegisterAllFormats();
  ASSERT_FALSE(GraphicFiles().empty());
  EXPECT_EQ(GraphicFiles()[0].Identify, &IdentifyBMP);
  EXPECT_EQ(GraphicFiles()[0].Next, &NoNextImage);
  UnregisterAllFormats();
  EXPECT_TRUE(GraphicFiles().empty());
}

TEST_F(GraphicTest, UnknownDataIsNotAGraphicAndStaysTheCallers) {
  auto stream = std::unique_ptr<tBuffStream>(Reader(std::vector<uint8_t>(300, 'x')));
  {
    tGraphicID id(stream.get());
    EXPECT_FALSE(id.IdentifyPicture());
    EXPECT_EQ(id.FormatId, fmtNone);
    EXPECT_EQ(id.HandlerIndex, -1);
    EXPECT_EQ(identifyCalls, 2);  // base 0 and base 128
  }
  EXPECT_EQ(stream->Base, 0);
  EXPECT_EQ(stream->Size, 300);  // still alive: the caller frees it
}

TEST_F(GraphicTest, SmallFileGetsOnePassOnly) {
  auto stream = std::unique_ptr<tBuffStream>(Reader(std::vector<uint8_t>(128, 'x')));
  tGraphicID id(stream.get());
  EXPECT_FALSE(id.IdentifyPicture());
  EXPECT_EQ(identifyCalls, 1);
}

TEST_F(GraphicTest, MacBinaryHeaderIsPassedOver) {
  std::vector<uint8_t> file(128, 0);
  std::vector<uint8_t> body = TestFile(4, 3, 1);
  file.insert(file.end(), body.begin(), body.end());
  tGraphicID id(Reader(file));
  ASSERT_TRUE(id.IdentifyPicture());
  EXPECT_EQ(id.Stream->Base, 128);
  EXPECT_EQ(id.HandlerIndex, static_cast<int>(GraphicFiles().size()) - 1);
  const std::vector<std::string> want = {"kdir/pic.tst", "b4x3x256 PBMPLUS ",
                                         "bMacBinary header (skipped)"};
  EXPECT_EQ(id.Info, want);
  EXPECT_EQ(id.IdentWidth, 4);
  EXPECT_EQ(id.IdentColors, 256);
}

TEST_F(GraphicTest, StandardAspectFollowsDisplayModes) {
  GraphicOptions = goStandardAspect;
  platform.ScreenWidth = 1024, platform.ScreenHeight = 768;
  tGraphicID id(Reader(TestFile(320, 200, 1)));
  ASSERT_TRUE(id.IdentifyPicture());
  EXPECT_EQ(id.AspectX, 6);
  EXPECT_EQ(id.AspectY, 5);
  EXPECT_EQ(id.DisplayWidth, 320);
  EXPECT_EQ(id.DisplayHeight, 240);
  EXPECT_EQ(id.Info.back(), "bAspect 6:5 (320x240)");

  platform.ScreenWidth = 320, platform.ScreenHeight = 200;
  tGraphicID same(Reader(TestFile(320, 200, 1)));
  ASSERT_TRUE(same.IdentifyPicture());
  EXPECT_EQ(same.AspectX + same.AspectY, 2);
  EXPECT_EQ(same.DisplayHeight, 200);

  GraphicOptions = 0;
  tGraphicID off(Reader(TestFile(320, 200, 1)));
  ASSERT_TRUE(off.IdentifyPicture());
  EXPECT_EQ(off.AspectX, 1);
  EXPECT_EQ(off.Info.size(), 2u);
}

TEST(GraphicAspect, SetAspectHalvesTogether) {
  tGraphicID id(nullptr);
  id.Width = 100, id.Height = 100;
  id.SetAspect(72000, 72000);
  EXPECT_EQ(id.AspectX, 9000);
  EXPECT_EQ(id.AspectY, 9000);
  id.SetAspect(0, 3);
  EXPECT_EQ(id.AspectX, 1);
  EXPECT_EQ(id.DisplayWidth, 300);
  EXPECT_EQ(id.DisplayHeight, 100);
  id.SetAspect(1, 1);
  EXPECT_EQ(id.DisplayWidth, 100);
}

TEST_F(GraphicTest, SingleImageMessagesAndStreamClosed) {
  GraphicOptions = goDisplayInterlace;
  tGraphicID id(Reader(TestFile(2, 2, 1)));
  id.NotifyWindow = kWindow;
  ASSERT_TRUE(id.IdentifyPicture());
  id.LoadPicture();
  const std::vector<Msg> want = {
      {WM_GRAPHIC_PROGRESS, 1}, {WM_GRAPHIC_PROGRESS, 0}, {WM_GRAPHIC_DONE, 0}};
  EXPECT_EQ(platform.Messages, want);
  EXPECT_EQ(id.Stream, nullptr);
  EXPECT_EQ(id.ImageCount, 1);
  EXPECT_EQ(id.Bitmap->Blank, 0);
  EXPECT_EQ(id.Bitmap->ScanLine(0)[0], 1);
}

TEST_F(GraphicTest, NoWindowNoMessages) {
  tGraphicID id(Reader(TestFile(2, 2, 1)));
  id.NotifyWindow = -5;
  ASSERT_TRUE(id.IdentifyPicture());
  id.LoadPicture();
  EXPECT_TRUE(platform.Messages.empty());
}

TEST_F(GraphicTest, MultiImageRunsUntilDoneThenLoops) {
  tGraphicID id(Reader(TestFile(2, 2, 3)));
  id.NotifyWindow = kWindow;
  ASSERT_TRUE(id.IdentifyPicture());
  id.LoadPicture();
  id.LoadNextPicture();
  id.LoadNextPicture();
  EXPECT_EQ(id.ImageCount, 3);
  EXPECT_EQ(id.Bitmap->ScanLine(1)[1], 3);
  ASSERT_NE(id.Stream, nullptr);
  id.LoadNextPicture();  // none left
  EXPECT_EQ(id.Stream, nullptr);
  const std::vector<Msg> want = {{WM_GRAPHIC_PROGRESS, 0}, {WM_GRAPHIC_DELAY, 0},
                                 {WM_GRAPHIC_PROGRESS, 0}, {WM_GRAPHIC_DELAY, 0},
                                 {WM_GRAPHIC_PROGRESS, 0}, {WM_GRAPHIC_DONE, 0}};
  EXPECT_EQ(platform.Messages, want);

  tGraphicID looping(Reader(TestFile(2, 2, 2)));
  ASSERT_TRUE(looping.IdentifyPicture());
  looping.Loop = 1;
  looping.LoadPicture();
  looping.LoadNextPicture();
  looping.ErrorCode = 5;
  looping.LoadNextPicture();  // done: starts again at the first image
  EXPECT_EQ(looping.ErrorCode, 0);
  EXPECT_EQ(looping.ImageCount, 3);
  EXPECT_NE(looping.Stream, nullptr);
}

TEST_F(GraphicTest, AbortFinishes) {
  tGraphicID id(Reader(TestFile(2, 2, 3)));
  id.NotifyWindow = kWindow;
  ASSERT_TRUE(id.IdentifyPicture());
  id.Abort = 1;
  platform.OnMessage = [&] { id.Abort = 1; };  // the window stops at the first image
  id.LoadPicture();
  EXPECT_EQ(id.Abort, 1);
  EXPECT_EQ(id.ImageCount, 1);
  id.LoadNextPicture();
  EXPECT_EQ(id.ImageCount, 1);
  EXPECT_EQ(id.Stream, nullptr);
  EXPECT_EQ(platform.Messages.back().first, WM_GRAPHIC_DONE);
}

TEST_F(GraphicTest, ErrorLineAtTheStopPosition) {
  tGraphicID id(Reader(TestFile(2, 2, 2)));
  ASSERT_TRUE(id.IdentifyPicture());
  id.Stream->Seek(9);
  id.ErrorCode = errEndOfFile;
  id.FinishDecoding();
  EXPECT_EQ(id.Info.back(), "kEnd Of File at 9");
  EXPECT_EQ(id.GetStopPosition(), 9);
  id.SetErrorText(std::string(300, 'e'));
  EXPECT_EQ(id.ErrorLine(), std::string(255, 'e'));
  id.ErrorText.clear();
  id.ErrorCode = 0;
  EXPECT_EQ(id.ErrorLine(), "");
}

TEST_F(GraphicTest, IdentifiedStreamIsOwned) {
  tBuffStream* stream = Reader(TestFile(2, 2, 2));
  {
    tGraphicID id(stream);
    ASSERT_TRUE(id.IdentifyPicture());
  }  // the sanitizers report a leak if the object did not free it
  SUCCEED();
}

TEST_F(GraphicTest, SaveAndRestoreBits) {
  tGraphicID id(Reader(TestFile(2, 2, 2)));
  ASSERT_TRUE(id.IdentifyPicture());
  id.Bitmap->ScanLine(0)[0] = 42;
  id.SaveBits();
  id.Bitmap->ScanLine(0)[0] = 1;
  id.RestoreBits();
  EXPECT_EQ(id.Bitmap->ScanLine(0)[0], 42);
  EXPECT_TRUE(id.SavedBits.empty());
}

TEST_F(GraphicTest, ReplayReopensTheFileInMemory) {
  auto path = testsupport::ScratchDir("graphic_replay") / "anim.tst";
  testsupport::WriteFile(path, TestFile(2, 2, 2));
  tGraphicID id(new tBuffStream(path.string(), OpenFileStream(path.string()), false));
  ASSERT_TRUE(id.IdentifyPicture());
  id.LoadPicture();
  id.LoadNextPicture();
  id.LoadNextPicture();
  ASSERT_EQ(id.Stream, nullptr);
  size_t lines = id.Info.size();
  id.Replay();
  EXPECT_EQ(id.Loop, 1);
  ASSERT_NE(id.Stream, nullptr);
  EXPECT_EQ(id.ImageCount, 3);
  EXPECT_EQ(id.Info.size(), lines);  // InfoOff
}

TEST(GraphicRemarks, CollectAndFormat) {
  tGraphicID id(nullptr);
  for (char c : std::string("abc")) id.AddRemarkChar(c);
  id.AddRemarkChar('\0');
  id.EndRemark();  // empty buffer: nothing
  ASSERT_EQ(id.Info.size(), 1u);
  EXPECT_EQ(id.Info[0], "rabc");
  EXPECT_TRUE(id.HasRemarks());
  id.AddInfoLine("bnot a remark");
  id.AddInfoLine("rCreated by someone");
  id.AddInfoLine("RComment: line two\r\n");
  id.AddInfoLine("rthree");
  EXPECT_EQ(id.RemarksText("Comment: "), "abc\r\nline two\r\nthree");
  EXPECT_EQ(id.RemarksText("other"), "abc\r\nline two\r\nthree");  // built once
  EXPECT_EQ(id.FormatRemarks("H", 0), "H\r\nabc\r\nline two\r\nthree\r\n");
  EXPECT_EQ(id.FormatRemarks("H", 1), "abc\r\nline two\r\nthree");
  EXPECT_EQ(id.FormatRemarks("H", 4), std::string("abc\0line two\0three ", 19));
  EXPECT_EQ(id.FormatRemarks("H", 6), "abc\nline two\nthree\n");
  id.InfoOff = 1;
  id.AddInfoLine("rignored");
  EXPECT_EQ(id.Info.size(), 5u);
}

TEST(GraphicRemarks, EditedTextReplacesTheBuiltOne) {
  tGraphicID id(nullptr);
  id.AddInfoLine("rfrom the file");
  EXPECT_EQ(id.RemarksText(""), "from the file");
  id.SetRemarksText("edited\r\ntwice");
  EXPECT_EQ(id.FormatRemarks("H", 6), "edited\ntwice\n");
  id.SetRemarksText("");
  EXPECT_EQ(id.FormatRemarks("H", 4), "");
}

TEST(GraphicRemarks, NoRemarksFormatsEmpty) {
  tGraphicID id(nullptr);
  EXPECT_FALSE(id.HasRemarks());
  EXPECT_EQ(id.FormatRemarks("H", 0), "H\r\n");
  EXPECT_EQ(id.FormatRemarks("H", 4), "");
}

TEST(GraphicRemarks, NormalizeLineBreaks) {
  EXPECT_EQ(NormalizeLineBreaks("a\r\nb\n\rc\rd\ne", '|'), "a|b|c|d|e");
  EXPECT_EQ(NormalizeLineBreaks("a\n\r\nb", '|'), "a||b");
}

TEST(GraphicText, Helpers) {
  tGraphicID id(nullptr);
  id.Width = 640, id.Height = 480;
  for (auto [colors, text] : std::vector<std::pair<int, std::string>>{{256, "640x480x256"},
                                                                      {280, "640x480x16m"},
                                                                      {288, "640x480x16m"},
                                                                      {271, "640x480x32k"},
                                                                      {272, "640x480x64k"},
                                                                      {257, "640x480x???k"}}) {
    id.Colors = static_cast<uint16_t>(colors);
    EXPECT_EQ(id.SizeText(), text);
  }
  id.FormatId = fmtGIF;
  id.SubType = "89a";
  EXPECT_EQ(id.InfoHeadline(), "640x480x???k CompuServe GIF 89a");
}

}  // namespace

// Text gathered for one picture stops at a budget, however many comments or lines come.
TEST(GraphicText, InfoAndRemarksStopAtTheBudget) {
  tGraphicID id(nullptr);
  const std::string remark(1 << 20, 'x');
  for (int i = 0; i < 10; ++i) {
    for (char c : remark) id.AddRemarkChar(c);
    id.EndRemark();
  }
  size_t total = 0;
  for (const std::string& line : id.Info) total += line.size();
  // Each remark line adds its one-letter kind to the bytes counted as they came.
  EXPECT_LE(total, tGraphicID::kMaxTextBytes + 10);
  EXPECT_GE(total, tGraphicID::kMaxTextBytes - 10);
  EXPECT_EQ(id.TextRoom(), 0u);
  EXPECT_EQ(id.Info.front(), "r" + remark);  // whole remarks come first
  id.AddInfoLine("late");
  EXPECT_NE(id.Info.back(), "late");
  // A new picture's information starts with the whole budget again.
  id.ClearInfo();
  EXPECT_EQ(id.TextRoom(), tGraphicID::kMaxTextBytes);
  id.AddInfoLine("first");
  EXPECT_EQ(id.Info.back(), "first");
}
