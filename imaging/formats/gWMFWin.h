// Windows metafiles (placeable, plain and enhanced): played through GDI into a bitmap of the
// metafile's size at screen resolution, which a nested identification then reads as a BMP.
#pragma once
#include "imaging/uGraphic.h"

void IdentifyWMF(tGraphicID& id);
void LoadWMF(tGraphicID& id);
// Puts the metafile reader into the registry at its place (call before RegisterAllFormats).
void InstallMetafileReader();
