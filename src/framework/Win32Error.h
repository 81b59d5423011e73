#pragma once
// Turns a failed Win32 call into the program's Error exception, once, where
// the call is made.
#include <windows.h>

#include <string>

namespace lumora {

// The system's description of an error code, without the trailing line end;
// empty when the system has none.
std::string SystemErrorText(DWORD code);

// Throws Error with `what`, followed by the description of GetLastError().
[[noreturn]] void RaiseLastOSError(const std::string& what);

// Throws Error with the message `what` + `name` and the description of
// GetLastError() as its reason (Error::Reason), leaving the message as it is.
[[noreturn]] void RaiseWithSystemReason(const char* what, const std::string& name);

}  // namespace lumora
