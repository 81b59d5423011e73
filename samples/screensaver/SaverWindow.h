// The window the picture moves in: full screen (ended by the user's mouse or
// keyboard), or a preview inside another program's window (ended when that
// window goes).
#pragma once

#include <windows.h>

#include <memory>

#include "AuroraScene.h"
#include "FrameBuffer.h"

namespace aurora {

class SaverWindow {
public:
    // Creates the window; false when that failed (for a preview: when
    // `parent` is no window).
    bool createFullScreen(HINSTANCE instance, bool randomPlay);
    bool createPreview(HINSTANCE instance, HWND parent, bool randomPlay);

    // Runs the message loop until the window has gone; returns the exit code.
    int run();

private:
    bool create(HINSTANCE instance, bool randomPlay, DWORD exStyle, DWORD style, HWND parent, RECT area);
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);
    bool handleUserInput(UINT message, LPARAM lparam);

    void onSize(int width, int height);
    void onTimer();
    void onPaint();
    void onMouseMove(POINT at);

    HWND window_ = nullptr;
    HWND parent_ = nullptr;  // the preview's host window
    bool fullScreen_ = false;
    std::unique_ptr<AuroraScene> scene_;
    FrameBuffer frame_;
    bool mouseSeen_ = false;
    POINT mouseStart_{0, 0};
};

}  // namespace aurora
