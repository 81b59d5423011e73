#include "base/UiTexts.h"

#include <cstring>

#include "base/TextTables.h"

namespace lumora {

namespace {

// The texts of the table chosen; null: English.
const char* s_texts[kTextCount];
bool s_translated = false;

}  // namespace

const char* Text(TextId id)
{
    const auto i = static_cast<std::size_t>(id);
    return s_translated ? s_texts[i] : kEnglishTexts[i];
}

const char* EnglishText(TextId id) { return kEnglishTexts[static_cast<std::size_t>(id)]; }

bool Translated() { return s_translated; }

bool UseTextTables(std::string_view tables, std::uint16_t userLanguage)
{
    const std::optional<std::size_t> start = FindTextTable(tables, userLanguage);
    if (!start)
        return false;
    // FindTextTable has seen each text's zero byte.
    const char* text = tables.data() + *start;
    for (const char*& entry : s_texts) {
        entry = text;
        text += std::strlen(text) + 1;
    }
    s_translated = true;
    return true;
}

void UseEnglishTexts() { s_translated = false; }

std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> values)
{
    std::string text;
    const std::string_view* value = values.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's') {
            if (value != values.end())
                text += *value++;
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

}  // namespace lumora
