#include "LanguageOptions.h"

#include <algorithm>
#include <vector>

#include "Translations.h"
#include "base/AsciiText.h"
#include "base/TextTables.h"

namespace setuppack {

namespace {

constexpr const char* kEnglish = "en";

// `text` without the blanks around it: "de, pl" names two languages.
std::string WithoutBlanks(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

const Translation* FindTranslation(const std::string& tag)
{
    for (const Translation& translation : Translations())
        if (lumora::LowerCaseAscii(translation.tag) == lumora::LowerCaseAscii(tag))
            return &translation;
    return nullptr;
}

}  // namespace

std::string LanguageTags()
{
    std::string tags;
    for (const Translation& translation : Translations())
        tags += (tags.empty() ? "" : ", ") + std::string(translation.tag);
    return tags;
}

std::string TextTablesOf(const Arguments& args)
{
    if (args.values.count("--language") == 0)
        return {};
    const std::string list = WithoutBlanks(args.Value("--language"));
    std::vector<const Translation*> chosen;
    if (list == "all") {
        for (const Translation& translation : Translations())
            chosen.push_back(&translation);
    } else {
        std::size_t at = 0;
        do {
            const std::size_t comma = std::min(list.find(',', at), list.size());
            const std::string tag = WithoutBlanks(list.substr(at, comma - at));
            const Translation* translation = FindTranslation(tag);
            if (!translation)
                throw UsageError("--language: \"" + tag + "\" is no language of the tool; give tags from " +
                                 LanguageTags() + ", separated by commas, or all");
            if (std::find(chosen.begin(), chosen.end(), translation) == chosen.end())
                chosen.push_back(translation);
            at = comma + 1;
        } while (at <= list.size());
    }
    std::vector<lumora::TextTable> tables;
    for (const Translation* translation : chosen)
        if (std::string(translation->tag) != kEnglish)
            tables.push_back({translation->language, translation->texts});
    if (tables.empty())
        return {};
    return lumora::WriteTextTables(tables);
}

}  // namespace setuppack
