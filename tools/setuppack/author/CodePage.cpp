#include "CodePage.h"

#include <algorithm>
#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>

#include <cerrno>
#endif

#include "base/AsciiText.h"
#include "base/PathEncoding.h"

namespace setuppack {

const char* const kCodePageHelp =
    "  --codepage N  how the installer's texts and file names are written: utf-8\n"
    "                (or 65001), which the installer shows on every system, or\n"
    "                the ANSI code page of the systems it runs on (default 1252,\n"
    "                Western; 1250, 1251, 1253, 932, 936, 949, 950, ...). An\n"
    "                installer says itself whether it is UTF-8 and which code\n"
    "                page its 8-bit texts are in; --codepage overrides the page\n";

const char* const kEverySystemAdvice = "--codepage utf-8 writes texts that every system shows as written";

namespace {

// Where the first sequence that is no UTF-8 begins (an overlong form, a
// surrogate and a code beyond U+10FFFF included); the size when there is
// none.
std::size_t Utf8ErrorAt(std::string_view text)
{
    std::size_t at = 0;
    while (at < text.size()) {
        const auto lead = static_cast<unsigned char>(text[at]);
        std::size_t length = 1;
        std::uint32_t least = 0;
        if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            least = 0x10000;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            least = 0x800;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            least = 0x80;
        } else if (lead >= 0x80) {
            return at;
        }
        if (at + length > text.size())
            return at;
        std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t i = 1; i < length; ++i) {
            const auto next = static_cast<unsigned char>(text[at + i]);
            if ((next & 0xC0) != 0x80)
                return at;
            code = code << 6 | (next & 0x3F);
        }
        if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return at;
        at += length;
    }
    return at;
}

// The first character of `utf8` as "c" (U+XXXX), for messages.
std::string CharacterAt(std::string_view utf8, std::size_t at)
{
    std::size_t length = 1;
    const auto lead = static_cast<unsigned char>(utf8[at]);
    if (lead >= 0xF0)
        length = 4;
    else if (lead >= 0xE0)
        length = 3;
    else if (lead >= 0xC0)
        length = 2;
    length = std::min(length, utf8.size() - at);
    std::uint32_t code = length == 1 ? lead : lead & (0x3F >> (length - 1));
    for (std::size_t i = 1; i < length; ++i)
        code = code << 6 | (static_cast<unsigned char>(utf8[at + i]) & 0x3F);
    char hex[16];
    std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(code));
    return "\"" + std::string(utf8.substr(at, length)) + "\" (" + hex + ")";
}

#ifdef _WIN32
bool Known(unsigned number) { return IsValidCodePage(number) != FALSE; }

std::optional<std::string> ToBytes(unsigned number, std::string_view utf8, std::size_t* failedAt)
{
    std::wstring wide;
    try {
        wide = lumora::WidePath(utf8);
    } catch (const lumora::Error&) {
        *failedAt = 0;
        return std::nullopt;
    }
    std::string bytes;
    // One character at a time, so that the first one without a place is known.
    std::size_t at = 0;  // in utf8
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const int units = (wide[i] >= 0xD800 && wide[i] <= 0xDBFF && i + 1 < wide.size()) ? 2 : 1;
        char out[8];
        BOOL defaulted = FALSE;
        const int n = WideCharToMultiByte(number, WC_NO_BEST_FIT_CHARS, &wide[i], units, out, sizeof out, nullptr,
                                          number == CP_UTF8 ? nullptr : &defaulted);
        if (n <= 0 || defaulted) {
            *failedAt = at;
            return std::nullopt;
        }
        bytes.append(out, static_cast<std::size_t>(n));
        at += units == 2 ? 4 : wide[i] < 0x80 ? 1 : wide[i] < 0x800 ? 2 : 3;
        i += units - 1;
    }
    return bytes;
}

std::optional<std::string> ToUtf8(unsigned number, std::string_view bytes)
{
    if (bytes.empty())
        return std::string();
    const int count = MultiByteToWideChar(number, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                          nullptr, 0);
    if (count <= 0)
        return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(count), L'\0');
    MultiByteToWideChar(number, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), wide.data(),
                        count);
    return lumora::PathFromWide(wide);
}
#else
// iconv's name of a Windows code page.
std::string IconvName(unsigned number) { return "CP" + std::to_string(number); }

bool Known(unsigned number)
{
    const iconv_t converter = iconv_open(IconvName(number).c_str(), "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1))
        return false;
    iconv_close(converter);
    return true;
}

// Converts all of `input`; false at the first character that cannot be, with
// its offset in `input`.
bool Convert(const std::string& to, const std::string& from, std::string_view input, std::string& output,
             std::size_t* failedAt)
{
    const iconv_t converter = iconv_open(to.c_str(), from.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1))
        return false;
    std::string in(input);
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    output.assign(in.size() * 4 + 16, '\0');
    char* outPtr = output.data();
    std::size_t outLeft = output.size();
    const std::size_t result = iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(converter);
    if (result == static_cast<std::size_t>(-1) || result > 0) {
        // A positive result counts characters converted irreversibly.
        if (failedAt)
            *failedAt = static_cast<std::size_t>(inPtr - in.data());
        return false;
    }
    output.resize(output.size() - outLeft);
    return true;
}

std::optional<std::string> ToBytes(unsigned number, std::string_view utf8, std::size_t* failedAt)
{
    std::string bytes;
    if (!Convert(IconvName(number), "UTF-8", utf8, bytes, failedAt))
        return std::nullopt;
    return bytes;
}

std::optional<std::string> ToUtf8(unsigned number, std::string_view bytes)
{
    std::string text;
    if (!Convert("UTF-8", IconvName(number), bytes, text, nullptr))
        return std::nullopt;
    return text;
}
#endif

// The ANSI code pages of Windows systems: Thai, Japanese, Simplified
// Chinese, Korean, Traditional Chinese, then Central European to
// Vietnamese.
constexpr unsigned kAnsiCodePages[] = {874, 932, 936, 949, 950, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258};

}  // namespace

CodePage::CodePage(unsigned number) : number_(number)
{
    if (IsUtf8() || Known(number))
        return;
    std::string known;
    for (const unsigned page : kAnsiCodePages)
        if (Known(page))
            known += ", " + std::to_string(page);
    throw UsageError("code page " + std::to_string(number) +
                     " is not one this machine can convert to; it converts utf-8 and the ANSI code pages of "
                     "Windows " + (known.empty() ? std::string("(none here)") : known.substr(2)));
}

std::optional<std::string> CodePage::Encode(std::string_view utf8, std::string* missing) const
{
    std::size_t failedAt = 0;
    std::optional<std::string> bytes;
    if (!IsUtf8())
        bytes = ToBytes(number_, utf8, &failedAt);
    else if ((failedAt = Utf8ErrorAt(utf8)) == utf8.size())
        bytes = std::string(utf8);
    else
        failedAt = utf8.size();  // no character to name
    if (!bytes && missing)
        *missing = failedAt < utf8.size() ? CharacterAt(utf8, failedAt) : std::string("a byte that is no UTF-8");
    return bytes;
}

std::optional<std::string> CodePage::Decode(std::string_view bytes) const
{
    if (IsUtf8())
        return Utf8ErrorAt(bytes) == bytes.size() ? std::optional<std::string>(bytes) : std::nullopt;
    return ToUtf8(number_, bytes);
}

std::string ConvertText(std::string_view bytes, const CodePage& from, const CodePage& to, const std::string& where)
{
    // A line at a time, so that a message names the line; a line feed ends
    // one in every code page these are.
    constexpr std::size_t kLongestSearched = 4096;
    std::string converted;
    std::size_t line = 1;
    for (std::size_t at = 0; at <= bytes.size(); ++line) {
        const std::size_t end = std::min(bytes.find('\n', at), bytes.size());
        const std::string_view text = bytes.substr(at, end - at);
        const std::string place = where + ": line " + std::to_string(line);
        std::optional<std::string> utf8 = from.Decode(text);
        if (!utf8) {
            // The first byte that no longer decodes: the end of the longest
            // prefix that does (a letter of two bytes cut in two does not).
            std::size_t good = 0;
            for (std::size_t n = 1; n <= text.size() && text.size() <= kLongestSearched; ++n)
                if (from.Decode(text.substr(0, n)))
                    good = n;
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned>(static_cast<unsigned char>(text[good])));
            throw lumora::Error(place + ": the byte " + hex + (text.size() <= kLongestSearched
                                    ? " at column " + std::to_string(good + 1) : std::string(" or one after it")) +
                                " is no letter of " + from.Name() + " (is it the code page the text is written in?)");
        }
        std::string missing;
        std::optional<std::string> out = to.Encode(*utf8, &missing);
        if (!out)
            throw lumora::Error(place + ": " + to.Name() + " has no place for the character " + missing + " (" +
                                kEverySystemAdvice + ")");
        converted += *out;
        if (end < bytes.size())
            converted += '\n';
        at = end + 1;
    }
    return converted;
}

std::optional<CodePage> CodePageNamed(const Arguments& args, const char* option)
{
    const std::string value = args.Value(option);
    if (value.empty())
        return std::nullopt;
    const std::string lower = lumora::LowerCaseAscii(value);
    if (lower == "utf-8" || lower == "utf8")
        return CodePage(CodePage::kUtf8);
    unsigned number = 0;
    for (const char c : value) {
        if (c < '0' || c > '9' || number > 100000)
            throw UsageError(std::string(option) + " takes a number or utf-8, not " + value);
        number = number * 10 + static_cast<unsigned>(c - '0');
    }
    return CodePage(number);
}

CodePage CodePageOf(const Arguments& args)
{
    const std::optional<CodePage> given = CodePageNamed(args, "--codepage");
    return given ? *given : CodePage();
}

CodePage CodePageOf(const Arguments& args, lumora::AuthorEncoding texts, std::optional<unsigned> recorded)
{
    if (texts != lumora::AuthorEncoding::Utf8 && recorded && args.Value("--codepage").empty())
        return CodePage(*recorded).AsRecorded();
    const CodePage given = CodePageOf(args);
    if (texts != lumora::AuthorEncoding::Utf8)
        return given;
    if (!args.Value("--codepage").empty() && !given.IsUtf8())
        throw UsageError("the installer's texts are UTF-8, as its check record says: --codepage is for installers "
                         "of 8-bit texts");
    return CodePage(CodePage::kUtf8);
}

}  // namespace setuppack
