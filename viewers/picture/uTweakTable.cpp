#include "viewers/picture/uTweakTable.h"

#include <algorithm>
#include <span>

#include "foundation/uUtil.h"
#include "imaging/Palettes.h"

namespace {
uint8_t ClampToByte(int v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }
}  // namespace

double TweakGammaExponent(int g) {
  if (g < 50) return 1.01 + (49 - g) * 0.99 / 49;
  if (g > 50) return 0.5 + (100 - g) * 0.49 / 49;
  return 1.0;
}

void BuildTweakTable(const int32_t s[kTweakSliders], uint8_t table[256][3]) {
  for (int i = 0; i < 256; ++i) table[i][0] = table[i][1] = table[i][2] = static_cast<uint8_t>(i);
  auto mapAll = [&](const uint8_t* map) {
    for (auto& t : std::span<uint8_t[3]>(table, 256))
      for (uint8_t& c : t) c = map[c];
  };
  if (s[tsGamma] != 50) {
    const tGammaTable g = GammaTable(TweakGammaExponent(s[tsGamma]));
    mapAll(g.data());
  }
  if (s[tsContrast] != 50) {
    const int d = (s[tsContrast] - 50) * 2;
    uint8_t map[256];
    for (int i = 0; i < 256; ++i) {
      const int t = i < 128 ? (127 - i) * 2 : (i - 128) * 2;
      const int v = (ClampToByte(MulDivRound(t, d + 254, 254)) & 255) / 2;
      map[i] = static_cast<uint8_t>(i < 128 ? 127 - v : 128 + v);
    }
    mapAll(map);
  }
  if (s[tsBright] != 50) {
    const int b = s[tsBright] - 50;
    for (auto& t : std::span<uint8_t[3]>(table, 256))
      for (uint8_t& c : t) c = ClampToByte(c + b);
  }
  for (int k = 0; k < 3; ++k) {
    const int shift = s[tsRed + k] - 50;
    if (shift == 0) continue;
    for (int i = 0; i < 256; ++i) table[i][k] = ClampToByte(table[i][k] + shift);
  }
}
