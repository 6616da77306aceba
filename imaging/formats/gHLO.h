// Dr. Halo pictures: "AH" screen pictures in the CGA, Hercules, EGA and VGA modes, and "CUT"
// cut-outs whose palette comes from the companion ".pal" file.
#pragma once
#include "imaging/uGraphic.h"

void IdentifyHLO(tGraphicID& id);
void LoadHLO(tGraphicID& id);
void RegisterHLO();
