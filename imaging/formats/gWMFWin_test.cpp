#include "imaging/formats/gWMFWin.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>

#include "imaging/formats/gBMP.h"
#include "imaging/formats/gJPG.h"
#include "imaging/formats/gTIF.h"
#include "imaging/formats/gReader_testkit.h"
#include "tests/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using namespace readertest;

class WmfTest : public testing::Test {
 protected:
  void SetUp() override {
    InstallMetafileReader();
    RegisterAllFormats();
  }
  void TearDown() override {
    UnregisterAllFormats();
    SetMetafileHandler(nullptr);
  }
};

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi;
}

// A plain metafile: a window of 1000 x 500 units, a red rectangle over its left half, and,
// when asked, an escape that would install an abort procedure.
std::vector<uint8_t> PlainMetafile(bool withEscape) {
  std::vector<uint8_t> records;
  auto record = [&](uint16_t function, std::initializer_list<int> params) {
    Put32(records, static_cast<uint32_t>(3 + params.size()));
    Put16(records, function);
    for (int p : params) Put16(records, p);
  };
  record(META_SETWINDOWORG, {0, 0});
  record(META_SETWINDOWEXT, {500, 1000});
  record(META_CREATEBRUSHINDIRECT, {BS_SOLID, 0x00FF, 0x0000, 0});  // red
  record(META_SELECTOBJECT, {0});
  record(META_CREATEPENINDIRECT, {PS_NULL, 0, 0, 0, 0});
  record(META_SELECTOBJECT, {1});
  if (withEscape) record(META_ESCAPE, {SETABORTPROC, 4, 0x1234, 0x5678});
  record(META_RECTANGLE, {500, 500, 0, 0});  // bottom, right, top, left
  record(0, {});
  std::vector<uint8_t> v;
  Put16(v, 1), Put16(v, 9), Put16(v, 0x300);
  Put32(v, static_cast<uint32_t>(9 + records.size() / 2));
  Put16(v, 2), Put32(v, 7), Put16(v, 0);
  v.insert(v.end(), records.begin(), records.end());
  return v;
}

TEST_F(WmfTest, RegisteredBetweenTiffAndJpegOnlyWhenInstalled) {
  auto indexOf = [](tGraphicProc identify) {
    const auto& list = GraphicFiles();
    for (size_t i = 0; i < list.size(); ++i)
      if (list[i].Identify == identify) return static_cast<int>(i);
    return -1;
  };
  const int wmf = indexOf(IdentifyWMF);
  ASSERT_GT(wmf, 0);
  EXPECT_EQ(indexOf(IdentifyTIF), wmf - 1);
  EXPECT_EQ(indexOf(IdentifyJPG), wmf + 1);
  EXPECT_EQ(GraphicFiles().size(), 18u);
  SetMetafileHandler(nullptr);
  RegisterAllFormats();
  EXPECT_EQ(indexOf(IdentifyWMF), -1);
  EXPECT_EQ(GraphicFiles().size(), 17u);
}

TEST_F(WmfTest, CollectedMetafilesIdentifyWithTheirSize) {
  struct Case {
    const char* name;
    int width, height;  // at 96 dots per inch; 0: only identified
  } cases[] = {{"ant.wmf", 211, 137},      {"arrow01.wmf", 169, 158},
               {"fjftest.wmf", 794, 1123}, {"formula1.wmf", 222, 41},
               {"sample2.wmf", 300, 129},  {"test_libuemf_ref.wmf", 1122, 794},
               {"p0000001.wmf", 320, 119}, {"text.wmf", 0, 0}};
  for (const Case& c : cases) {
    const fs::path file = testsupport::TestData("wmf") / c.name;
    auto id = Decode(testsupport::ReadFile(file), file.string());
    ASSERT_TRUE(id) << c.name;
    EXPECT_EQ(id->FormatId, fmtWMF) << c.name;
    EXPECT_EQ(id->SubType, "") << c.name;
    EXPECT_EQ(id->ErrorCode, 0) << c.name;
    EXPECT_NE(id->Info[1].find(" Windows metafile"), std::string::npos) << id->Info[1];
    if (c.width && ScreenDpi() == 96) {
      EXPECT_EQ(id->Width, c.width) << c.name;
      EXPECT_NEAR(id->Height, c.height, 1) << c.name;
    }
    // Something was drawn on the white page.
    tMemBmp& pic = *id->Bitmap;
    bool ink = false;
    for (int y = 0; y < pic.Height() && !ink; ++y) {
      const uint8_t* row = pic.GetRGBLine(y);
      for (int x = 0; x < pic.Width() * 3 && !ink; ++x) ink = row[x] != 0xFF;
    }
    EXPECT_TRUE(ink) << c.name;
    // Renderings to look at, when asked for (scripts/screenshot-wmf): a folder to put them in.
    if (const char* shots = std::getenv("TAVIS_SCREENSHOTS")) {
      const std::string out =
          std::string(shots) + "/wmf-" + fs::path(c.name).stem().string() + ".bmp";
      tBuffStream stream(out, CreateFileStream(out), true);
      WriteBMP(pic, stream, false, false, 24);
    }
  }
}

TEST_F(WmfTest, PlainMetafileFillsItsWindowAndIgnoresEscapes) {
  for (bool escape : {false, true}) {
    auto id = Decode(PlainMetafile(escape), "plain.WMF");
    ASSERT_TRUE(id) << escape;
    EXPECT_EQ(id->ErrorCode, 0);
    // 1000 units taken as twips.
    EXPECT_EQ(id->Width, MulDiv(1000, ScreenDpi(), 1440));
    tMemBmp& pic = *id->Bitmap;
    const uint8_t* row = pic.GetRGBLine(pic.Height() / 2);
    const int x = pic.Width() / 4, right = pic.Width() * 3 / 4;
    EXPECT_EQ(row[x * 3 + 2], 255) << escape;  // red on the left
    EXPECT_EQ(row[x * 3 + 1], 0) << escape;
    EXPECT_EQ(row[right * 3 + 1], 255) << escape;  // white on the right
  }
}

TEST_F(WmfTest, EnhancedMetafileHasItsFrameSize) {
  const fs::path dir = testsupport::ScratchDir("wmf_emf");
  const fs::path emf = dir / "frame.emf";
  RECT frame = {0, 0, 5080, 2540};  // 50.8 x 25.4 mm: 2 x 1 inches
  HDC dc = CreateEnhMetaFileW(nullptr, emf.wstring().c_str(), &frame, nullptr);
  ASSERT_NE(dc, nullptr);
  HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
  RECT box = {10, 10, 60, 40};
  FillRect(dc, &box, brush);
  DeleteObject(brush);
  DeleteEnhMetaFile(CloseEnhMetaFile(dc));
  const std::vector<uint8_t> bytes = testsupport::ReadFile(emf);
  auto id = Decode(bytes, emf.string());
  ASSERT_TRUE(id);
  EXPECT_EQ(id->SubType, "\"enhanced\"");
  EXPECT_EQ(id->Width, 2 * ScreenDpi());
  EXPECT_EQ(id->Height, ScreenDpi());
  EXPECT_EQ(id->ErrorCode, 0);
  // The same bytes under another name are not examined.
  EXPECT_FALSE(Identify(bytes, (dir / "frame.bin").string()));
  EXPECT_FALSE(Identify(PlainMetafile(false), "plain.bin"));
}

TEST_F(WmfTest, DamagedMetafilesAreNotIdentified) {
  std::vector<uint8_t> plain = PlainMetafile(false);
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"empty", {}},
      {"header only", std::vector<uint8_t>(plain.begin(), plain.begin() + 10)},
      {"type 3",
       [&] {
         auto v = plain;
         v[0] = 3;
         return v;
       }()},
      {"placeable with inch 0",
       [&] {
         std::vector<uint8_t> v;
         Put32(v, 0x9AC6CDD7), Put16(v, 0), Put16(v, 0), Put16(v, 0), Put16(v, 100), Put16(v, 100),
             Put16(v, 0), Put32(v, 0), Put16(v, 0);
         v.insert(v.end(), plain.begin(), plain.end());
         return v;
       }()},
  };
  for (const Case& c : cases) EXPECT_FALSE(Identify(c.bytes, "bad.wmf")) << c.what;
}

}  // namespace
