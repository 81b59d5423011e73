#include "base/TextTables.h"

#include <cstring>

#include "base/AsciiText.h"

namespace lumora {

namespace {

constexpr std::size_t kMarkSize = sizeof kTextTablesMark - 1;

std::uint16_t PrimaryLanguage(std::uint16_t language) { return language & 0x3FF; }

// "pt" of "pt-BR".
std::string_view PrimaryTag(std::string_view tag) { return tag.substr(0, tag.find('-')); }

}  // namespace

std::string WriteTextTables(const std::vector<TextTable>& tables)
{
    std::string out(kTextTablesMark, kMarkSize);
    for (const TextTable& table : tables) {
        out += static_cast<char>(table.language & 0xFF);
        out += static_cast<char>(table.language >> 8);
        for (std::size_t i = 0; i < kTextCount; ++i) {
            out += table.texts[i];
            out += '\0';
        }
    }
    return out;
}

std::optional<std::size_t> FindTextTable(std::string_view tables, std::uint16_t language)
{
    if (tables.size() < kMarkSize || std::memcmp(tables.data(), kTextTablesMark, kMarkSize) != 0)
        return std::nullopt;
    std::optional<std::size_t> found;
    std::size_t at = kMarkSize;
    while (tables.size() - at > 2) {
        const std::uint16_t table = static_cast<unsigned char>(tables[at]) |
                                    static_cast<unsigned char>(tables[at + 1]) << 8;
        const std::size_t start = at + 2;
        at = start;
        for (std::size_t i = 0; i < kTextCount; ++i) {
            const std::size_t end = tables.find('\0', at);
            if (end == std::string_view::npos)
                return found;
            at = end + 1;
        }
        if (table == language)
            return start;
        if (!found && PrimaryLanguage(table) == PrimaryLanguage(language))
            found = start;
    }
    return found;
}

std::optional<std::uint16_t> LanguageOfTag(std::string_view tag)
{
    const std::string lower = LowerCaseAscii(tag);
    for (const LanguageTag& known : kLanguageTags)
        if (LowerCaseAscii(known.tag) == lower)
            return known.language;
    for (const LanguageTag& known : kLanguageTags)
        if (!lower.empty() && LowerCaseAscii(PrimaryTag(known.tag)) == PrimaryTag(lower))
            return known.language;
    return std::nullopt;
}

}  // namespace lumora
