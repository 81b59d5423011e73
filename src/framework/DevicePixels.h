#pragma once
// Device pixels. Layouts give positions, sizes and font heights in pixels at
// 96 DPI (100 % display scale); a window shows them at its own DPI.
// ScaleToDpi is the one place that turns the former into the latter, so at
// 96 DPI every value passes through unchanged.
#include <windows.h>

namespace lumora {

// The DPI that layouts are given at.
constexpr int kLayoutDpi = 96;

// `pixels` of a layout as pixels at `dpi`, rounded as MulDiv rounds (halves
// away from zero).
int ScaleToDpi(int pixels, int dpi);

// The DPI of `window`: GetDpiForWindow where the system has it (Windows 10
// version 1607 and later), else the system's, which is also the answer for
// no window.
int DpiOf(HWND window);

}  // namespace lumora
