#pragma once
// The command line after the command name: options and operands.
#include <map>
#include <string>
#include <vector>

#include "base/Error.h"

namespace setuppack {

// A command line that does not fit the command: exit code 2.
class UsageError : public lumora::Error {
public:
    using Error::Error;
};

struct Arguments {
    std::map<std::string, std::string> values;  // option -> its value
    std::map<std::string, std::vector<std::string>> lists;  // repeatable option -> its values
    std::vector<std::string> flags;             // options given without a value
    std::vector<std::string> operands;
    bool help = false;                          // --help or -h

    bool Has(const std::string& flag) const;
    // The value of `option`, or `fallback` when it was not given.
    std::string Value(const std::string& option, const std::string& fallback = {}) const;
    // The values of a repeatable option, in the order given.
    std::vector<std::string> Values(const std::string& option) const;
};

// Options may come before, between or after operands; "--" ends them. An
// unknown option, a missing value or an option given twice (but for the
// `repeatable` ones, also followed by a value) is a UsageError.
Arguments ParseArguments(const std::vector<std::string>& args, const std::vector<std::string>& flags,
                         const std::vector<std::string>& valued, const std::vector<std::string>& repeatable = {});

}  // namespace setuppack
