// One file of every format that this build registers: each is identified by its own handler at
// its place in the fixed order, straight and behind a 128-byte MacBinary header.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "imaging/formats/gBMP.h"
#include "imaging/formats/gGIF.h"
#include "imaging/formats/gHLO.h"
#include "imaging/formats/gICO.h"
#include "imaging/formats/gIMG.h"
#include "imaging/formats/gJPG.h"
#include "imaging/formats/gLBM.h"
#include "imaging/formats/gMAC.h"
#include "imaging/formats/gPBM.h"
#include "imaging/formats/gPCX.h"
#include "imaging/formats/gPIC.h"
#include "imaging/formats/gPNG.h"
#include "imaging/formats/gRIP.h"
#include "imaging/formats/gRIX.h"
#include "imaging/formats/gRLE.h"
#include "imaging/formats/gReader_testkit.h"
#include "imaging/formats/gTGA.h"
#include "imaging/formats/gTIF.h"
#include "imaging/uGraphic.h"
#include "tests/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using namespace readertest;

// A file of the format in dir: made here, or by a Debian tool from base.ppm / base.pbm. Empty
// when it cannot be made in this build (no tools under Wine).
using tMaker = std::function<fs::path(const fs::path& dir)>;

struct tFormatCase {
  int formatId;
  tGraphicProc identify;  // the handler that must win
  tMaker make;
  bool macBinary;  // also identified behind a MacBinary header
};

fs::path Written(const fs::path& dir, const std::string& name, const std::vector<uint8_t>& bytes) {
  testsupport::WriteFile(dir / name, bytes);
  return dir / name;
}

tMaker Tool(const std::string& name, const std::string& command) {
  return [=](const fs::path& dir) -> fs::path {
    if (!testsupport::HaveTools()) return {};
    if (testsupport::Run("cd '" + dir.string() + "' && " + command + " >" + name +
                         " 2>/dev/null") != 0)
      return {};
    return dir / name;
  };
}

std::vector<uint8_t> SmallBmp() {
  tMemBmp pic;
  uint8_t quads[8] = {0, 0, 0, 0, 255, 255, 255, 0};
  pic.Allocate(8, 4, true, quads, 2, 1);
  tBuffStream out("x.bmp", std::make_unique<TMemoryStream>(), true);
  WriteBMP(pic, out, false, false, 1);
  out.Flush();
  auto* mem = static_cast<TMemoryStream*>(out.Stream.get());
  return mem->Data();
}

const std::vector<tFormatCase>& Cases() {
  static const std::vector<tFormatCase> cases = {
      {fmtBMP, IdentifyBMP, [](const fs::path& d) { return Written(d, "x.bmp", SmallBmp()); },
       true},
      {fmtICO, IdentifyICO,
       [](const fs::path& d) {
         // 8 x 8, two colours: header, table, 8 XOR and 8 AND rows of 4 bytes.
         std::vector<uint8_t> v = {0, 0, 1, 0, 1, 0, 8, 8, 2, 0, 1, 0, 1, 0};
         Put32(v, 40 + 8 + 64), Put32(v, 22);
         Put32(v, 40), Put32(v, 8), Put32(v, 16), Put16(v, 1), Put16(v, 1);
         v.resize(v.size() + 24, 0);
         Put32(v, 0), Put32(v, 0xFFFFFF);
         for (int i = 0; i < 16; ++i) Put32(v, i < 8 ? 0x5A : 0);
         return Written(d, "x.ico", v);
       },
       true},
      {fmtGIF, IdentifyGIF, Tool("x.gif", "pamtogif base.ppm"), true},
      {fmtPNG, IdentifyPNG, Tool("x.png", "pnmtopng base.ppm"), true},
      {fmtTGA, IdentifyTGA, Tool("x.tga", "pamtotga base.ppm"), true},
      {fmtRLE, IdentifyRLE,
       [](const fs::path& d) {
         std::vector<uint8_t> v = {0x1B, 'G', 'H'};
         v.insert(v.end(), 256, 32 + 96);
         return Written(d, "x.rle", v);
       },
       true},
      // MacPaint is looked for only at the start of the file.
      {fmtMAC, IdentifyMAC, Tool("x.mac", "pbmtomacp base.pbm"), false},
      {fmtPBM, IdentifyPBM, Tool("x.ppm", "cat base.ppm"), true},
      {fmtIMG, IdentifyIMG, Tool("x.img", "pbmtogem base.pbm"), true},
      {fmtRIP, IdentifyRIP,
       [](const fs::path& d) {
         std::vector<uint8_t> v = {15, 0, 3, 0};  // 16 x 4: 4 rows of 4 planes of 2 bytes
         for (int i = 0; i < 32; ++i) v.push_back(static_cast<uint8_t>(i * 37));
         v.push_back(0);
         return Written(d, "x.icn", v);
       },
       true},
      {fmtRIX, IdentifyRIX,
       [](const fs::path& d) {
         std::vector<uint8_t> v = {'R', 'I', 'X', '3', 4, 0, 2, 0, 0xAB, 4};
         for (int i = 0; i < 48 + 2 * 4; ++i) v.push_back(static_cast<uint8_t>(i % 64));
         return Written(d, "x.rix", v);
       },
       true},
      {fmtPIC, IdentifyPIC,
       [](const fs::path& d) {
         std::vector<uint8_t> v;
         Put16(v, 0x1234), Put16(v, 8), Put16(v, 2), Put16(v, 0), Put16(v, 0);
         v.insert(v.end(), {8, 0xFF, 'A'});
         Put16(v, 0), Put16(v, 0), Put16(v, 1);
         Put16(v, 5 + 4), Put16(v, 16), v.insert(v.end(), {0xE7, 0xE7, 16, 3});
         return Written(d, "x.pic", v);
       },
       true},
      {fmtPCX, IdentifyPCX, Tool("x.pcx", "ppmtopcx base.ppm"), true},
      {fmtHLO, IdentifyHLO,
       [](const fs::path& d) {
         std::vector<uint8_t> v = {'A', 'H', 227, 0, 0, 0, 2, 1, 0, 0, 0, 0, 0, 0, 0, 0};
         for (int i = 0; i < 126; ++i) v.insert(v.end(), {0x80 | 127, static_cast<uint8_t>(i)});
         return Written(d, "x.hlo", v);
       },
       true},
      {fmtLBM, IdentifyLBM, Tool("x.lbm", "ppmtoilbm base.ppm"), true},
      {fmtTIF, IdentifyTIF, Tool("x.tif", "pamtotiff base.ppm"), true},
      {fmtJPG, IdentifyJPG, Tool("x.jpg", "cjpeg base.ppm"), true},
  };
  return cases;
}

class FormatOrderTest : public testing::Test {
 protected:
  void SetUp() override {
    RegisterAllFormats();
    dir = testsupport::ScratchDir("format_order");
    if (testsupport::HaveTools()) {
      ASSERT_EQ(testsupport::Run("cd '" + dir.string() +
                                 "' && pbmmake -g 48 32 >base.pbm &&"
                                 " ppmrainbow -width 48 -height 32 red blue >base.ppm"),
                0);
    }
  }
  void TearDown() override { UnregisterAllFormats(); }
  int IndexOf(tGraphicProc identify) const {
    const auto& list = GraphicFiles();
    for (size_t i = 0; i < list.size(); ++i)
      if (list[i].Identify == identify) return static_cast<int>(i);
    return -1;
  }
  fs::path dir;
};

TEST_F(FormatOrderTest, HandlersAreRegisteredInTheFixedOrder) {
  // The cases are listed in the fixed order; the registry holds them in the same order.
  int previous = -1;
  for (const tFormatCase& c : Cases()) {
    const int index = IndexOf(c.identify);
    ASSERT_GE(index, 0) << FormatName(c.formatId) << " is not registered";
    EXPECT_GT(index, previous) << FormatName(c.formatId) << " is out of order";
    previous = index;
  }
  EXPECT_EQ(GraphicFiles().front().Identify, &IdentifyBMP);
}

TEST_F(FormatOrderTest, EachFormatIsIdentifiedByItsOwnHandler) {
  int tried = 0;
  for (const tFormatCase& c : Cases()) {
    const std::string what = FormatName(c.formatId);
    const fs::path file = c.make(dir);
    if (file.empty()) continue;  // cannot be made in this build
    std::vector<uint8_t> bytes = testsupport::ReadFile(file);
    auto id = Identify(bytes, file.string());
    ASSERT_TRUE(id) << what;
    EXPECT_EQ(id->FormatId, c.formatId) << what;
    EXPECT_EQ(id->HandlerIndex, IndexOf(c.identify)) << what;
    EXPECT_EQ(id->Stream->Base, 0) << what;
    ++tried;
    if (!c.macBinary) continue;
    // A MacBinary header: version 0, the name, zeros.
    std::vector<uint8_t> wrapped(128, 0);
    wrapped[1] = 1, wrapped[2] = 'x';
    wrapped.insert(wrapped.end(), bytes.begin(), bytes.end());
    id = Identify(wrapped, file.string());
    ASSERT_TRUE(id) << what << " behind MacBinary";
    EXPECT_EQ(id->FormatId, c.formatId) << what << " behind MacBinary";
    EXPECT_EQ(id->Stream->Base, 128) << what;
    EXPECT_NE(std::find(id->Info.begin(), id->Info.end(), "bMacBinary header (skipped)"),
              id->Info.end())
        << what;
  }
  // Where the tools run every case is made; under Wine only the hand-made ones.
  if (testsupport::HaveTools()) {
    EXPECT_EQ(tried, static_cast<int>(Cases().size()));
  } else {
    EXPECT_GE(tried, 6);
  }
}

}  // namespace
