// PBMPLUS raw greymaps ("P5") and raw pixmaps ("P6") with a maximum value of 255.
#pragma once
#include "imaging/uGraphic.h"

void IdentifyPBM(tGraphicID& id);
void LoadPBM(tGraphicID& id);
void RegisterPBM();
