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
    std::vector<std::string> flags;             // options given without a value
    std::vector<std::string> operands;
    bool help = false;                          // --help or -h

    bool Has(const std::string& flag) const;
    // The value of `option`, or `fallback` when it was not given.
    std::string Value(const std::string& option, const std::string& fallback = {}) const;
};

// Options may come before, between or after operands; "--" ends them. An
// unknown option, a missing value or an option given twice is a UsageError.
Arguments ParseArguments(const std::vector<std::string>& args, const std::vector<std::string>& flags,
                         const std::vector<std::string>& valued);

}  // namespace setuppack
