#include "framework/FontFallback.h"

namespace lumora {

namespace {

// Tried in this order; a face the system lacks is passed over.
constexpr const wchar_t* kFallbackFaces[] = {
    L"MS UI Gothic", L"Microsoft YaHei", L"Malgun Gothic", L"Microsoft JhengHei",  // Windows
    L"IPAPGothic", L"IPAGothic", L"Noto Sans CJK JP",                             // on Linux, through Wine
};

// A text's characters that need a glyph, as counted for GetGlyphIndicesW.
bool NeedsGlyph(wchar_t c) { return c >= 0x20; }

// Selects a font into a context for as long as it lives.
class Selected {
public:
    Selected(HDC dc, HFONT font) : dc_(dc), previous_(SelectObject(dc, font)) {}
    ~Selected()
    {
        if (previous_ && previous_ != HGDI_ERROR)
            SelectObject(dc_, previous_);
    }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Whether the font selected into `dc` has a glyph for each of `count`
// characters.
bool HasGlyphs(HDC dc, const wchar_t* characters, std::size_t count)
{
    WORD glyphs[64];
    if (GetGlyphIndicesW(dc, characters, static_cast<int>(count), glyphs, GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR)
        return false;
    for (std::size_t i = 0; i < count; ++i)
        if (glyphs[i] == 0xFFFF)
            return false;
    return true;
}

bool CoversText(HDC dc, HFONT font, std::wstring_view text)
{
    const Selected selected(dc, font);
    // Asked in pieces, so that a long text needs no buffer of its size.
    wchar_t piece[64];
    std::size_t taken = 0;
    for (const wchar_t c : text) {
        if (!NeedsGlyph(c))
            continue;
        piece[taken++] = c;
        if (taken == sizeof piece / sizeof piece[0]) {
            if (!HasGlyphs(dc, piece, taken))
                return false;
            taken = 0;
        }
    }
    return taken == 0 || HasGlyphs(dc, piece, taken);
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
    WindowDC screen(nullptr);
    if (!screen || CoversText(screen.Get(), font, text))
        return {};
    LOGFONTW lf{};
    if (!GetObjectW(font, sizeof lf, &lf))
        return {};
    for (const wchar_t* face : kFallbackFaces) {
        lstrcpynW(lf.lfFaceName, face, LF_FACESIZE);
        lf.lfCharSet = DEFAULT_CHARSET;
        GdiObject<HFONT> candidate(CreateFontIndirectW(&lf));
        if (candidate && CoversText(screen.Get(), candidate.Get(), text))
            return candidate;
    }
    return {};
}

}  // namespace lumora
