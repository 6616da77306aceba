// IFF pictures: FORM ILBM (interleaved bit planes) and FORM PBM (a byte per pixel), with 1 to 8
// planes, extra half-brite, HAM6, HAM8 and 24 planes, uncompressed or ByteRun1.
#pragma once
#include "imaging/uGraphic.h"

void IdentifyLBM(tGraphicID& id);
void LoadLBM(tGraphicID& id);
void RegisterLBM();
