// RIP icons: 16-colour pictures stored as four bit-plane rows per line, highest bit first.
#pragma once
#include "imaging/uGraphic.h"

void IdentifyRIP(tGraphicID& id);
void LoadRIP(tGraphicID& id);
void RegisterRIP();
