// PC Paint/Pictor pictures: 1, 2, 4 or 8 bits per pixel or four whole bit planes, in blocks
// of run-coded data with a per-block run marker, bottom row first.
#pragma once
#include "imaging/uGraphic.h"

void IdentifyPIC(tGraphicID& id);
void LoadPIC(tGraphicID& id);
void RegisterPIC();
