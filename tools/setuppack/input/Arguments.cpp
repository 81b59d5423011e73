#include "Arguments.h"

#include <algorithm>

namespace setuppack {

namespace {

bool Contains(const std::vector<std::string>& list, const std::string& item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

}  // namespace

bool Arguments::Has(const std::string& flag) const { return Contains(flags, flag); }

std::string Arguments::Value(const std::string& option, const std::string& fallback) const
{
    const auto it = values.find(option);
    return it == values.end() ? fallback : it->second;
}

std::vector<std::string> Arguments::Values(const std::string& option) const
{
    const auto it = lists.find(option);
    return it == lists.end() ? std::vector<std::string>() : it->second;
}

Arguments ParseArguments(const std::vector<std::string>& args, const std::vector<std::string>& flags,
                         const std::vector<std::string>& valued, const std::vector<std::string>& repeatable)
{
    Arguments parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            parsed.operands.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            parsed.help = true;
        } else if (Contains(flags, arg)) {
            if (parsed.Has(arg))
                throw UsageError(arg + " is given twice");
            parsed.flags.push_back(arg);
        } else if (Contains(valued, arg) || Contains(repeatable, arg)) {
            if (i + 1 >= args.size())
                throw UsageError(arg + " needs a value");
            if (Contains(repeatable, arg))
                parsed.lists[arg].push_back(args[++i]);
            else if (!parsed.values.emplace(arg, args[++i]).second)
                throw UsageError(arg + " is given twice");
        } else {
            throw UsageError("unknown option " + arg);
        }
    }
    return parsed;
}

}  // namespace setuppack
