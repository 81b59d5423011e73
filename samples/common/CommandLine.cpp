#include "CommandLine.h"

#include <windows.h>

#include "Text.h"

namespace sample {

std::vector<std::string> splitCommandLine(const char* commandLine)
{
    std::vector<std::string> args;
    if (!commandLine)
        return args;
    std::string current;
    bool inArgument = false;
    bool quoted = false;
    for (const char* p = commandLine; *p; ++p) {
        const char c = *p;
        if (c == '"') {
            quoted = !quoted;
            inArgument = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inArgument)
                args.push_back(current);
            current.clear();
            inArgument = false;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        args.push_back(current);
    return args;
}

std::vector<std::string> processArguments()
{
    return splitCommandLine(utf8(GetCommandLineW()).c_str());
}

namespace {

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

int digitValue(char c, int base)
{
    int value = -1;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (lowerAscii(c) >= 'a' && lowerAscii(c) <= 'f')
        value = lowerAscii(c) - 'a' + 10;
    return value < base ? value : -1;
}

}  // namespace

bool equalsIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::string::size_type i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    }
    return true;
}

bool parseUnsigned(const std::string& text, std::uint32_t& value)
{
    std::string::size_type at = 0;
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && lowerAscii(text[1]) == 'x') {
        at = 2;
        base = 16;
    }
    if (at >= text.size())
        return false;
    std::uint64_t result = 0;
    for (; at < text.size(); ++at) {
        const int digit = digitValue(text[at], base);
        if (digit < 0)
            return false;
        result = result * base + digit;
        if (result > 0xFFFFFFFFull)
            return false;
    }
    value = static_cast<std::uint32_t>(result);
    return true;
}

std::string quoteArgument(const std::string& argument)
{
    if (!argument.empty() && argument.find_first_of(" \t") == std::string::npos)
        return argument;
    return "\"" + argument + "\"";
}

}  // namespace sample
