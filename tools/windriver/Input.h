#pragma once
// Commands that act as the user: through the system's input queue
// (SendInput), so the input takes the path of real mouse and keyboard
// events: capture, focus, key preview and accelerators all apply.
#include "Args.h"
#include "Json.h"

namespace windriver {

// activate HWND: makes HWND the foreground window; fails if it is not the
// foreground window within 3 s.
void activate(const Args& args, JsonWriter& out);

// click HWND X Y: moves the pointer to client point (X, Y) of HWND, then
// presses and releases the left button there.
void click(const Args& args, JsonWriter& out);

// mouse move|down|up HWND X Y: one step of a drag, at client point (X, Y).
void mouse(const Args& args, JsonWriter& out);

// key COMBO: presses and releases a key with modifiers, e.g. alt+F4, alt+y,
// escape, return, shift+tab, a; the keys go to the foreground window.
void key(const Args& args, JsonWriter& out);

// screen: the screen's size, the virtual screen and the work area.
void screen(const Args& args, JsonWriter& out);

// code-page: the ANSI and OEM code pages of the system the driver runs on
// (under Wine, set by the locale of its session).
void codePage(const Args& args, JsonWriter& out);

}  // namespace windriver
