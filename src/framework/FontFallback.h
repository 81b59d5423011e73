#pragma once
// Glyphs, not boxes: a font made for a text that holds characters its face
// has no glyph for (a title in Japanese in a Western face) is replaced, for
// that text, by a font of the same height and style in a face that has them
// all, taken from a short list: the user-interface faces of Windows for
// Japanese, Chinese and Korean, which cover Latin, Greek and Cyrillic letters
// too, then the faces that Wine finds on Linux (Japanese, then Chinese).
#include <windows.h>

#include <string_view>

#include "framework/Handles.h"

namespace lumora {

// A font like `font` in the first face of the list that has a glyph for
// every character of `text`; null when `font` has them itself or cannot
// tell (a raster font may not), or no face of the list has them: the text is
// then drawn in `font` as it is.
GdiObject<HFONT> CoveringFont(HFONT font, std::wstring_view text);

}  // namespace lumora
