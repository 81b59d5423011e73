#pragma once
// How the program holds text and file paths, and where the author's bytes
// become text.
//
// Text, paths included, is UTF-8 ("path text"): on Win32 it is handed to the
// system's wide (W) functions, so that every letter survives, whatever the
// ANSI code page can spell (a user's temporary folder, a title in another
// script); on POSIX, paths are the bytes the system takes.
//
// The author's bytes (names stored in the payload, the texts of Setup.ins
// and Product.ins, the read-me) are written in the author's encoding, which
// the payload names (its check record): UTF-8, or 8-bit text of the code
// page the installer records in its resources (kCodePageResource), and of
// the system's ANSI code page when it records none, as installers always
// were. They stay bytes while
// they are compared ("True", numbers, names matched in the payload) and
// become text once, where they are shown or joined to a folder
// (AuthorText). A path becomes 8-bit ANSI text only for the files that
// 8-bit installers write for readers of that form (AnsiFromPath).
#include <optional>
#include <string>
#include <string_view>

namespace lumora {

enum class AuthorEncoding {
    SystemCodePage,  // 8-bit text: of the recorded code page, else of the running system's
    Utf8,
};

// The resource (RT_RCDATA) in which an installer of 8-bit texts records
// their Windows code page, in decimal ASCII digits ("1250"), so that it
// shows them as written on a system of any code page. It lies in the
// program image, read before the payload's names are.
inline constexpr unsigned kCodePageResource = 2;

// The code page such a resource records: 1 to 5 digits naming a page from 1
// to 65535 other than UTF-8's (65001), which the check record says; nothing
// for anything else.
std::optional<unsigned> ParseCodePageRecord(std::string_view bytes);

// The encoding of the author's bytes for the rest of the run; the system's
// code page until the payload says otherwise. One switch for the process.
void SetAuthorEncoding(AuthorEncoding encoding);
AuthorEncoding CurrentAuthorEncoding();

// Whether the author's bytes are 8-bit text of the running system's own ANSI
// code page, as the readers of 8-bit files on this system take them.
bool AuthorTextIsSystemAnsi();

// The author's bytes as text. On Win32: converted from the ANSI code page as
// the system's ANSI functions convert them (a byte the code page does not
// map becomes its best fit), or from UTF-8 with every invalid sequence
// replaced by U+FFFD; never an error. On POSIX the bytes stay as they are,
// in either encoding.
std::string AuthorText(std::string_view bytes);

// Path text as 8-bit ANSI text; letters the code page cannot spell become
// "?". On POSIX the identity.
std::string AnsiFromPath(std::string_view path);

#ifdef _WIN32
// Text and the wide text of the W functions: the one pair of conversions at
// the system's boundary. A sequence that is no UTF-8 (or UTF-16) becomes
// U+FFFD; never an error.
std::wstring WideText(std::string_view text);
std::string TextFromWide(std::wstring_view wide);

// Path text as the wide text of the W functions, and back. WidePath throws
// Error for text that is not UTF-8. A full path of MAX_PATH characters or
// more is handed over in its long form ("\\?\"), which the functions take
// whole, and comes back in its ordinary form.
std::wstring WidePath(std::string_view path);
std::string PathFromWide(std::wstring_view wide);

// For the packing tool, which reads installers made for other systems: the
// author's bytes read in the Windows code page `codePage` (65001: UTF-8).
void SetAuthorCodePage(unsigned codePage);

// The code page of 8-bit author's bytes from now on, the one the installer
// records (SetAuthorEncoding(SystemCodePage) then reads in it); false, and
// the system's kept, for a page this system cannot convert.
bool SetRecordedCodePage(unsigned codePage);
#endif

}  // namespace lumora
