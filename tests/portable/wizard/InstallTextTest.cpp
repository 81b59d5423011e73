#include <gtest/gtest.h>

#include "wizard/InOutError.h"
#include "wizard/InstallPaths.h"
#include "wizard/RegistrationCommand.h"
#include "wizard/UninstallValues.h"

namespace lumora {
namespace {

TEST(ScreenSaverBaseName, DropsTheLastFourCharactersAndIsEmptyForShortNames)
{
    const std::pair<const char*, const char*> cases[] = {
        {"name.scr", "name"},
        {"My Long Screen Saver Name.scr", "My Long Screen Saver Name"},
        {"a.scr", "a"},
        {".scr", ""},
        {"scr", ""},
        {"", ""},
        {"archive.tar.scr", "archive.tar"},
    };
    for (const auto& [file, base] : cases)
        EXPECT_EQ(ScreenSaverBaseName(file), base) << file;
}

TEST(InstallPaths, CopiesAndInfoFileInTheTargetFolder)
{
    const InstallPaths paths = PlanInstallPaths("C:\\WINDOWS", "name.scr", "name", "C:\\Temp\\");
    EXPECT_EQ(paths.screenSaverSource, "C:\\Temp\\name.scr");
    EXPECT_EQ(paths.screenSaverTarget, "C:\\WINDOWS\\name.scr");
    EXPECT_EQ(paths.uninstallerSource, "C:\\Temp\\Lmunist.exe");
    EXPECT_EQ(paths.uninstallerTarget, "C:\\WINDOWS\\name.exe");
    EXPECT_EQ(paths.activeXInstaller, "C:\\Temp\\Install.exe");
    EXPECT_EQ(paths.infoFile, "C:\\WINDOWS\\name.nfo");

    EXPECT_EQ(InfoFileText("name.scr", "C:\\WINDOWS"), "name.scr\r\nC:\\WINDOWS\r\n");
}

// Windows starts an unquoted command's program at its first blank: "Aurora
// Deluxe" would remove Aurora.
TEST(UninstallValues, TheUninstallCommandIsQuotedWhenItsPathHoldsABlank)
{
    const auto command = [](const std::string& screenSaver, const std::string& target) {
        for (const auto& [name, value] : UninstallValues(screenSaver, target))
            if (name == "UninstallString")
                return value;
        return std::string("(none)");
    };
    EXPECT_EQ(command("name.scr", "C:\\WINDOWS"), "C:\\WINDOWS\\name.exe");
    EXPECT_EQ(command("Aurora Deluxe.scr", "C:\\WINDOWS"), "\"C:\\WINDOWS\\Aurora Deluxe.exe\"");
    EXPECT_EQ(command("name.scr", "C:\\Program Files"), "\"C:\\Program Files\\name.exe\"");
    EXPECT_EQ(UninstallExtraValues("Aurora Deluxe.scr", "C:\\WINDOWS")[0].second,
              "\"C:\\WINDOWS\\Aurora Deluxe.exe\" /S");
}

TEST(RegistrationCommand, TextsOfEachPlatformWithAndWithoutATrailingBackslash)
{
    struct Case {
        bool nt;
        const char* folder;  // the system folder on NT, the Windows folder elsewhere
        const char* target;
        const char* program;
        const char* parameters;
    };
    const Case cases[] = {
        {true, "C:\\WINNT\\system32", "C:\\WINNT", "C:\\WINNT\\system32\\RunDll32.exe",
         " desk.cpl,InstallScreenSaver C:\\WINNT\\name.scr"},
        {true, "C:\\WINNT\\system32\\", "C:\\WINNT", "C:\\WINNT\\system32\\RunDll32.exe",
         " desk.cpl,InstallScreenSaver C:\\WINNT\\name.scr"},
        {false, "C:\\WINDOWS", "C:\\WINDOWS", "C:\\WINDOWS\\rundll32.exe ",
         "desk.cpl,InstallScreenSaver C:\\WINDOWS\\name.scr"},
        {false, "C:\\", "C:\\WINDOWS", "C:\\RunDll32.exe ", "desk.cpl,InstallScreenSaver C:\\WINDOWS\\name.scr"},
        // The path is handed over as it is, blanks and all, without quotes.
        {false, "C:\\WINDOWS", "C:\\My Programs", "C:\\WINDOWS\\rundll32.exe ",
         "desk.cpl,InstallScreenSaver C:\\My Programs\\name.scr"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.nt ? "NT " : "other ") + c.folder);
        const ShellCommand command = c.nt ? RegistrationCommandNT(c.folder, c.target, "name.scr")
                                          : RegistrationCommandOther(c.folder, c.target, "name.scr");
        EXPECT_EQ(command.program, c.program);
        EXPECT_EQ(command.parameters, c.parameters);
    }
}

TEST(InOutError, TextsOfTheErrorNumbers)
{
    const std::pair<unsigned, const char*> cases[] = {
        {2, "File not found"},     {3, "Invalid filename"},  {4, "Too many open files"},
        {5, "File access denied"}, {101, "Disk full"},       {112, "I/O error 112"},
        {0, "I/O error 0"},        {32, "I/O error 32"},
    };
    for (const auto& [code, text] : cases) {
        const InOutError error(code);
        EXPECT_STREQ(error.what(), text) << code;
        EXPECT_EQ(error.Code(), code);
    }
}

}  // namespace
}  // namespace lumora
