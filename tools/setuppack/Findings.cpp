#include "Findings.h"

#include <cstdio>

#include "base/PrintableText.h"

namespace setuppack {

namespace {

constexpr std::size_t kMaxQuoted = 60;

void Print(const char* kind, const Finding& finding)
{
    std::fflush(stdout);
    std::fprintf(stderr, "setuppack: %s%s: %s\n", kind, lumora::PrintableText(finding.where).c_str(),
                 finding.text.c_str());
}

}  // namespace

void PrintFindings(const Findings& findings, bool problemsAsWarnings)
{
    for (const Finding& problem : findings.problems)
        Print(problemsAsWarnings ? "warning: " : "", problem);
    for (const Finding& warning : findings.warnings)
        Print("warning: ", warning);
}

std::string Quoted(const std::string& value)
{
    const std::string shown = lumora::PrintableText(value);
    if (shown.size() <= kMaxQuoted)
        return "\"" + shown + "\"";
    return "\"" + shown.substr(0, kMaxQuoted) + "\"...";
}

}  // namespace setuppack
