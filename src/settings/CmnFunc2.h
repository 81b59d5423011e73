#pragma once
// Folder functions: the extraction folder (the user's temporary folder), the
// Windows and system folders, the user's programs folder, and the NT-family
// test. Nothing is cached; each call asks the system again. EnsureBackslash
// and TrimToResult, the rules without a system call, come from
// base/PathText.h.
//
// The folders are asked for with the wide functions and returned as path
// text (base/PathEncoding.h), so that a folder whose letters the ANSI code
// page lacks (a user name in Cyrillic on a Western system) reaches the file
// system intact.
#include <windows.h>

#include <functional>
#include <string>

#include "base/PathText.h"

namespace lumora {

// The Windows folder without a trailing backslash; empty if the call fails.
std::string GetWindowsFolder();
// The system folder without a trailing backslash; empty if the call fails.
std::string GetSystemFolder();
// The full path of the user's temporary folder with exactly one trailing
// backslash; the current folder (with a backslash) when the system has none.
std::string GetTempFolder();
// The user's own programs folder (FOLDERID_UserProgramFiles,
// %LOCALAPPDATA%\Programs) without a trailing backslash, also before it
// exists; where the system has no such folder, as before Windows 7,
// "Programs" in the user's local application data, where later systems put
// it. Empty when the system gives neither.
std::string GetUserProgramsFolder();
// True on the NT family (platform id VER_PLATFORM_WIN32_NT).
bool IsWindowsNT();

// The same, with the system call given (GetWindowsDirectoryW-like and
// GetTempPathW-like), so that a test can stand in for the system.
using FolderCall = std::function<UINT(LPWSTR buffer, UINT size)>;
using TempPathCall = std::function<DWORD(DWORD size, LPWSTR buffer)>;
std::string GetFolderFrom(const FolderCall& call);
std::string GetTempFolderFrom(const TempPathCall& call);

}  // namespace lumora
