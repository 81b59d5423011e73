#pragma once
#include "Args.h"
#include "Json.h"

namespace windriver {

// window TITLE: shows an ordinary overlapped window with the default
// behaviour (Alt+F4 and the close box close it), prints {"hwnd": ...} and
// runs until the window is destroyed; the exit code is then 0. A reference
// for tests that check that some other window does not close.
void probeWindow(const Args& args, JsonWriter& out);

}  // namespace windriver
