// Shared by the tests of the small palette readers: decoding bytes held in memory under a
// chosen file name, and watching the decoder's messages.
#pragma once
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

// Calls OnMessage for every decoder message.
class tWatchPlatform : public tPlainPlatform {
 public:
  std::function<void(unsigned, uintptr_t)> OnMessage;
  intptr_t SendWindowMessage(intptr_t, unsigned message, uintptr_t wparam, intptr_t) override {
    if (OnMessage) OnMessage(message, wparam);
    return 0;
  }
};

}  // namespace readertest
