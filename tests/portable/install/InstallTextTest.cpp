#include <gtest/gtest.h>

#include "wizard/InOutError.h"
#include "wizard/InstallPaths.h"
#include "wizard/RegistrationCommand.h"
#include "wizard/UninstallValues.h"

namespace lumora {
namespace {

TEST(BaseName, DropsTheLastFourCharactersAndIsEmptyForShortNames)
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
        EXPECT_EQ(BaseName(file), base) << file;
}

TEST(InstallPaths, CopiesAndInfoFileInTheTargetFolder)
{
    const InstallPaths paths = PlanInstallPaths("C:\\WINDOWS", "name.scr", "C:\\Temp\\");
    EXPECT_EQ(paths.screenSaverSource, "C:\\Temp\\name.scr");
    EXPECT_EQ(paths.screenSaverTarget, "C:\\WINDOWS\\name.scr");
    EXPECT_EQ(paths.uninstallerSource, "C:\\Temp\\Lmunist.exe");
    EXPECT_EQ(paths.uninstallerTarget, "C:\\WINDOWS\\name.exe");
    EXPECT_EQ(paths.activeXInstaller, "C:\\Temp\\Install.exe");
    EXPECT_EQ(paths.infoFile, "C:\\WINDOWS\\name.nfo");

    EXPECT_EQ(InfoFileText("name.scr", "C:\\WINDOWS"), "name.scr\r\nC:\\WINDOWS\r\n");
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

TEST(UninstallValues, EntryNamedAfterTheBaseNameWithItsFiveValuesInOrder)
{
    EXPECT_EQ(UninstallEntryName("name.scr"), "name Uninstall");
    EXPECT_EQ(UninstallEntryPath("name.scr"), "Software\\Microsoft\\Windows\\currentversion\\uninstall\\name uninstall");

    const UninstallValueList values = UninstallValues("name.scr", "C:\\WINDOWS");
    ASSERT_EQ(values.size(), 5u);
    const char* const names[] = {"DisplayName", "HelpLink", "Publisher", "UninstallString", "UrlinfoAbout"};
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(values[i].first, names[i]);
    EXPECT_EQ(values[0].second, "name Uninstall");
    EXPECT_EQ(values[3].second, "C:\\WINDOWS\\name.exe");
    const std::string help = values[1].second;
    const std::string productPath = "/corporate/software/lumora/index.html";
    ASSERT_GT(help.size(), productPath.size());
    EXPECT_EQ(help.compare(help.size() - productPath.size(), productPath.size(), productPath), 0);
    // The home page is the product page's host with no path.
    const std::string home = values[4].second;
    EXPECT_EQ(help.substr(0, help.size() - productPath.size()) + "/", home);
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
