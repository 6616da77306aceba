// The media routines that need the running program: the "reset.mid" beside it, played before
// MIDI files so the MIDI device starts from a known state.
#pragma once
#include <string>

#include "framework/Mci.h"

// The program's folder with "reset.mid"; true when that file exists.
bool GetResetMidiPath(std::string& path);
// Opens "reset.mid" (when it exists) in the player and plays it to its end.
void PlayResetMidi(TMciPlayer& player);
