#pragma once
// Commands that give the harness known situations to check itself against:
// a message box with a given icon, and a crash.
#include "Args.h"
#include "Json.h"

namespace windriver {

// message-box ICON CAPTION TEXT [BUTTONS]: ICON is error, warning,
// information, question or none; BUTTONS is ok (default), okcancel or
// yesno. Prints {"pressed": ID} when the box is dismissed.
void showMessageBox(const Args& args, JsonWriter& out);

// crash: an access violation, as a faulty program would have.
void crash(const Args& args, JsonWriter& out);

}  // namespace windriver
