#pragma once
// Whom an installation is for, and so where it goes: the one place that
// decides it.
//
// As every installer has installed: for every user of the machine, with
// administrator rights, into the Windows folder, its uninstall entry under
// HKEY_LOCAL_MACHINE. An installer built with `setuppack build --per-user`
// runs with the rights of whoever starts it (its manifest asks for no
// more) and carries Scope.ins in its payload, one line "user": it installs
// for that user only, into a folder of its own in the user's programs
// folder, its entry under HKEY_CURRENT_USER, and touches neither the
// Windows folder nor HKEY_LOCAL_MACHINE.
#include <string>

#ifdef _WIN32
#include "base/PathEncoding.h"
#include "settings/CmnFunc2.h"
#endif

namespace lumora {

inline constexpr const char* kScopeFile = "Scope.ins";
inline constexpr const char* kUserScope = "user";

// Whether the content of Scope.ins names the user's scope: its first line
// (up to a carriage return) reads "user".
inline bool NamesUserScope(const std::string& content)
{
    return content.compare(0, content.find('\r'), kUserScope) == 0;
}

// This run's scope, read from the payload with the settings (false, every
// user, until then and without Scope.ins; defined beside the settings
// record, Globals.cpp).
extern bool InstallsPerUser;

#ifdef _WIN32
// The root of the uninstall entry and of its kept copies:
// HKEY_LOCAL_MACHINE, or HKEY_CURRENT_USER per user; and its name, as the
// log names it.
inline HKEY ScopeRoot() { return InstallsPerUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }
inline const char* ScopeRootName() { return InstallsPerUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE"; }

// The folder the installation goes to, without a trailing backslash: the
// Windows folder; per user, the folder `name` (path text) in the user's
// programs folder (GetUserProgramsFolder), also before it exists. Empty
// when the system gives no such folder.
inline std::string ScopeFolder(const std::string& name)
{
    if (!InstallsPerUser)
        return GetWindowsFolder();
    const std::string programs = GetUserProgramsFolder();
    return programs.empty() ? programs : programs + "\\" + name;
}

// Per user, makes the folder `folder` and the programs folder it lies in
// when they are missing, with the access list they inherit from the user's
// profile; the Windows folder is there already. A folder that cannot be
// made is reported when the installation opens it.
inline void MakeScopeFolder(const std::string& folder)
{
    if (!InstallsPerUser)
        return;
    CreateDirectoryW(WidePath(FolderPart(folder)).c_str(), nullptr);
    CreateDirectoryW(WidePath(folder).c_str(), nullptr);
}
#endif

}  // namespace lumora
