#pragma once
// Reading the command line's values: window handles, numbers and the names
// of the window messages and codes that tests use most.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace windriver {

using Args = std::vector<std::wstring>;

// A number in decimal or 0x-hexadecimal, a known name (WM_CLOSE, BM_CLICK,
// SC_CLOSE, VK_F4, MK_LBUTTON, ...), or "X,Y" for a point packed as an
// LPARAM (x in the low word). Throws UsageError otherwise.
int64_t parseValue(const std::wstring& text);

// A window handle: a number as above that names an existing window.
HWND parseWindow(const std::wstring& text);

std::string narrow(const std::wstring& text);

// Throws UsageError unless `args` holds between `least` and `most` values.
void expectCount(const Args& args, size_t least, size_t most, const char* usage);

}  // namespace windriver
