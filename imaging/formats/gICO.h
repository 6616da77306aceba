// Windows icons: one palette image of an icon file, its AND mask making pixels index 0, and,
// when the window has chosen a background colour, that colour as entry 0.
#pragma once
#include "imaging/uGraphic.h"

void IdentifyICO(tGraphicID& id);
void LoadICO(tGraphicID& id);
void RegisterICO();
