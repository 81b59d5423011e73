#pragma once
// The edges drawn around a bevelled area.
#include <windows.h>

#include "framework/Canvas.h"

namespace lumora {

// A sunken edge two pixels wide just inside `rect`, on all four sides.
void DrawSunkenBevel(TCanvas& canvas, const RECT& rect);

}  // namespace lumora
