// CompuServe RLE: a bilevel picture of 128 x 96 or 256 x 192 pixels behind a terminal escape
// sequence, stored as alternating runs of black and white.
#pragma once
#include "imaging/uGraphic.h"

void IdentifyRLE(tGraphicID& id);
void LoadRLE(tGraphicID& id);
void RegisterRLE();
