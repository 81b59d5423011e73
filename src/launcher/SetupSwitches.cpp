#include "launcher/SetupSwitches.h"

#include "base/AsciiText.h"

namespace lumora {

const char* const kSwitchesHelp =
    "Lumora Install Program switches:\n"
    "\n"
    "/S\tinstall without any window into the Windows folder\n"
    "/LOG=FILE\twrite each step and its result into FILE\n"
    "/?\tshow this list\n"
    "\n"
    "Exit codes: 0 installed, 1 cancelled, 2 the installer is damaged, 3 its files could not be "
    "restored, 4 the screensaver could not be copied, 5 another failure.";

SetupSwitches ParseSetupSwitches(const std::vector<std::string>& args)
{
    constexpr std::string_view kLog = "/LOG=";
    SetupSwitches switches;
    for (const std::string& arg : args) {
        const std::string upper = UpperCaseAscii(arg);
        if (upper == "/S")
            switches.silent = true;
        else if (upper == "/?")
            switches.help = true;
        else if (upper.compare(0, kLog.size(), kLog) == 0 && arg.size() > kLog.size())
            switches.log = arg.substr(kLog.size());
        else
            switches.unknown.push_back(arg);
    }
    return switches;
}

}  // namespace lumora
