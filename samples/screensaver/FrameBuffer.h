// An off-screen picture of a window's size: frames are drawn here and copied
// to the window in one go, so the window never shows half a frame.
#pragma once

#include <windows.h>

#include "Handles.h"

namespace aurora {

class FrameBuffer {
public:
    FrameBuffer() = default;
    ~FrameBuffer();
    FrameBuffer(const FrameBuffer&) = delete;
    FrameBuffer& operator=(const FrameBuffer&) = delete;

    // Makes the picture `width` x `height`, fit for `window`; false on failure.
    bool resize(HWND window, int width, int height);
    bool ready() const { return static_cast<bool>(bitmap_); }
    HDC dc() const { return dc_.get(); }
    void copyTo(HDC target) const;

private:
    sample::MemoryDc dc_;
    sample::GdiObject bitmap_;
    HGDIOBJ original_ = nullptr;  // the DC's own bitmap: selected back, never deleted
    int width_ = 0;
    int height_ = 0;
};

}  // namespace aurora
