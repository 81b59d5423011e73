#include "framework/FontFallback.h"

#include <algorithm>

namespace lumora {

namespace {

// Tried in this order. For a face the system lacks, GDI gives another,
// which is taken only when it has the glyphs.
constexpr const wchar_t* kFallbackFaces[] = {
    L"MS UI Gothic", L"Microsoft YaHei", L"Malgun Gothic", L"Microsoft JhengHei",  // Windows
    L"IPAPGothic", L"IPAGothic", L"Noto Sans CJK JP",                             // on Linux, through Wine
};

// Whether the font selected into `dc` has a glyph for every character of
// `text`; control characters (line ends, tabs) need none. Asked in pieces,
// so that a long text needs no buffer of its size.
bool HasGlyphs(HDC dc, std::wstring_view text)
{
    constexpr std::size_t kPiece = 64;
    WORD glyphs[kPiece];
    for (std::size_t at = 0; at < text.size(); at += kPiece) {
        const std::size_t count = std::min(kPiece, text.size() - at);
        if (GetGlyphIndicesW(dc, text.data() + at, static_cast<int>(count), glyphs, GGI_MARK_NONEXISTING_GLYPHS) ==
            GDI_ERROR)
            return false;
        for (std::size_t i = 0; i < count; ++i)
            if (glyphs[i] == 0xFFFF && text[at + i] >= 0x20)
                return false;
    }
    return true;
}

bool CoversText(HDC dc, HFONT font, std::wstring_view text)
{
    const HGDIOBJ previous = SelectObject(dc, font);
    const bool covered = HasGlyphs(dc, text);
    SelectObject(dc, previous);
    return covered;
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
