#include "launcher/SetupSwitches.h"

#include "base/AsciiText.h"

namespace lumora {

SetupSwitches ParseSetupSwitches(const std::vector<std::string>& args)
{
    constexpr std::string_view kLog = "/LOG=";
    constexpr std::string_view kLanguage = "/LANG=";
    SetupSwitches switches;
    for (const std::string& arg : args) {
        const std::string upper = UpperCaseAscii(arg);
        if (upper == "/S")
            switches.silent = true;
        else if (upper == "/ALLOWDOWNGRADE")
            switches.allowDowngrade = true;
        else if (upper == "/?")
            switches.help = true;
        else if (upper.compare(0, kLog.size(), kLog) == 0 && arg.size() > kLog.size())
            switches.log = arg.substr(kLog.size());
        else if (upper.compare(0, kLanguage.size(), kLanguage) == 0 && arg.size() > kLanguage.size())
            switches.language = arg.substr(kLanguage.size());
        else
            switches.unknown.push_back(arg);
    }
    return switches;
}

}  // namespace lumora
