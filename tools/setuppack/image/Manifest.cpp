#include "Manifest.h"

#include <regex>
#include <vector>

#include "base/Error.h"

namespace setuppack {

namespace {

struct Span {
    std::size_t at;
    std::size_t size;
};

// Where the value of the level attribute of each requestedExecutionLevel
// element lies (its name with or without a namespace prefix).
std::vector<Span> LevelValues(const std::string& xml)
{
    static const std::regex element(R"(<(?:[A-Za-z_][\w.-]*:)?requestedExecutionLevel\b[^>]*>)");
    static const std::regex level(R"(\slevel\s*=\s*("|')([^"']*)\1)");
    std::vector<Span> values;
    for (std::sregex_iterator it(xml.begin(), xml.end(), element), end; it != end; ++it) {
        const std::string tag = it->str();
        std::smatch value;
        if (std::regex_search(tag, value, level))
            values.push_back({static_cast<std::size_t>(it->position() + value.position(2)),
                              static_cast<std::size_t>(value.length(2))});
    }
    return values;
}

}  // namespace

std::string ExecutionLevel(const Bytes& manifest)
{
    const std::string xml(manifest.begin(), manifest.end());
    const std::vector<Span> values = LevelValues(xml);
    return values.size() == 1 ? xml.substr(values[0].at, values[0].size) : std::string();
}

Bytes WithExecutionLevel(const Bytes& manifest, const std::string& level)
{
    const std::string xml(manifest.begin(), manifest.end());
    const std::vector<Span> values = LevelValues(xml);
    if (values.size() != 1)
        throw lumora::Error(values.empty() ? "its manifest asks for no execution level (requestedExecutionLevel)"
                                           : "its manifest names more than one execution level");
    Bytes rewritten(manifest.begin(), manifest.begin() + static_cast<std::ptrdiff_t>(values[0].at));
    rewritten.insert(rewritten.end(), level.begin(), level.end());
    rewritten.insert(rewritten.end(), manifest.begin() + static_cast<std::ptrdiff_t>(values[0].at + values[0].size),
                     manifest.end());
    return rewritten;
}

}  // namespace setuppack
