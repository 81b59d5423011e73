#pragma once
// JPEG decoding on libjpeg-turbo into rows of blue, green, red bytes, top row
// first, each row padded to a multiple of 4 bytes: the layout of a 24-bit
// top-down device-independent bitmap.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lumora {

struct DecodedJpeg {
    int width = 0;
    int height = 0;
    std::size_t stride = 0;  // bytes per row
    std::vector<std::uint8_t> pixels;
    // Damage libjpeg passed over (a picture cut short, corrupt data): how
    // often, and its description of the first; the picture shows it.
    long warnings = 0;
    std::string firstWarning;
};

// Pictures with more pixels than this are refused rather than decoded.
constexpr std::uint64_t kMaxJpegPixels = 64ull * 1024 * 1024;

// Decodes a whole JPEG file held in memory. Throws Error with libjpeg's
// description when the data is no JPEG, is damaged beyond what libjpeg
// repairs, uses a colour space that cannot become RGB, or is too large.
// A truncated picture is completed by libjpeg (grey rows) and is no error;
// `warnings` tells of it.
DecodedJpeg DecodeJpeg(const std::uint8_t* data, std::size_t size);

}  // namespace lumora
