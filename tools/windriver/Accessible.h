#pragma once
// Commands that read and drive a window as accessibility clients (screen
// readers, voice control) do: through its accessible object (MSAA), which
// the window's program hands out across processes.
#include "Args.h"
#include "Json.h"

namespace windriver {

// accessible HWND: the accessible object of HWND's client area and its
// children, in their order (AccessibleChildren). For the object and each
// child: name, role, state, shortcut (keyboard shortcut), action (default
// action) and location ([left, top, width, height] on the screen); for a
// child also "id", its child id when the parent describes it (a simple
// element), or null when it is an object of its own, and "hwnd", the window
// of such an object (WindowFromAccessibleObject), else null.
void listAccessible(const Args& args, JsonWriter& out);

// accessible-do HWND NAME: the default action (accDoDefaultAction) of the
// one child of HWND's client area named exactly NAME.
void doAccessibleAction(const Args& args, JsonWriter& out);

// accessible-events HWND: listens for the name-change events of HWND's
// process as a screen reader would; prints {"listening": HWND}, then one
// line per event: {"hwnd", "object", "child", "name"}, the name read at
// once from the event's object. Runs until the process is ended.
void listenAccessibleEvents(const Args& args, JsonWriter& out);

}  // namespace windriver
