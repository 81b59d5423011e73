#pragma once
// build --language LIST: the translated texts an installer carries, chosen
// by the languages' tags ("de,fr,ja", in any letter case) or "all". English
// is every installer's own and needs none.
#include <string>

#include "input/Arguments.h"

namespace setuppack {

// The tables of the languages named by --language in the layout of
// base/TextTables.h; empty without the option (or with English alone).
// Throws UsageError for a value that names no language.
std::string TextTablesOf(const Arguments& args);

// The tags of the languages there are tables for, "de, es, ..." (English
// included).
std::string LanguageTags();

}  // namespace setuppack
