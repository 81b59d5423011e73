#pragma once
// The commands of setuppack: each has a name, a one-line summary for the
// general help, its own help text, the options it takes and a function that
// runs it. A new command is one more row in the table (CommandTable.cpp).
#include <string>
#include <vector>

#include "input/Arguments.h"

namespace setuppack {

struct Command {
    const char* name;
    const char* summary;
    const char* help;                 // shown by "setuppack NAME --help"
    std::vector<std::string> flags;   // options without a value
    std::vector<std::string> valued;  // options followed by a value
    // Returns the exit code; throws UsageError or lumora::Error.
    int (*run)(const Arguments& args);
    std::vector<std::string> repeatable = {};  // options with a value, given any number of times
};

const std::vector<Command>& Commands();
const Command* FindCommand(const std::string& name);

// The command functions, one file each.
int RunBuild(const Arguments& args);
int RunExtract(const Arguments& args);
int RunList(const Arguments& args);
int RunSettings(const Arguments& args);
int RunVerify(const Arguments& args);

}  // namespace setuppack
