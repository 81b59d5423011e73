#pragma once
// JPEG files made by the tests themselves, with libjpeg-turbo's encoder.
#include <cstdint>
#include <functional>
#include <vector>

namespace lumora::test {

struct Rgb {
    std::uint8_t red, green, blue;
};

// How a test picture is coded: baseline with full colour resolution, or with
// the colour resolution halved both ways (the common 4:2:0), as a baseline or
// a progressive file; in shades of grey (the luminance alone); with the red,
// green and blue components themselves rather than luminance and colour
// differences; or in the printers' colours cyan, magenta, yellow and black.
enum class JpegCoding { Baseline, Subsampled, ProgressiveSubsampled, Grey, RgbComponents, Cmyk };

// A JPEG file of the given size whose pixel (x, y) has colour(x, y), at
// quality 100, so flat areas come back within a few levels.
std::vector<unsigned char> EncodeJpeg(int width, int height, const std::function<Rgb(int x, int y)>& colour,
                                      JpegCoding coding = JpegCoding::Baseline);

}  // namespace lumora::test
