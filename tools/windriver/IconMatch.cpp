#include "IconMatch.h"

#include <cstdlib>

#include "Handles.h"

namespace windriver {

namespace {

struct SystemIcon {
    const char* name;
    WORD id;  // IDI_ number
};

const SystemIcon kIcons[] = {
    {"error", 32513},  // IDI_HAND
    {"warning", 32515},  // IDI_EXCLAMATION
    {"information", 32516},  // IDI_ASTERISK
    {"question", 32514},  // IDI_QUESTION
};

// Up to this share of pixels may differ (anti-aliased edges); a different
// icon differs in far more.
const double kMaxMismatch = 0.02;
const int kChannelTolerance = 8;

bool samePixel(unsigned a, unsigned b)
{
    for (int shift = 0; shift < 24; shift += 8) {
        const int ca = static_cast<int>((a >> shift) & 0xFF);
        const int cb = static_cast<int>((b >> shift) & 0xFF);
        if (std::abs(ca - cb) > kChannelTolerance)
            return false;
    }
    return true;
}

int mismatches(const PixelBuffer& shot, HICON icon, unsigned background)
{
    PixelBuffer drawn(shot.dc(), shot.width(), shot.height());
    const COLORREF colour = RGB((background >> 16) & 0xFF, (background >> 8) & 0xFF, background & 0xFF);
    HBRUSH brush = CreateSolidBrush(colour);
    RECT all{0, 0, shot.width(), shot.height()};
    FillRect(drawn.dc(), &all, brush);
    DeleteObject(brush);
    DrawIconEx(drawn.dc(), 0, 0, icon, shot.width(), shot.height(), 0, nullptr, DI_NORMAL);
    drawn.flush();
    int count = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            if (!samePixel(shot.pixel(x, y), drawn.pixel(x, y)))
                ++count;
        }
    }
    return count;
}

}  // namespace

const char* identifySystemIcon(HWND iconStatic)
{
    if (!IsWindowVisible(iconStatic))
        return "hidden";
    RECT client{};
    GetClientRect(iconStatic, &client);
    MapWindowPoints(iconStatic, nullptr, reinterpret_cast<POINT*>(&client), 2);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (width <= 0 || height <= 0)
        return "unknown";

    ScreenDC screen;
    PixelBuffer shot(screen.get(), width, height);
    if (!BitBlt(shot.dc(), 0, 0, width, height, screen.get(), client.left, client.top, SRCCOPY))
        return "unknown";
    shot.flush();
    const unsigned background = shot.pixel(0, 0);

    const char* best = "unknown";
    int fewest = static_cast<int>(kMaxMismatch * width * height);
    for (const SystemIcon& candidate : kIcons) {
        HICON icon = LoadIconW(nullptr, MAKEINTRESOURCEW(candidate.id));  // shared: not destroyed
        if (!icon)
            continue;
        const int count = mismatches(shot, icon, background);
        if (count <= fewest) {
            fewest = count;
            best = candidate.name;
        }
    }
    return best;
}

}  // namespace windriver
