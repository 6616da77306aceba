// File-name patterns as a Windows directory search reads them, for the plain platform.
#pragma once
#include <string>

bool HasWildcard(const std::string& pattern);
// "*" any run of characters, "?" one character, letters compared without case. As on
// Windows, a pattern ending in ".*" also takes names without a dot ("*.*" takes every name)
// and one ending in "." takes only names without a dot.
bool MatchesFilePattern(const std::string& pattern, const std::string& name);
