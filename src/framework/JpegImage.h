#pragma once
// A JPEG picture: loaded from a file, decoded at once into a 24-bit top-down
// bitmap held in memory, and drawn stretched into a rectangle.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/Graphic.h"

namespace lumora {

class TJPEGImage : public TGraphic {
public:
    // Replaces the picture with the one in the file. Throws Error when the
    // file cannot be read or holds no valid JPEG picture; the picture is
    // then left as it was.
    void LoadFromFile(const std::string& fileName);

    bool Empty() const override { return pixels_.empty(); }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // StretchDIBits of the whole picture into `rect`, filtered (HALFTONE)
    // when the sizes differ.
    void Draw(HDC dc, const RECT& rect) const override;

    // The colour at column x, row y (0x00BBGGRR); the picture must not be
    // empty and the point must lie on it.
    COLORREF Pixel(int x, int y) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::size_t stride_ = 0;
    std::vector<std::uint8_t> pixels_;  // blue, green, red; rows top down
};

}  // namespace lumora
