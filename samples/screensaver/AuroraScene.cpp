#include "AuroraScene.h"

#include <algorithm>
#include <cmath>

namespace aurora {

namespace {

const char kLogo[] = "Aurora";
const int kLogoLength = sizeof kLogo - 1;
const double kTwoPi = 6.283185307179586;
// Bands are painted in strips of this many pixels; the eye sees a gradient.
const int kStripHeight = 4;

// Where the logo may go along one side: the side's length less the logo's.
double room(int extent, LONG logo)
{
    return std::max(static_cast<double>(extent) - logo, 0.0);
}

int clampChannel(double value)
{
    return std::max(0, std::min(255, static_cast<int>(value)));
}

}  // namespace

AuroraScene::AuroraScene(bool randomPlay, unsigned seed)
    : randomPlay_(randomPlay), state_(seed ? seed : 0x2545F491u)
{
    if (randomPlay_) {
        for (Colour& colour : colours_)
            colour = randomColour();
        speed_ = randomBetween(0.03, 0.09);
    } else {
        colours_[0] = {20, 200, 120};
        colours_[1] = {40, 110, 220};
        colours_[2] = {150, 60, 200};
        speed_ = 0.05;
    }
}

unsigned AuroraScene::nextRandom()
{
    // xorshift32: enough for colours.
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
}

double AuroraScene::randomBetween(double low, double high)
{
    return low + (high - low) * (nextRandom() % 10000) / 10000.0;
}

AuroraScene::Colour AuroraScene::randomColour()
{
    // One channel strong, one weak, one in between: bright, never grey.
    double channels[3] = {randomBetween(180, 255), randomBetween(0, 60), randomBetween(60, 200)};
    const unsigned turn = nextRandom() % 3;
    std::rotate(channels, channels + turn, channels + 3);
    return {channels[0], channels[1], channels[2]};
}

void AuroraScene::resize(HDC dc, int width, int height)
{
    width_ = std::max(width, 1);
    height_ = std::max(height, 1);
    font_.reset(CreateFontA(-std::max(height_ / 7, 8), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                            DEFAULT_PITCH | FF_SWISS, "Arial"));
    logo_ = SIZE{0, 0};
    if (font_) {
        sample::Selection font(dc, font_.get());
        GetTextExtentPoint32A(dc, kLogo, kLogoLength, &logo_);
    }
    placeLogo();
}

void AuroraScene::placeLogo()
{
    const double roomX = room(width_, logo_.cx);
    const double roomY = room(height_, logo_.cy);
    const double pace = std::max(width_ / 320.0, 0.5);
    if (randomPlay_) {
        logoX_ = randomBetween(0, roomX);
        logoY_ = randomBetween(0, roomY);
        stepX_ = pace * randomBetween(1.0, 2.5) * ((nextRandom() & 1) ? 1 : -1);
        stepY_ = pace * randomBetween(1.0, 2.5) * ((nextRandom() & 1) ? 1 : -1);
    } else {
        logoX_ = roomX / 3;
        logoY_ = roomY / 4;
        stepX_ = pace * 2.0;
        stepY_ = pace * 1.5;
    }
}

void AuroraScene::step()
{
    phase_ = std::fmod(phase_ + speed_, kTwoPi);
    const double roomX = room(width_, logo_.cx);
    const double roomY = room(height_, logo_.cy);
    logoX_ += stepX_;
    logoY_ += stepY_;
    if (logoX_ < 0 || logoX_ > roomX) {
        stepX_ = -stepX_;
        logoX_ = std::max(0.0, std::min(logoX_, roomX));
    }
    if (logoY_ < 0 || logoY_ > roomY) {
        stepY_ = -stepY_;
        logoY_ = std::max(0.0, std::min(logoY_, roomY));
    }
}

COLORREF AuroraScene::bandColour(double at) const
{
    // Two waves of different length run against each other through the
    // three colours; the sky darkens towards the bottom.
    const double first = 0.5 + 0.5 * std::sin(kTwoPi * at * 1.3 + phase_);
    const double second = 0.5 + 0.5 * std::sin(kTwoPi * at * 0.7 - phase_ * 0.6 + 1.0);
    const double fade = 0.25 + 0.75 * (1.0 - at);
    const Colour& a = colours_[0];
    const Colour& b = colours_[1];
    const Colour& c = colours_[2];
    const double mix = second * 0.6;
    const double red = ((a.red * (1 - first) + b.red * first) * (1 - mix) + c.red * mix) * fade;
    const double green = ((a.green * (1 - first) + b.green * first) * (1 - mix) + c.green * mix) * fade;
    const double blue = ((a.blue * (1 - first) + b.blue * first) * (1 - mix) + c.blue * mix) * fade;
    return RGB(clampChannel(red), clampChannel(green), clampChannel(blue));
}

void AuroraScene::paint(HDC dc) const
{
    const HGDIOBJ brush = GetStockObject(DC_BRUSH);
    for (int top = 0; top < height_; top += kStripHeight) {
        SetDCBrushColor(dc, bandColour(static_cast<double>(top) / height_));
        RECT strip{0, top, width_, std::min(top + kStripHeight, height_)};
        FillRect(dc, &strip, static_cast<HBRUSH>(brush));
    }
    if (!font_)
        return;
    sample::Selection font(dc, font_.get());
    SetBkMode(dc, TRANSPARENT);
    const int x = static_cast<int>(logoX_);
    const int y = static_cast<int>(logoY_);
    const int shadow = std::max(height_ / 150, 1);
    SetTextColor(dc, RGB(0, 0, 0));
    TextOutA(dc, x + shadow, y + shadow, kLogo, kLogoLength);
    SetTextColor(dc, RGB(255, 255, 255));
    TextOutA(dc, x, y, kLogo, kLogoLength);
}

}  // namespace aurora
