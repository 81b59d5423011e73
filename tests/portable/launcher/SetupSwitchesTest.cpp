#include <gtest/gtest.h>

#include "launcher/SetupSwitches.h"

namespace lumora {
namespace {

TEST(SetupSwitches, SilentLogAndHelpInAnyCaseTheRestUnknown)
{
    const SetupSwitches none = ParseSetupSwitches({});
    EXPECT_FALSE(none.silent || none.help || none.allowDowngrade);
    EXPECT_EQ(none.log, "");

    const SetupSwitches given =
        ParseSetupSwitches({"/s", "/Log=C:\\Logs\\Aurora Setup.log", "/?", "/VERYSILENT", "/LOG=", "/DIR=C:\\x",
                            "/AllowDowngrade", "/lang=pt-BR", "/LANG="});
    EXPECT_TRUE(given.silent);
    EXPECT_TRUE(given.allowDowngrade);
    EXPECT_TRUE(given.help);
    EXPECT_EQ(given.log, "C:\\Logs\\Aurora Setup.log");
    EXPECT_EQ(given.language, "pt-BR");
    EXPECT_EQ(given.unknown, (std::vector<std::string>{"/VERYSILENT", "/LOG=", "/DIR=C:\\x", "/LANG="}));
}

}  // namespace
}  // namespace lumora
