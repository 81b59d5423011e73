#pragma once
// The encoding of the installer's texts, for the texts the packing tool
// writes and shows: the values of Setup.ins and Product.ins, the read-me and
// the names the files are stored under. Text given to the tool (its
// arguments) is UTF-8. An installer's texts are 8-bit text of the ANSI code
// page it will run under, Windows-1252 unless --codepage names another
// (1250, 1251, 1253, 932, 936, 949, 950, ...), or UTF-8 (--codepage utf-8,
// or 65001), which the installer shows on every system; its check record
// says which of the two it is.
#include <optional>
#include <string>
#include <string_view>

#include "input/Arguments.h"
#include "base/PathEncoding.h"

namespace setuppack {

class CodePage {
public:
    static constexpr unsigned kDefault = 1252;
    static constexpr unsigned kUtf8 = 65001;

    // Throws UsageError for a code page this machine cannot convert.
    explicit CodePage(unsigned number = kDefault);

    unsigned Number() const { return number_; }
    bool IsUtf8() const { return number_ == kUtf8; }
    // How the installer reads texts of this code page (its check record).
    lumora::AuthorEncoding Encoding() const
    {
        return IsUtf8() ? lumora::AuthorEncoding::Utf8 : lumora::AuthorEncoding::SystemCodePage;
    }
    std::string Name() const { return IsUtf8() ? "UTF-8" : "code page " + std::to_string(number_); }
    // Whether the installer records this code page of its 8-bit texts, and
    // so shows them as written on every system.
    bool Recorded() const { return recorded_; }
    CodePage AsRecorded() const
    {
        CodePage page = *this;
        page.recorded_ = !IsUtf8();
        return page;
    }

    // UTF-8 text as bytes of this code page; nothing when it holds a
    // character the code page has no place for (or is no UTF-8), and then
    // `missing` tells that character ("Ω" (U+03A9)).
    std::optional<std::string> Encode(std::string_view utf8, std::string* missing = nullptr) const;
    // Bytes of this code page as UTF-8 text; nothing when they are not valid
    // in it.
    std::optional<std::string> Decode(std::string_view bytes) const;

private:
    unsigned number_;
    bool recorded_ = false;
};

// Text of the code page `from` as text of `to`, line by line. Throws
// lumora::Error naming the line (and `where`) of the first byte that is no
// letter of `from`, or of the first character `to` has no place for.
std::string ConvertText(std::string_view bytes, const CodePage& from, const CodePage& to, const std::string& where);

// The --codepage of the command line (a number, or "utf-8"), or the default;
// CodePageNamed reads the value of `option` so, none when it is not given.
CodePage CodePageOf(const Arguments& args);
std::optional<CodePage> CodePageNamed(const Arguments& args, const char* option);

// The code page of an installer's texts: UTF-8 when its check record says
// so (`texts`), otherwise the --codepage of the command line, else the code
// page the installer records (`recorded`), else the default. Throws
// UsageError for an 8-bit --codepage given with an installer of UTF-8 texts.
CodePage CodePageOf(const Arguments& args, lumora::AuthorEncoding texts,
                    std::optional<unsigned> recorded = std::nullopt);

// "--codepage N" in a command's help.
extern const char* const kCodePageHelp;

// The advice for texts that a code page shows as written only on systems of
// that code page.
extern const char* const kEverySystemAdvice;

}  // namespace setuppack
