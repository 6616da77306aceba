// The adjustment tool's colour table: gamma, contrast, brightness and the three colour shifts
// of its sliders (0..100, 50 = no change) turned into one lookup table of output triples.
#pragma once
#include <cstdint>

enum : int { tsGamma = 0, tsContrast, tsBright, tsRed, tsGreen, tsBlue, kTweakSliders };

// table[i] = (red, green, blue) for input value i.
void BuildTweakTable(const int32_t sliders[kTweakSliders], uint8_t table[256][3]);
// The exponent of the gamma slider (1 at 50).
double TweakGammaExponent(int slider);
