#pragma once
// How the program holds file paths, and where 8-bit names become paths.
//
// Paths are "path text": on Win32, UTF-8, handed to the system's wide (W)
// functions, so that every letter of a folder that the system names (a
// user's temporary folder, the program's own folder) survives, whatever the
// ANSI code page can spell; on POSIX, the bytes the system takes.
//
// The 8-bit world stays 8-bit ANSI text: names stored in the payload, the
// texts of Setup.ins and the read-me, captions, messages and registry values.
// Such a name becomes path text only where it is joined to a folder
// (PathFromAnsi), and a path becomes ANSI text only where it is shown
// (AnsiFromPath). On POSIX both are the identity, as before.
#include <string>
#include <string_view>

namespace lumora {

// An 8-bit ANSI name as path text, converted as the system's ANSI functions
// convert it: a byte the code page does not map becomes its best fit, never
// an error.
std::string PathFromAnsi(std::string_view ansi);

// Path text as 8-bit ANSI text for captions and messages; letters the code
// page cannot spell become "?".
std::string AnsiFromPath(std::string_view path);

#ifdef _WIN32
// Path text as the wide text of the W functions, and back. Throws Error for
// text that is not UTF-8 (or UTF-16). A full path of MAX_PATH characters or
// more is handed over in its long form ("\\?\"), which the functions take
// whole, and comes back in its ordinary form.
std::wstring WidePath(std::string_view path);
std::string PathFromWide(std::wstring_view wide);
#endif

}  // namespace lumora
