#pragma once
// What the checks of a payload or a settings file found. Problems keep build
// from writing an installer (unless forced, and some even then) and make
// verify and settings fail; warnings are shown and change nothing.
#include <string>
#include <string_view>
#include <vector>

namespace setuppack {

struct Finding {
    std::string where;  // the file it concerns, as messages name it
    std::string text;
    // --force writes the installer all the same; not for what is never
    // safe (a Windows program replaced, a name shown otherwise than it is).
    bool forceable = true;
};

struct Findings {
    std::vector<Finding> problems;
    std::vector<Finding> warnings;

    void Problem(std::string where, std::string text) { problems.push_back({std::move(where), std::move(text)}); }
    void Refusal(std::string where, std::string text)
    {
        problems.push_back({std::move(where), std::move(text), false});
    }
    void Warning(std::string where, std::string text) { warnings.push_back({std::move(where), std::move(text)}); }
};

// On standard error, one line each: "setuppack: WHERE: TEXT" for a problem,
// "setuppack: warning: WHERE: TEXT" for a warning; problems first, or, when
// `forced`, those --force passes as warnings too.
void PrintFindings(const Findings& findings, bool forced = false);

// `value` with its control characters escaped, and its bytes above 127 too
// unless it is UTF-8 text, for a UTF-8 terminal; in UTF-8 text, the
// characters that reorder or hide letters as "\u202E".
std::string ShownText(std::string_view value);

// ShownText in double quotes, a long one cut short, for messages.
std::string Quoted(const std::string& value);

}  // namespace setuppack
