#pragma once
// The tables of translations/, built into the tool (scripts/translations.py
// makes Translations.cpp from them at build time): English first, then the
// others by their tags.
#include <cstdint>
#include <vector>

#include "UiTextIds.h"

namespace setuppack {

struct Translation {
    const char* tag;        // the file's name: "de", "pt-BR", ...
    std::uint16_t language; // the Windows language number (LANGID)
    const char* texts[lumora::kTextCount];
};

const std::vector<Translation>& Translations();

}  // namespace setuppack
