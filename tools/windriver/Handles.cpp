#include "Handles.h"

#include "Failure.h"

namespace windriver {

PixelBuffer::PixelBuffer(HDC reference, int width, int height) : width_(width), height_(height)
{
    if (width <= 0 || height <= 0)
        throw Failure("empty pixel buffer");
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    dc_ = CreateCompatibleDC(reference);
    if (!dc_)
        throw systemFailure("CreateCompatibleDC");
    bitmap_ = CreateDIBSection(reference, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap_) {
        DeleteDC(dc_);
        throw systemFailure("CreateDIBSection");
    }
    bits_ = static_cast<const unsigned*>(bits);
    previous_ = SelectObject(dc_, bitmap_);
}

PixelBuffer::~PixelBuffer()
{
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

}  // namespace windriver
