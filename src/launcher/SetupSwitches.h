#pragma once
// The installer's switches, for administrators who deploy it unattended.
// Without one the installer runs as it always has, reading nothing else from
// its command line.
//   /S          no window at all: the installation that the wizard's forward
//               button makes on its default path; errors go to the log and
//               the exit code (settings/ExitCodes.h)
//   /LOG=FILE   one line per step with its result, UTF-8, created or appended
//   /ALLOWDOWNGRADE  with /S, installs an older version of the product over
//               a newer one, which /S otherwise refuses
//   /LANG=TAG   the wizard's language, of those the installer carries
//               (launcher/InstallerLanguage.h)
//   /?          a box that lists the switches (without /S), in the
//               installer's language (TextId::SwitchesHelp)
// Switches are read without regard to letter case.
#include <string>
#include <vector>

namespace lumora {

struct SetupSwitches {
    bool silent = false;
    bool help = false;
    bool allowDowngrade = false;
    std::string log;                   // path text; empty: no log
    std::string language;              // the tag of /LANG=; empty: none
    std::vector<std::string> unknown;  // what the installer does not know, as given
};

// `args`: the command line's arguments without the program's name.
SetupSwitches ParseSetupSwitches(const std::vector<std::string>& args);

}  // namespace lumora
