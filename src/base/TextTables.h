#pragma once
// The tables of translated texts that `setuppack build --language` puts into
// an installer's resources (RT_RCDATA, number kTextTablesResource), and
// that the installer reads as it starts:
//
//   mark      16 bytes: "LMTEXTS1" and 8 hexadecimal digits that name the
//             list of texts (kTextTablesMark), so that tables of other keys
//             are never taken for these
//   table...  to the end:
//     language  2 bytes, little-endian: the Windows language number (LANGID)
//     texts     kTextCount UTF-8 texts in the order of TextId, each ended by
//               a zero byte
//
// The texts come from translations/*.txt (scripts/translations.py).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "UiTextIds.h"

namespace lumora {

inline constexpr std::uint16_t kTextTablesResource = 1;

struct TextTable {
    std::uint16_t language = 0;
    const char* const* texts = nullptr;  // kTextCount texts
};

// The tables in the layout above.
std::string WriteTextTables(const std::vector<TextTable>& tables);

// Where the texts of the table for `language` start in `tables`: the table
// of that very language, else the first of its primary language (the low
// ten bits), else none. None too when `tables` do not start with the mark; a
// table cut short ends the search.
std::optional<std::size_t> FindTextTable(std::string_view tables, std::uint16_t language);

// The Windows language number of the language `tag` names (kLanguageTags),
// its letter case aside: the language of that very tag, else the first of
// its primary language ("de-AT", "pt": that of "de", "pt-BR"); none for a
// language there are no tables for.
std::optional<std::uint16_t> LanguageOfTag(std::string_view tag);

}  // namespace lumora
