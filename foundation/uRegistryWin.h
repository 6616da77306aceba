// The system registry as a registry store (wide registry calls).
#pragma once
#include "foundation/uRegistryStore.h"

// The store over the system registry; the Win32 platform hands it out as Registry().
tRegistryStore& Win32Registry();
