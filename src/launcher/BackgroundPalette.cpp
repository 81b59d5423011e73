#include "launcher/BackgroundPalette.h"

#include "framework/Win32Error.h"

namespace lumora {

namespace {

// LOGPALETTE declares one entry; this has room for all of them, laid out the
// same way.
struct BackgroundLogPalette {
    WORD palVersion;
    WORD palNumEntries;
    PALETTEENTRY palPalEntry[kBackgroundPaletteSize];
};

}  // namespace

GdiObject<HPALETTE> MakeBackgroundPalette()
{
    BackgroundLogPalette log{};
    log.palVersion = 0x300;
    log.palNumEntries = kBackgroundPaletteSize;
    for (int i = 0; i < kBackgroundPaletteSize; ++i) {
        log.palPalEntry[i].peRed = 0;
        log.palPalEntry[i].peGreen = 0;
        log.palPalEntry[i].peBlue = static_cast<BYTE>(255 - 4 * i);
        log.palPalEntry[i].peFlags = 0;
    }
    GdiObject<HPALETTE> palette(CreatePalette(reinterpret_cast<const LOGPALETTE*>(&log)));
    if (!palette)
        RaiseLastOSError("Cannot create the background palette");
    return palette;
}

}  // namespace lumora
