// The moving picture: soft colour bands that drift up and down the area and
// the word "Aurora" bouncing off its edges. With random play the colours,
// the drift speed and the logo's start are chosen at random on every run;
// without it they are always the same.
#pragma once

#include <windows.h>

#include "Handles.h"

namespace aurora {

class AuroraScene {
public:
    AuroraScene(bool randomPlay, unsigned seed);

    // Fits the picture to an area of `width` x `height`; `dc` measures the logo.
    void resize(HDC dc, int width, int height);
    // Moves the picture on by one frame.
    void step();
    // Draws the whole area.
    void paint(HDC dc) const;

private:
    struct Colour {
        double red, green, blue;
    };

    unsigned nextRandom();
    double randomBetween(double low, double high);
    Colour randomColour();
    COLORREF bandColour(double at) const;
    void placeLogo();

    bool randomPlay_;
    unsigned state_;
    Colour colours_[3];
    double phase_ = 0.0;
    double speed_;
    int width_ = 0;
    int height_ = 0;
    sample::GdiObject font_;
    SIZE logo_{0, 0};
    double logoX_ = 0.0;
    double logoY_ = 0.0;
    double stepX_ = 0.0;
    double stepY_ = 0.0;
};

}  // namespace aurora
