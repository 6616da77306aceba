// ColoRIX "RIX3" pictures (16 or 256 colours, 6-bit palette) and 112016-byte EGA paint files
// (640 x 350, 16 colours, whole planes one after another).
#pragma once
#include "imaging/uGraphic.h"

void IdentifyRIX(tGraphicID& id);
void LoadRIX(tGraphicID& id);
void RegisterRIX();
