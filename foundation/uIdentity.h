// The program's name and version, joined as every title and about text shows them.
#pragma once
#include <string>

// The program name, one blank and the whole version text.
std::string ProgramNameAndVersion();
