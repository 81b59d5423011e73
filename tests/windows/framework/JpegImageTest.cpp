#include <windows.h>

#include <gtest/gtest.h>


#include "support/JpegFile.h"
#include "support/MemorySurface.h"
#include "base/Error.h"
#include "framework/Canvas.h"
#include "framework/JpegImage.h"
#include "support/TempFiles.h"

namespace lumora::test {
namespace {

// Four flat quadrants; the odd width makes the rows need padding.
constexpr int kWidth = 37;
constexpr int kHeight = 21;
const Rgb kTopLeft{255, 0, 0}, kTopRight{0, 160, 0}, kBottomLeft{0, 0, 255}, kBottomRight{250, 250, 40};

Rgb Quadrant(int x, int y)
{
    if (y < kHeight / 2)
        return x < kWidth / 2 ? kTopLeft : kTopRight;
    return x < kWidth / 2 ? kBottomLeft : kBottomRight;
}

// The shade of grey a picture in shades of grey keeps of a colour: its
// luminance.
Rgb Grey(Rgb colour)
{
    const auto luminance =
        static_cast<std::uint8_t>((299 * colour.red + 587 * colour.green + 114 * colour.blue + 500) / 1000);
    return {luminance, luminance, luminance};
}

// JPEG keeps flat areas away from edges within a few levels.
void ExpectNear(COLORREF actual, Rgb expected)
{
    EXPECT_NEAR(GetRValue(actual), expected.red, 6) << std::hex << actual;
    EXPECT_NEAR(GetGValue(actual), expected.green, 6) << std::hex << actual;
    EXPECT_NEAR(GetBValue(actual), expected.blue, 6) << std::hex << actual;
}

TEST(JpegImage, DecodesSizeAndColoursTopRowFirstAndDrawsThemStretched)
{
    // Each coding takes its own path through the decoder: the progressive
    // scans, the upsampling of the halved colour resolution, and each
    // conversion of the picture's components into blue, green and red.
    for (JpegCoding coding : {JpegCoding::Subsampled, JpegCoding::ProgressiveSubsampled, JpegCoding::Baseline,
                              JpegCoding::Grey, JpegCoding::RgbComponents}) {
        SCOPED_TRACE(static_cast<int>(coding));
        TempFile file("quadrants.jpg", EncodeJpeg(kWidth, kHeight, Quadrant, coding));
        TJPEGImage decoded;
        EXPECT_TRUE(decoded.Empty());
        decoded.LoadFromFile(file.Path());
        ASSERT_FALSE(decoded.Empty());
        EXPECT_EQ(decoded.Width(), kWidth);
        EXPECT_EQ(decoded.Height(), kHeight);
        const auto expected = [coding](Rgb colour) { return coding == JpegCoding::Grey ? Grey(colour) : colour; };
        ExpectNear(decoded.Pixel(4, 3), expected(kTopLeft));
        ExpectNear(decoded.Pixel(kWidth - 4, 3), expected(kTopRight));
        ExpectNear(decoded.Pixel(4, kHeight - 3), expected(kBottomLeft));
        ExpectNear(decoded.Pixel(kWidth - 4, kHeight - 3), expected(kBottomRight));
    }
    TempFile file("quadrants.jpg", EncodeJpeg(kWidth, kHeight, Quadrant));
    TJPEGImage picture;
    picture.LoadFromFile(file.Path());

    // Twice the size, at an offset, through a canvas.
    MemorySurface surface(100, 60);
    TCanvas canvas;
    canvas.SetHandle(surface.Dc());
    canvas.StretchDraw(RECT{10, 5, 10 + 2 * kWidth, 5 + 2 * kHeight}, picture);
    ExpectNear(GetPixel(surface.Dc(), 10 + 8, 5 + 6), kTopLeft);
    ExpectNear(GetPixel(surface.Dc(), 10 + 2 * kWidth - 8, 5 + 6), kTopRight);
    ExpectNear(GetPixel(surface.Dc(), 10 + 8, 5 + 2 * kHeight - 6), kBottomLeft);
    ExpectNear(GetPixel(surface.Dc(), 10 + 2 * kWidth - 8, 5 + 2 * kHeight - 6), kBottomRight);
    EXPECT_EQ(GetPixel(surface.Dc(), 5, 2), RGB(0, 0, 0));  // outside: untouched
}

TEST(JpegImage, MissingAndDamagedFilesRaiseErrorAndKeepThePicture)
{
    TempFile good("good.jpg", EncodeJpeg(kWidth, kHeight, Quadrant));
    TJPEGImage picture;
    picture.LoadFromFile(good.Path());

    std::vector<unsigned char> header = EncodeJpeg(kWidth, kHeight, Quadrant);
    header.resize(20);  // the start of the file, no frame
    std::vector<unsigned char> noise(500);
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<unsigned char>(i * 7 + 3);
    TempFile text("text.jpg", {'n', 'o', 't', ' ', 'a', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'});
    TempFile cut("cut.jpg", header);
    TempFile empty("empty.jpg", {});
    TempFile random("noise.jpg", noise);
    TempFile missing("missing.jpg");
    // Printers' colours: a picture the decoder cannot turn into pixels.
    TempFile cmyk("cmyk.jpg", EncodeJpeg(kWidth, kHeight, Quadrant, JpegCoding::Cmyk));

    for (const TempFile* bad : {&text, &cut, &empty, &random, &missing, &cmyk}) {
        SCOPED_TRACE(bad->Path());
        EXPECT_THROW(picture.LoadFromFile(bad->Path()), Error);
        EXPECT_EQ(picture.Width(), kWidth);
        EXPECT_EQ(picture.Height(), kHeight);
    }
}

}  // namespace
}  // namespace lumora::test
