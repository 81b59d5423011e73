#include "Problems.h"

#include <cstdio>

#include "base/PrintableText.h"

namespace setuppack {

void PrintProblems(const std::string& path, const std::vector<std::string>& problems, std::uint64_t more)
{
    const std::string shown = lumora::PrintableText(path);
    for (const std::string& problem : problems)
        std::fprintf(stderr, "setuppack: %s: %s\n", shown.c_str(), problem.c_str());
    if (more > 0)
        std::fprintf(stderr, "setuppack: %s: and %llu more problem%s\n", shown.c_str(),
                     static_cast<unsigned long long>(more), more == 1 ? "" : "s");
}

}  // namespace setuppack
