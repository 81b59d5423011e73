#pragma once
// A windowless control as accessibility clients (screen readers, voice
// control, UI automation) see it: one child of its form's accessible object
// (see FormAccessible). The control describes itself with this record,
// which portable code can fill: no <windows.h> here.
#include <string>

#include "framework/EnumSet.h"

namespace lumora {

enum TAccessibleRole { arPushButton };
enum TAccessibleState { asUnavailable, asPressed, asHotTracked, asInvisible };
using TAccessibleStates = EnumSet<TAccessibleState>;

struct AccessibleElement {
    TAccessibleRole role = arPushButton;
    std::string name;           // the text the control shows
    std::string shortcut;       // e.g. "Alt+N"; empty when there is none
    std::string defaultAction;  // e.g. "Press"
    TAccessibleStates states;
};

}  // namespace lumora
