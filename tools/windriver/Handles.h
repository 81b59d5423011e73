#pragma once
// Owners of the system handles and GDI objects the driver uses.
#include <windows.h>

namespace windriver {

class KernelHandle {
public:
    explicit KernelHandle(HANDLE handle) : handle_(handle) {}
    ~KernelHandle()
    {
        if (valid())
            CloseHandle(handle_);
    }
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;

    bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

// The screen's device context, released at the end.
class ScreenDC {
public:
    ScreenDC() : dc_(GetDC(nullptr)) {}
    ~ScreenDC()
    {
        if (dc_)
            ReleaseDC(nullptr, dc_);
    }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;

    HDC get() const { return dc_; }

private:
    HDC dc_;
};

// A memory device context with a 32-bit top-down DIB section selected into
// it; the pixels are readable as 0x00RRGGBB values.
class PixelBuffer {
public:
    PixelBuffer(HDC reference, int width, int height);
    ~PixelBuffer();
    PixelBuffer(const PixelBuffer&) = delete;
    PixelBuffer& operator=(const PixelBuffer&) = delete;

    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // Call after drawing and before reading: GDI may batch its work.
    void flush() const { GdiFlush(); }
    unsigned pixel(int x, int y) const { return bits_[y * width_ + x] & 0xFFFFFFu; }

private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    const unsigned* bits_ = nullptr;
    int width_;
    int height_;
};

}  // namespace windriver
