#include "framework/Font.h"

#include "base/PathEncoding.h"
#include "framework/Win32Error.h"

namespace lumora {

void TFont::SetName(const std::string& name)
{
    name_ = name;
    handle_.Reset();
}

void TFont::SetHeight(int height)
{
    height_ = height;
    handle_.Reset();
}

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, kLayoutDpi, 72)); }

void TFont::SetStyle(TFontStyles style)
{
    style_ = style;
    handle_.Reset();
}

void TFont::SetCharset(BYTE charset)
{
    charset_ = charset;
    handle_.Reset();
}

void TFont::SetPixelsPerInch(int dpi)
{
    if (dpi == pixelsPerInch_)
        return;
    pixelsPerInch_ = dpi;
    handle_.Reset();
}

void TFont::Assign(const TFont& other)
{
    name_ = other.name_;
    height_ = other.height_;
    style_ = other.style_;
    charset_ = other.charset_;
    color_ = other.color_;
    pixelsPerInch_ = other.pixelsPerInch_;
    handle_.Reset();
}

HFONT TFont::Handle()
{
    if (handle_)
        return handle_.Get();
    LOGFONTW lf{};
    lf.lfHeight = ScaleToDpi(height_, pixelsPerInch_);
    lf.lfWeight = style_.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = style_.Contains(fsItalic);
    lf.lfUnderline = style_.Contains(fsUnderline);
    lf.lfStrikeOut = style_.Contains(fsStrikeOut);
    lf.lfCharSet = charset_;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH;
    // Longer names are cut to the field's size; GDI matches faces by at most
    // LF_FACESIZE - 1 characters anyway.
    WideText(name_).copy(lf.lfFaceName, LF_FACESIZE - 1);
    handle_.Reset(CreateFontIndirectW(&lf));
    if (!handle_)
        RaiseLastOSError("Cannot create the font " + name_);
    return handle_.Get();
}

}  // namespace lumora
