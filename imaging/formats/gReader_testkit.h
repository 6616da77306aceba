// Shared by the tests of the readers: decoding bytes held in memory under a chosen file name,
// test fixtures with every format registered, and watching the decoder's messages.
#pragma once
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/uPlatform.h"
#include "imaging/uGraphic.h"

namespace readertest {

inline void Put16(std::vector<uint8_t>& v, int x) {
  v.push_back(static_cast<uint8_t>(x));
  v.push_back(static_cast<uint8_t>(x >> 8));
}
inline void Put32(std::vector<uint8_t>& v, uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}

// Identifies bytes under the name; null when no format knows them. before runs on the id
// before identification (for example to choose a background colour).
inline std::unique_ptr<tGraphicID> Identify(const std::vector<uint8_t>& bytes,
                                            const std::string& name,
                                            const std::function<void(tGraphicID&)>& before = {}) {
  auto* stream = new tBuffStream(name, std::make_unique<TMemoryStream>(bytes), false);
  auto id = std::make_unique<tGraphicID>(stream);
  if (before) before(*id);
  if (!id->IdentifyPicture()) {
    delete stream;
    return nullptr;
  }
  return id;
}

// Identifies and decodes; null when not identified.
inline std::unique_ptr<tGraphicID> Decode(const std::vector<uint8_t>& bytes,
                                          const std::string& name,
                                          const std::function<void(tGraphicID&)>& before = {}) {
  auto id = Identify(bytes, name, before);
  if (id) id->LoadPicture();
  return id;
}

// The pixel indices of row y.
inline std::vector<uint8_t> Row(tGraphicID& id, int y) {
  const uint8_t* row = id.Bitmap->GetByteLine(y);
  return std::vector<uint8_t>(row, row + id.Bitmap->Width());
}

// Pixel x of row y as blue, green, red.
inline std::array<uint8_t, 3> Bgr(tGraphicID& id, int x, int y) {
  const uint8_t* p = id.Bitmap->GetRGBLine(y) + 3 * x;
  return {p[0], p[1], p[2]};
}

// A row of a table of identification cases: what changes in a file's recipe, and whether the
// file is still identified.
template <class tRecipe>
struct tIdentifyCase {
  const char* what;
  void (*change)(tRecipe&);
  bool identified;
};

// Calls OnMessage for every decoder message.
class tWatchPlatform : public tPlainPlatform {
 public:
  std::function<void(unsigned, uintptr_t)> OnMessage;
  intptr_t SendWindowMessage(intptr_t, unsigned message, uintptr_t wparam, intptr_t) override {
    if (OnMessage) OnMessage(message, wparam);
    return 0;
  }
};

// Every format registered; Decode takes bytes under fileName unless given a name.
class tFormatsTest : public testing::Test {
 protected:
  void SetUp() override { RegisterAllFormats(); }
  void TearDown() override { UnregisterAllFormats(); }
  std::unique_ptr<tGraphicID> Decode(const std::vector<uint8_t>& bytes) const {
    return readertest::Decode(bytes, fileName);
  }
  std::unique_ptr<tGraphicID> Decode(const std::vector<uint8_t>& bytes, const std::string& name,
                                     const std::function<void(tGraphicID&)>& before = {}) const {
    return readertest::Decode(bytes, name, before);
  }
  std::string fileName = "pic.dat";
};

// The same with the decoder's messages going to platform; the graphic options are reset after.
class tWatchedFormatsTest : public tFormatsTest {
 protected:
  void SetUp() override {
    tFormatsTest::SetUp();
    SetPlatform(&platform);
  }
  void TearDown() override {
    tFormatsTest::TearDown();
    SetPlatform(nullptr);
    GraphicOptions = 0;
  }
  tWatchPlatform platform;
};

}  // namespace readertest
