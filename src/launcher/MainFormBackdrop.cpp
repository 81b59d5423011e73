// The main window's backdrop, drawn on its MDI client window whenever that
// is erased: a solid colour or up to three colour gradients, the picture at
// the top right, the title with its shadow at the top left and the footer at
// the bottom right. Sizes are the main window's (client size, screen
// position and outer width); ACanvas draws in the MDI client's coordinates.
// Fonts, places and the picture's size are those of 96 DPI at the window's.
#include <exception>

#include "base/PathEncoding.h"
#include "framework/DevicePixels.h"
#include "launcher/BackdropGeometry.h"
#include "launcher/BackdropPlan.h"
#include "settings/ExtractionFolder.h"
#include "settings/Globals.h"
#include "settings/SetupFile.h"
#include "launcher/Unit1.h"

namespace lumora {

namespace {

RECT ToRECT(const backdrop::Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

constexpr int kTitlePoints = 24;
constexpr int kFooterPoints = 8;

}  // namespace

void TMainForm::MDIAreaPaint(TObject*, TCanvas& ACanvas, const RECT&)
{
    const HWND window = Handle();
    RECT bounds{}, client{};
    GetWindowRect(window, &bounds);
    GetClientRect(window, &client);
    const int clientWidth = client.right;
    const int clientHeight = client.bottom;
    const int dpi = Dpi();

    // The picture is read from its file at every paint; a file that is
    // missing or no valid picture leaves the backdrop without one.
    Picture = std::make_unique<TJPEGImage>();
    if (const auto file = PictureFile(Globals)) {
        try {
            Picture->LoadFromFile(InExtractionFolder(*file));
            PictureRect =
                ToRECT(backdrop::PictureRect(Picture->Width(), Picture->Height(), bounds.right - bounds.left, ScaleToDpi, dpi));
        } catch (const std::exception&) {
        }
    }

    if (BackgroundPalette)
        ACanvas.SelectPalette(BackgroundPalette.Get(), false);
    const float step = backdrop::BandStep(clientHeight);

    if (IsSolidBackground(Globals)) {
        ACanvas.Brush.SetColor(Globals.SolidColor);
        ACanvas.FillRect(ToRECT(backdrop::SolidRect(clientWidth, clientHeight, bounds.left, bounds.top)));
    } else {
        // With none enabled, the MDI area's own background stays.
        for (const backdrop::Channel channel : backdrop::Gradients(Globals))
            for (int i = 0; i < backdrop::kBandCount; ++i) {
                ACanvas.Brush.SetColor(static_cast<TColor>(backdrop::BandColor(channel, i)));
                ACanvas.FillRect(ToRECT(backdrop::BandRect(i, step, clientWidth)));
            }
    }

    if (!Picture->Empty())
        ACanvas.StretchDraw(PictureRect, *Picture);

    ACanvas.SetBkMode(TRANSPARENT);
    ACanvas.Font.Assign(Font);
    ACanvas.SetTextAlign(TA_LEFT | TA_TOP);

    // A white title over its black shadow, 4 pixels right and below. The
    // texts are the author's bytes.
    const std::string title = AuthorText(backdrop::Title(Globals));
    ACanvas.Font.SetSize(kTitlePoints);
    ACanvas.Font.SetStyle({fsBold, fsItalic});
    ACanvas.Font.SetColor(clBlack);
    ACanvas.TextOut(ScaleToDpi(12, dpi), ScaleToDpi(12, dpi), title);
    ACanvas.Font.SetColor(clWhite);
    ACanvas.TextOut(ScaleToDpi(8, dpi), ScaleToDpi(8, dpi), title);

    // The footer stays white.
    ACanvas.SetTextAlign(TA_RIGHT | TA_BOTTOM);
    ACanvas.Font.SetSize(kFooterPoints);
    ACanvas.Font.SetStyle({fsBold});
    const std::string footer = AuthorText(Globals.FooterText);
    if (const auto at = backdrop::FooterPosition(clientWidth, clientHeight, ACanvas.TextWidth(footer), ScaleToDpi, dpi))
        ACanvas.TextOut(at->x, at->y, footer);
}

}  // namespace lumora
