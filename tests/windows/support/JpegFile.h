#pragma once
// JPEG files made by the tests themselves, with libjpeg-turbo's encoder.
#include <cstdint>
#include <functional>
#include <vector>

namespace lumora::test {

struct Rgb {
    std::uint8_t red, green, blue;
};

// A JPEG file of the given size whose pixel (x, y) has colour(x, y); full
// colour resolution (no chroma subsampling) at quality 100, so flat areas
// come back within a few levels.
std::vector<unsigned char> EncodeJpeg(int width, int height, const std::function<Rgb(int x, int y)>& colour);

}  // namespace lumora::test
