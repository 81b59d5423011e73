#pragma once
// The one hover tracker of all push buttons, with its 125 ms timer (a thread
// timer of the user-interface thread, stopped until a button is hot) and the
// application counted as active while one of its windows is the foreground
// window.
#include "controls/HoverTracker.h"

namespace lumora {

constexpr unsigned kHoverInterval = 125;  // milliseconds

// Lives for the whole run of the program; never destroyed, so buttons that
// go at exit still find it.
HoverTracker& ButtonHoverTracker();

}  // namespace lumora
