#include "framework/JpegImage.h"

#include <utility>

#include "base/Error.h"
#include "framework/FileStream.h"
#include "picture/JpegDecoder.h"

namespace lumora {

namespace {

// Larger files are refused unread: a picture of the backdrop is far smaller.
constexpr std::int64_t kMaxFileSize = 64 * 1024 * 1024;

std::vector<std::uint8_t> ReadWholeFile(const std::string& fileName)
{
    TFileStream file(fileName, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
    const std::int64_t size = file.Size();
    if (size < 0 || size > kMaxFileSize)
        throw Error("The picture " + fileName + " is too large");
    std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
    file.ReadBuffer(data.data(), data.size());
    return data;
}

}  // namespace

void TJPEGImage::LoadFromFile(const std::string& fileName)
{
    const std::vector<std::uint8_t> data = ReadWholeFile(fileName);
    DecodedJpeg decoded = DecodeJpeg(data.data(), data.size());
    width_ = decoded.width;
    height_ = decoded.height;
    stride_ = decoded.stride;
    pixels_ = std::move(decoded.pixels);
}

void TJPEGImage::Draw(HDC dc, const RECT& rect) const
{
    if (Empty())
        return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;  // negative: the top row comes first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    // Stretched, the picture is filtered rather than drawn in blocks of
    // repeated pixels. The mode and brush origin stay set in `dc`.
    if (width != width_ || height != height_) {
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
    }
    StretchDIBits(dc, rect.left, rect.top, width, height, 0, 0, width_, height_, pixels_.data(), &info,
                  DIB_RGB_COLORS, SRCCOPY);
}

COLORREF TJPEGImage::Pixel(int x, int y) const
{
    const std::uint8_t* p = pixels_.data() + static_cast<std::size_t>(y) * stride_ + static_cast<std::size_t>(x) * 3;
    return RGB(p[2], p[1], p[0]);
}

}  // namespace lumora
