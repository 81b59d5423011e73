#include "wizard/InstallJournal.h"

#include "archive/CheckRecord.h"

namespace lumora {

namespace {

constexpr char kDigits[] = "0123456789abcdef";
constexpr std::string_view kStart = "LMJOURNAL 2 ";
// The start, the length, a blank, the check value and the line end.
constexpr std::size_t kHeaderSize = 12 + 8 + 1 + 8 + 2;
constexpr std::string_view kKinds[] = {".new", ".old", ".journal"};
constexpr std::string_view kTargetLines[] = {"old ", "new ", "same "};
constexpr std::string_view kEntryLines[] = {"entry ", "entry none", "entry same"};

void AppendHex(std::string& text, std::uint32_t number)
{
    for (int shift = 28; shift >= 0; shift -= 4)
        text += kDigits[(number >> shift) & 15];
}

// Reads "xxxxxxxx" from the front of `text` into `number`.
bool TakeHex(std::string_view& text, std::uint32_t& number)
{
    if (text.size() < 8)
        return false;
    number = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        const std::size_t digit = std::string_view(kDigits).find(text[i]);
        if (digit == std::string_view::npos)
            return false;
        number = number << 4 | static_cast<std::uint32_t>(digit);
    }
    text.remove_prefix(8);
    return true;
}

bool TakeDotHex(std::string_view& text, std::uint32_t& number)
{
    if (text.empty() || text[0] != '.')
        return false;
    text.remove_prefix(1);
    return TakeHex(text, number);
}

std::string GroupSuffix(const LeftoverName& name)
{
    std::string suffix = ".";
    AppendHex(suffix, name.process);
    suffix += '.';
    AppendHex(suffix, name.group);
    return suffix;
}

// Where the line after the one at `at` starts; the end when there is none.
std::size_t NextLine(std::string_view lines, std::size_t at)
{
    const std::size_t end = lines.find("\r\n", at);
    return end == std::string_view::npos ? lines.size() : end + 2;
}

std::uint32_t Crc(std::string_view text)
{
    return archive::ContinueCrc(0, reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

}  // namespace

std::string LeftoverSuffix(const LeftoverName& name)
{
    std::string suffix = GroupSuffix(name);
    if (name.kind != Leftover::Journal) {
        suffix += '.';
        AppendHex(suffix, name.place);
    }
    return suffix += kKinds[static_cast<int>(name.kind)];
}

std::optional<LeftoverName> ParseLeftoverSuffix(std::string_view suffix)
{
    LeftoverName name;
    if (!TakeDotHex(suffix, name.process) || !TakeDotHex(suffix, name.group))
        return std::nullopt;
    name.kind = Leftover::Journal;
    if (suffix == kKinds[2])
        return name;
    if (!TakeDotHex(suffix, name.place))
        return std::nullopt;
    for (const Leftover kind : {Leftover::Staged, Leftover::SetAside}) {
        name.kind = kind;
        if (suffix == kKinds[static_cast<int>(kind)])
            return name;
    }
    return std::nullopt;
}

std::string KeptEntryName(const std::string& entry, const LeftoverName& group)
{
    return entry + GroupSuffix(group).replace(0, 1, "\\");
}

std::string JournalText(const Journal& journal, const GroupNames& names)
{
    std::string lines = "group";
    lines += GroupSuffix(journal.group).replace(0, 1, " ");
    lines += "\r\n";
    LeftoverName kept = journal.group;
    kept.kind = Leftover::SetAside;
    for (std::size_t i = 0; i < names.targets.size(); ++i) {
        const TargetBefore before = journal.targets[i];
        kept.place = static_cast<std::uint32_t>(i);
        lines += kTargetLines[static_cast<int>(before)];
        lines += names.targets[i];
        if (before == TargetBefore::Kept)
            lines += LeftoverSuffix(kept);
        lines += "\r\n";
    }
    for (std::size_t i = 0; i < names.entries.size(); ++i) {
        lines += kEntryLines[static_cast<int>(journal.entries[i])];
        if (journal.entries[i] == TargetBefore::Kept)
            lines += KeptEntryName(names.entries[i], journal.group);
        lines += "\r\n";
    }
    std::string text(kStart);
    AppendHex(text, static_cast<std::uint32_t>(lines.size()));
    text += ' ';
    AppendHex(text, Crc(lines));
    text += "\r\n";
    return text += lines;
}

const char* JournalFaultText(JournalFault fault)
{
    static const char* const kTexts[] = {
        "is whole",
        "is not one this setup can check",
        "is cut short",
        "is damaged",
        "names other files than its own",
        "is a folder",
        "is a link",
        "names a copy that is not there",
    };
    return kTexts[static_cast<int>(fault)];
}

JournalFault ReadJournal(std::string_view text, const GroupNames& names, Journal& journal)
{
    // A start that is not this program's, even cut short.
    if (text.substr(0, kStart.size()) != kStart.substr(0, text.size()))
        return JournalFault::NotAJournal;
    if (text.size() < kHeaderSize)
        return JournalFault::CutShort;
    std::string_view header = text.substr(kStart.size(), kHeaderSize - kStart.size());
    std::uint32_t length = 0;
    std::uint32_t check = 0;
    const bool lengthRead = TakeHex(header, length) && header[0] == ' ';
    header.remove_prefix(1);
    if (!lengthRead || !TakeHex(header, check) || header != "\r\n")
        return JournalFault::Damaged;
    const std::string_view lines = text.substr(kHeaderSize);
    if (lines.size() < length)
        return JournalFault::CutShort;
    if (lines.size() > length || Crc(lines) != check)
        return JournalFault::Damaged;

    // Whole: what it says is read line by line, then it must be, byte for
    // byte, what the group of these names writes.
    std::size_t at = NextLine(lines, 0);
    for (std::size_t i = 0; i < names.targets.size(); ++i) {
        std::size_t kind = 0;
        while (kind < 2 && lines.substr(at, kTargetLines[kind].size()) != kTargetLines[kind])
            ++kind;
        journal.targets[i] = static_cast<TargetBefore>(kind);
        at = NextLine(lines, at);
    }
    for (std::size_t i = 0; i < names.entries.size(); ++i) {
        journal.entries[i] = TargetBefore::Kept;
        for (const TargetBefore entry : {TargetBefore::Absent, TargetBefore::Left})
            if (lines.substr(at, kEntryLines[1].size()) == kEntryLines[static_cast<int>(entry)])
                journal.entries[i] = entry;
        at = NextLine(lines, at);
    }
    return JournalText(journal, names) == text ? JournalFault::None : JournalFault::OtherGroup;
}

}  // namespace lumora
