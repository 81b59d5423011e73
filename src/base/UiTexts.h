#pragma once
// The installer's fixed texts in the user's language: English, as every
// installer has them, until the translated tables of the installer (see
// TextTables.h) give one for the user's language. Text is what the user
// sees; the log is written with EnglishText, for administrators to search.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "UiTextIds.h"

namespace lumora {

// The text in the language chosen, UTF-8.
const char* Text(TextId id);
const char* EnglishText(TextId id);
// Whether a translation has been chosen.
bool Translated();

// Chooses the table of `tables` for the user's language (FindTextTable);
// false, and English kept, when they have none. The texts stay where they
// are: `tables` must live as long as the program (the installer's own
// resources do).
bool UseTextTables(std::string_view tables, std::uint16_t userLanguage);
// Back to English.
void UseEnglishTexts();

// `pattern` with each "%s" replaced by the next of `values`, in order; a
// "%s" beyond them is left out.
std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> values);

}  // namespace lumora
