// GEM bit images (Ventura IMG) of 1 or 4 planes: solid runs, pattern runs, bit strings and
// scan-line replication.
#pragma once
#include "imaging/uGraphic.h"

void IdentifyIMG(tGraphicID& id);
void LoadIMG(tGraphicID& id);
void RegisterIMG();
