#include "wizard/InstallJournal.h"

namespace lumora {

namespace {

constexpr char kDigits[] = "0123456789abcdef";
constexpr std::string_view kStart = "LMJOURNAL 1 ";
constexpr std::string_view kKinds[] = {".new", ".old", ".journal"};
constexpr std::size_t kMostTargets = 8;

void AppendHex(std::string& text, std::uint32_t number)
{
    text += '.';
    for (int shift = 28; shift >= 0; shift -= 4)
        text += kDigits[(number >> shift) & 15];
}

// Reads ".xxxxxxxx" from the front of `text` into `number`.
bool TakeHex(std::string_view& text, std::uint32_t& number)
{
    if (text.size() < 9 || text[0] != '.')
        return false;
    number = 0;
    for (std::size_t i = 1; i < 9; ++i) {
        const std::size_t digit = std::string_view(kDigits).find(text[i]);
        if (digit == std::string_view::npos)
            return false;
        number = number << 4 | static_cast<std::uint32_t>(digit);
    }
    text.remove_prefix(9);
    return true;
}

bool IsFlag(char c) { return c == '0' || c == '1'; }

}  // namespace

std::string LeftoverSuffix(const LeftoverName& name)
{
    std::string suffix;
    AppendHex(suffix, name.process);
    AppendHex(suffix, name.group);
    if (name.kind != Leftover::Journal)
        AppendHex(suffix, name.place);
    return suffix += kKinds[static_cast<int>(name.kind)];
}

std::optional<LeftoverName> ParseLeftoverSuffix(std::string_view suffix)
{
    LeftoverName name;
    if (!TakeHex(suffix, name.process) || !TakeHex(suffix, name.group))
        return std::nullopt;
    name.kind = Leftover::Journal;
    if (suffix == kKinds[2])
        return name;
    if (!TakeHex(suffix, name.place))
        return std::nullopt;
    for (const Leftover kind : {Leftover::Staged, Leftover::SetAside}) {
        name.kind = kind;
        if (suffix == kKinds[static_cast<int>(kind)])
            return name;
    }
    return std::nullopt;
}

std::string JournalText(const Journal& journal)
{
    std::string text(kStart);
    for (std::size_t i = 0; i < journal.targets; ++i)
        text += static_cast<char>('0' + (journal.keepsOld >> i & 1));
    return text += journal.entryExisted ? " 1\r\n" : " 0\r\n";
}

std::optional<Journal> ParseJournal(std::string_view text)
{
    // The start, the digits of 1 to 8 targets, a blank, the entry's digit
    // and the line end, and nothing else.
    if (text.size() < kStart.size() + 5 || text.size() > kStart.size() + 4 + kMostTargets ||
        text.substr(0, kStart.size()) != kStart || text[text.size() - 4] != ' ' || !IsFlag(text[text.size() - 3]) ||
        text.substr(text.size() - 2) != "\r\n")
        return std::nullopt;
    Journal journal{text.size() - kStart.size() - 4, 0, text[text.size() - 3] == '1'};
    for (std::size_t i = 0; i < journal.targets; ++i) {
        const char flag = text[kStart.size() + i];
        if (!IsFlag(flag))
            return std::nullopt;
        journal.keepsOld |= static_cast<std::uint8_t>((flag - '0') << i);
    }
    return journal;
}

}  // namespace lumora
