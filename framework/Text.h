// UTF-8 inside the programs, UTF-16 at the Win32 boundary.
#pragma once
#include <string>

std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);
