#include "framework/FontFallback.h"

#include <algorithm>

namespace lumora {

namespace {

// Tried in this order. For a face the system lacks, GDI gives another,
// which is taken only when it has the glyphs.
constexpr const wchar_t* kFallbackFaces[] = {
    L"MS UI Gothic", L"Microsoft YaHei", L"Malgun Gothic", L"Microsoft JhengHei",  // Windows
    L"IPAPGothic", L"IPAGothic", L"Noto Sans CJK JP", L"WenQuanYi Micro Hei",     // on Linux, through Wine
};

enum class Glyphs { All, Missing, Unknown };

// Whether the font selected into `dc` has a glyph for every character of
// `text`; control characters (line ends, tabs) need none. Asked in pieces,
// so that a long text needs no buffer of its size. Unknown when the font
// cannot tell (the call fails).
Glyphs GlyphsOf(HDC dc, std::wstring_view text)
{
    constexpr std::size_t kPiece = 64;
    WORD glyphs[kPiece];
    for (std::size_t at = 0; at < text.size(); at += kPiece) {
        const std::size_t count = std::min(kPiece, text.size() - at);
        if (GetGlyphIndicesW(dc, text.data() + at, static_cast<int>(count), glyphs, GGI_MARK_NONEXISTING_GLYPHS) ==
            GDI_ERROR)
            return Glyphs::Unknown;
        for (std::size_t i = 0; i < count; ++i)
            if (glyphs[i] == 0xFFFF && text[at + i] >= 0x20)
                return Glyphs::Missing;
    }
    return Glyphs::All;
}

Glyphs GlyphsOf(HDC dc, HFONT font, std::wstring_view text)
{
    const HGDIOBJ previous = SelectObject(dc, font);
    const Glyphs glyphs = GlyphsOf(dc, text);
    SelectObject(dc, previous);
    return glyphs;
}

bool HasOnlyAscii(std::wstring_view text)
{
    for (const wchar_t c : text)
        if (c >= 0x80)
            return false;
    return true;
}

}  // namespace

GdiObject<HFONT> CoveringFont(HFONT font, std::wstring_view text)
{
    // Every face of a Windows font has the letters of ASCII: the common
    // case asks the system nothing.
    if (HasOnlyAscii(text))
        return {};
    // A font that cannot tell keeps its text.
    WindowDC screen(nullptr);
    if (!screen || GlyphsOf(screen.Get(), font, text) != Glyphs::Missing)
        return {};
    LOGFONTW lf{};
    if (!GetObjectW(font, sizeof lf, &lf))
        return {};
    for (const wchar_t* face : kFallbackFaces) {
        std::size_t i = 0;
        for (; face[i] && i < LF_FACESIZE - 1; ++i)
            lf.lfFaceName[i] = face[i];
        lf.lfFaceName[i] = L'\0';
        lf.lfCharSet = DEFAULT_CHARSET;
        GdiObject<HFONT> candidate(CreateFontIndirectW(&lf));
        if (candidate && GlyphsOf(screen.Get(), candidate.Get(), text) == Glyphs::All)
            return candidate;
    }
    return {};
}

}  // namespace lumora
