#include "TextCharacters.h"

#include <cstdio>

#include "base/Utf8Text.h"

namespace setuppack {

namespace {

// The short names of the C0 controls U+0000 to U+001F, then those of the C1
// controls U+0080 to U+009F.
constexpr const char* kControlNames[64] = {
    "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT",  "LF",  "VT",  "FF",  "CR",  "SO",  "SI",
    "DLE", "DC1", "DC2", "DC3", "DC4", "NAK", "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US",
    "PAD", "HOP", "BPH", "NBH", "IND", "NEL", "SSA", "ESA", "HTS", "HTJ", "VTS", "PLD", "PLU", "RI",  "SS2", "SS3",
    "DCS", "PU1", "PU2", "STS", "CCH", "MW",  "SPA", "EPA", "SOS", "SGC", "SCI", "CSI", "ST",  "OSC", "PM",  "APC"};

constexpr const char* kControl = "a control character, which Windows acts on, shows as a box or leaves out";
constexpr const char* kMark = "an invisible direction mark: two names that look alike would differ";
constexpr const char* kReorders = "which changes the order Windows shows the letters after it in (a name can show "
                                  "another extension than it has)";

struct Refused {
    char32_t first;
    char32_t last;
    const char* name;  // nullptr: the controls' short names
    const char* why;
    bool namesOnly;
};

constexpr Refused kRefused[] = {
    {0x00, 0x1F, nullptr, kControl, false},
    {0x7F, 0x7F, "DEL", kControl, false},
    {0x80, 0x9F, nullptr, kControl, false},
    {0x061C, 0x061C, "ARABIC LETTER MARK", kMark, true},
    {0x200E, 0x200E, "LEFT-TO-RIGHT MARK", kMark, true},
    {0x200F, 0x200F, "RIGHT-TO-LEFT MARK", kMark, true},
    {0x2028, 0x2028, "LINE SEPARATOR", "which breaks the line where Windows shows one line", false},
    {0x2029, 0x2029, "PARAGRAPH SEPARATOR", "which breaks the line where Windows shows one line", false},
    {0x202A, 0x202A, "LEFT-TO-RIGHT EMBEDDING", kReorders, false},
    {0x202B, 0x202B, "RIGHT-TO-LEFT EMBEDDING", kReorders, false},
    {0x202C, 0x202C, "POP DIRECTIONAL FORMATTING", kReorders, false},
    {0x202D, 0x202D, "LEFT-TO-RIGHT OVERRIDE", kReorders, false},
    {0x202E, 0x202E, "RIGHT-TO-LEFT OVERRIDE", kReorders, false},
    {0x2066, 0x2066, "LEFT-TO-RIGHT ISOLATE", kReorders, false},
    {0x2067, 0x2067, "RIGHT-TO-LEFT ISOLATE", kReorders, false},
    {0x2068, 0x2068, "FIRST STRONG ISOLATE", kReorders, false},
    {0x2069, 0x2069, "POP DIRECTIONAL ISOLATE", kReorders, false},
    {0xFEFF, 0xFEFF, "ZERO WIDTH NO-BREAK SPACE", "an invisible byte-order mark", false},
};

const Refused* Find(char32_t c, TextKind kind)
{
    for (const Refused& refused : kRefused)
        if (c >= refused.first && c <= refused.last && (kind == TextKind::Name || !refused.namesOnly))
            return &refused;
    return nullptr;
}

}  // namespace

std::string MisleadingCharacterProblem(std::string_view text, TextKind kind)
{
    for (std::size_t at = 0; at < text.size();) {
        const char32_t c = lumora::NextCharacter(text, at);
        const Refused* refused = Find(c, kind);
        if (!refused)
            continue;
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
        const char* name = refused->name ? refused->name : kControlNames[c < 0x80 ? c : c - 0x80 + 32];
        return std::string("holds ") + code + " " + name + ", " + refused->why + "; leave it out";
    }
    return {};
}

bool IsMisleadingInName(char32_t c) { return Find(c, TextKind::Name) != nullptr; }

}  // namespace setuppack
