#pragma once
// The `windows` command: every top-level window (or one given window) with
// its child windows, as a tree.
#include "Args.h"
#include "Json.h"

namespace windriver {

// windows [HWND]
void listWindows(const Args& args, JsonWriter& out);

// A window's text: WM_GETTEXT with a time limit, so a hung window cannot
// stop the driver; the caption stored with the window when it does not answer.
std::wstring windowText(HWND window);

}  // namespace windriver
