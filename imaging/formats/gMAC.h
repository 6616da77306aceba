// MacPaint documents: 576 x 720 bilevel pictures in PackBits rows, bare or behind a MacBinary
// header of file type "PNTG".
#pragma once
#include "imaging/uGraphic.h"

void IdentifyMAC(tGraphicID& id);
void LoadMAC(tGraphicID& id);
void RegisterMAC();
