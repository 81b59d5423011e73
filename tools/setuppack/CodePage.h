#pragma once
// The ANSI code page the installer will run under, for the 8-bit texts the
// packing tool writes and shows: the values of Setup.ins and the names the
// files are stored under. Text given to the tool (its arguments) is UTF-8;
// the installer reads bytes in this code page, Windows-1252 unless
// --codepage names another (1250, 1251, 1253, 932, 936, 949, 950, ...).
#include <optional>
#include <string>
#include <string_view>

#include "Arguments.h"

namespace setuppack {

class CodePage {
public:
    static constexpr unsigned kDefault = 1252;

    // Throws UsageError for a code page this machine cannot convert.
    explicit CodePage(unsigned number = kDefault);

    unsigned Number() const { return number_; }
    std::string Name() const { return "code page " + std::to_string(number_); }

    // UTF-8 text as bytes of this code page; nothing when it holds a
    // character the code page has no place for (or is no UTF-8), and then
    // `missing` tells that character ("Ω" (U+03A9)).
    std::optional<std::string> Encode(std::string_view utf8, std::string* missing = nullptr) const;
    // Bytes of this code page as UTF-8 text; nothing when they are not valid
    // in it.
    std::optional<std::string> Decode(std::string_view bytes) const;

private:
    unsigned number_;
};

// The --codepage of the command line, or the default.
CodePage CodePageOf(const Arguments& args);

// "--codepage N" in a command's help.
extern const char* const kCodePageHelp;

}  // namespace setuppack
