#include "Findings.h"

#include <cstdio>

#include "TextCharacters.h"
#include "base/PrintableText.h"
#include "base/Utf8Text.h"

namespace setuppack {

namespace {

constexpr std::size_t kMaxQuoted = 60;

void Print(const char* kind, const Finding& finding)
{
    std::fflush(stdout);
    std::fprintf(stderr, "setuppack: %s%s: %s\n", kind, lumora::PrintableText(finding.where).c_str(),
                 finding.text.c_str());
}

}  // namespace

void PrintFindings(const Findings& findings, bool forced)
{
    for (const Finding& problem : findings.problems)
        Print(forced && problem.forceable ? "warning: " : "", problem);
    for (const Finding& warning : findings.warnings)
        Print("warning: ", warning);
}

namespace {

bool IsUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2 : lead >= 0xE0 && lead < 0xF0 ? 3
                                                   : lead >= 0xF0 && lead < 0xF5 ? 4 : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        i += length;
    }
    return true;
}

}  // namespace

std::string ShownText(std::string_view value)
{
    // 8-bit text that is no UTF-8 shows its bytes above 127 as "\xNN", so
    // that it stays readable on a UTF-8 terminal.
    std::string shown = lumora::PrintableText(value);
    std::string escaped;
    if (IsUtf8(shown)) {
        for (std::size_t at = 0; at < shown.size();) {
            const std::size_t from = at;
            const char32_t c = lumora::NextCharacter(shown, at);
            if (c < 0x80 || !IsMisleadingInName(c)) {
                escaped.append(shown, from, at - from);
                continue;
            }
            char code[16];
            std::snprintf(code, sizeof code, "\\u%04X", static_cast<unsigned>(c));
            escaped += code;
        }
        return escaped;
    }
    for (const char c : shown) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            escaped += c;
            continue;
        }
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", byte);
        escaped += hex;
    }
    return escaped;
}

std::string Quoted(const std::string& value)
{
    const std::string shown = ShownText(value);
    if (shown.size() <= kMaxQuoted)
        return "\"" + shown + "\"";
    return "\"" + shown.substr(0, kMaxQuoted) + "\"...";
}

}  // namespace setuppack
