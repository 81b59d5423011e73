#include "FrameBuffer.h"

#include <utility>

namespace aurora {

FrameBuffer::~FrameBuffer()
{
    // A bitmap cannot be deleted while a DC holds it.
    if (dc_ && original_)
        SelectObject(dc_.get(), original_);
}

bool FrameBuffer::resize(HWND window, int width, int height)
{
    sample::WindowDc windowDc(window);
    if (!windowDc.get())
        return false;
    if (!dc_)
        dc_.reset(CreateCompatibleDC(windowDc.get()));
    if (!dc_)
        return false;
    sample::GdiObject bitmap(CreateCompatibleBitmap(windowDc.get(), width, height));
    if (!bitmap)
        return false;
    const HGDIOBJ previous = SelectObject(dc_.get(), bitmap.get());
    if (!original_)
        original_ = previous;
    bitmap_ = std::move(bitmap);  // the previous bitmap, no longer selected, goes
    width_ = width;
    height_ = height;
    return true;
}

void FrameBuffer::copyTo(HDC target) const
{
    if (bitmap_)
        BitBlt(target, 0, 0, width_, height_, dc_.get(), 0, 0, SRCCOPY);
}

}  // namespace aurora
