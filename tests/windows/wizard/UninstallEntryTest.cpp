#include <gtest/gtest.h>

#include <map>

#include "InstallTestSupport.h"
#include "base/PathEncoding.h"
#include "framework/Registry.h"
#include "settings/InstallScope.h"
#include "wizard/EarlierInstallation.h"
#include "wizard/UninstallRegistry.h"
#include "wizard/UninstallValues.h"

namespace lumora::test {
namespace {

constexpr const char* kList = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// The values of HKLM\<kList>\<entry>, read through the registry: the data
// as stored (terminating zero included) of REG_SZ values, "type <n>" for
// others.
std::map<std::string, std::string> ValuesOf(const std::string& entry)
{
    std::map<std::string, std::string> values;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (std::string(kList) + "\\" + entry).c_str(), 0, KEY_READ, &key))
        return values;
    char name[256];
    BYTE data[1024];
    DWORD nameLength = sizeof name, dataLength = sizeof data, type = 0;
    for (DWORD i = 0; !RegEnumValueA(key, i, name, &nameLength, nullptr, &type, data, &dataLength); ++i) {
        values[name] = type == REG_SZ ? std::string(reinterpret_cast<char*>(data), dataLength)
                                      : "type " + std::to_string(type);
        nameLength = sizeof name;
        dataLength = sizeof data;
    }
    RegCloseKey(key);
    return values;
}

// How many keys directly under the list carry `name`, in any case.
int EntriesNamed(const std::string& name)
{
    HKEY list = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kList, 0, KEY_READ, &list))
        return -1;
    int count = 0;
    char found[256];
    for (DWORD i = 0; !RegEnumKeyA(list, i, found, sizeof found); ++i)
        count += SameText(found, name);
    RegCloseKey(list);
    return count;
}

TEST(UninstallEntry, WrittenTwiceIsOneKeyWithTheValuesOfTheLastRun)
{
    // The first run's product and version give way to the toolmaker's
    // values of an installer built without them; its version goes.
    WriteUninstallEntry("lumtest.scr", "C:\\first",
                        {"Lumtest Dreams", "Lumtest Ltd", "1.2.3", "https://lumtest.example/"});
    EXPECT_EQ(InstalledVersion("lumtest.scr"), "1.2.3");
    WriteUninstallEntry("lumtest.scr", "C:\\WINDOWS", {});

    EXPECT_EQ(InstalledVersion("lumtest.scr"), "");
    EXPECT_EQ(EntriesNamed("lumtest Uninstall"), 1);
    // The five values, then those for deployment tools.
    const std::map<std::string, std::string> expected = {
        {"DisplayIcon", std::string("C:\\WINDOWS\\lumtest.scr") + '\0'},
        {"DisplayName", std::string("lumtest Uninstall") + '\0'},
        {"EstimatedSize", "type 4"},
        {"QuietUninstallString", std::string("\"C:\\WINDOWS\\lumtest.exe\" /S") + '\0'},
        {"HelpLink", std::string("http://www.quillon.co.uk/corporate/software/lumora/index.html") + '\0'},
        {"Publisher", std::string("Quillon Computers Ltd") + '\0'},
        {"UninstallString", std::string("C:\\WINDOWS\\lumtest.exe") + '\0'},
        {"UrlinfoAbout", std::string("http://www.quillon.co.uk/") + '\0'},
    };
    EXPECT_EQ(ValuesOf("lumtest Uninstall"), expected);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kList) + "\\lumtest Uninstall").c_str());
}

// An entry of a product with an identity names it, its screensaver and
// the author's icon in the uninstaller; the next version finds it by the
// identity, in any case, in its own folder and under another entry name,
// with the files that are not its own.
TEST(UninstallEntry, AProductWithAnIdentityIsFoundByItWhateverItsScreensaverIsCalled)
{
    WriteUninstallEntry("lumid.scr", "C:\\WINDOWS", {"Lumid", "", "1.1.0", "", "pl.lumid", "Lmunist.exe"});
    std::map<std::string, std::string> values = ValuesOf("lumid Uninstall");
    ASSERT_EQ(values["InstallDate"].size(), 9u);
    values.erase("InstallDate");
    const std::map<std::string, std::string> identity = {
        {"DisplayIcon", std::string("C:\\WINDOWS\\lumid.exe") + '\0'},
        {"InstallLocation", std::string("C:\\WINDOWS") + '\0'},
        {"LumoraProductId", std::string("pl.lumid") + '\0'},
        {"LumoraScreenSaver", std::string("lumid.scr") + '\0'},
        {"NoModify", "type 4"},
        {"NoRepair", "type 4"},
    };
    for (const auto& [name, value] : identity)
        EXPECT_EQ(values[name], value) << name;

    const auto found = [](const char* id, const char* own, const char* folder, const char* screenSaver) {
        return FindEarlierProduct(id, own, folder, InstalledPaths(screenSaver, folder));
    };
    const EarlierProduct earlier = found("PL.LUMID", "lumidHD Uninstall", "C:\\windows", "lumidHD.scr");
    EXPECT_EQ(earlier.entry, "lumid Uninstall");
    EXPECT_EQ(earlier.version, "1.1.0");
    EXPECT_EQ(earlier.files,
              (std::vector<std::string>{"C:\\windows\\lumid.scr", "C:\\WINDOWS\\lumid.exe", "C:\\WINDOWS\\lumid.nfo"}));
    // Its own files are not the earlier installation's to remove.
    EXPECT_EQ(found("pl.lumid", "other Uninstall", "C:\\WINDOWS", "lumid.scr").files, std::vector<std::string>());
    for (const auto& none : {found("pl.lumid", "LUMID uninstall", "C:\\WINDOWS", "lumidHD.scr"),
                             found("pl.lumid", "lumidHD Uninstall", "C:\\other", "lumidHD.scr"),
                             found("pl.lumi", "lumidHD Uninstall", "C:\\WINDOWS", "lumidHD.scr"),
                             found("", "lumidHD Uninstall", "C:\\WINDOWS", "lumidHD.scr")})
        EXPECT_EQ(none.entry, "");
    // An entry that a killed group removed is found by the copy it kept,
    // which the next run puts back.
    const std::string copy = KeptEntryName("lumid Uninstall", {79, 0});
    ASSERT_EQ(KeepUninstallEntry("lumid Uninstall", copy), TargetBefore::Kept);
    ASSERT_TRUE(TRegistryKey::DeleteTree(HKEY_LOCAL_MACHINE, UninstallEntryPathOf("lumid Uninstall")));
    EXPECT_EQ(found("pl.lumid", "lumidHD Uninstall", "C:\\WINDOWS", "lumidHD.scr").entry, "lumid Uninstall");
    DropUninstallEntryCopy("lumid Uninstall");
}

// The entry's copy and its undo find the entry of a name beyond ASCII (an
// 8-bit name of the system's code page), as its writing does.
TEST(UninstallEntry, ItsCopyPutsBackOrRemovesTheEntryOfANameBeyondAscii)
{
    const std::string file = "Caf\xE9.scr";
    const std::string copy = KeptEntryName(UninstallEntryName(file), {77, 0});
    const std::string entry = UninstallEntryPath(file);
    WriteUninstallEntry(file, "C:\\WINDOWS", {"Caf\xE9 1", "", "1.0.0", ""});
    const std::string name = UninstallEntryName(file);
    ASSERT_EQ(KeepUninstallEntry(name, copy), TargetBefore::Kept);
    WriteUninstallEntry(file, "C:\\WINDOWS", {"Caf\xE9 2", "", "2.0.0", ""});
    EXPECT_TRUE(RestoreUninstallEntry(name, TargetBefore::Kept, copy));
    EXPECT_EQ(InstalledVersion(file), "1.0.0");
    EXPECT_EQ(TRegistryKey::Open(HKEY_LOCAL_MACHINE, entry, KEY_READ).ReadString("DisplayName"), AuthorText("Caf\xE9 1"));
    // An entry that its group removed comes back too.
    ASSERT_TRUE(TRegistryKey::DeleteTree(HKEY_LOCAL_MACHINE, entry));
    EXPECT_TRUE(RestoreUninstallEntry(name, TargetBefore::Kept, copy));
    EXPECT_EQ(InstalledVersion(file), "1.0.0");

    EXPECT_TRUE(RestoreUninstallEntry(name, TargetBefore::Absent, copy));
    EXPECT_FALSE(TRegistryKey::Open(HKEY_LOCAL_MACHINE, entry, KEY_READ));
    ASSERT_EQ(KeepUninstallEntry(name, copy), TargetBefore::Absent);
    DropUninstallEntryCopy(name);
    EXPECT_FALSE(TRegistryKey::Open(HKEY_LOCAL_MACHINE, kKeptEntriesKey, KEY_READ));
}

// Installed for the current user only, the entry and its copy are the
// user's own; the user's list is made with its first entry, and nothing of
// either lies under HKEY_LOCAL_MACHINE.
TEST(UninstallEntry, PerUserTheEntryAndItsCopyLieInTheUsersRegistry)
{
    struct PerUser {
        PerUser() { InstallsPerUser = true; }
        ~PerUser() { InstallsPerUser = false; }
    } perUser;
    // Only a list without entries goes.
    RegDeleteKeyA(HKEY_CURRENT_USER, kList);
    const std::string copy = KeptEntryName("lumuser Uninstall", {78, 0});
    const std::string kept = std::string(kKeptEntriesKey) + "\\" + copy;
    WriteUninstallEntry("lumuser.scr", "C:\\users\\u\\AppData\\Local\\Programs\\Lumuser", {"", "", "1.0.0", ""});
    ASSERT_EQ(KeepUninstallEntry("lumuser Uninstall", copy), TargetBefore::Kept);
    const std::string entry = UninstallEntryPath("lumuser.scr");
    EXPECT_EQ(TRegistryKey::Open(HKEY_CURRENT_USER, entry, KEY_READ).ReadString("DisplayVersion"), "1.0.0");
    EXPECT_TRUE(TRegistryKey::Open(HKEY_CURRENT_USER, kept, KEY_READ));
    EXPECT_FALSE(TRegistryKey::Open(HKEY_LOCAL_MACHINE, entry, KEY_READ));
    EXPECT_FALSE(TRegistryKey::Open(HKEY_LOCAL_MACHINE, kept, KEY_READ));

    EXPECT_TRUE(RestoreUninstallEntry("lumuser Uninstall", TargetBefore::Absent, copy));
    EXPECT_FALSE(TRegistryKey::Open(HKEY_CURRENT_USER, entry, KEY_READ));
    DropUninstallEntryCopy("lumuser Uninstall");
    EXPECT_FALSE(TRegistryKey::Open(HKEY_CURRENT_USER, kKeptEntriesKey, KEY_READ));
}

TEST(UninstallEntry, AnEntryThatCannotBeCreatedIsReportedByItsName)
{
    // Key names are limited to 255 characters.
    const std::string base(300, 'n');
    EXPECT_EQ(ErrorOf([&] { WriteUninstallEntry(base + ".scr", "C:\\WINDOWS", {}); }),
              "Failed to create key " + base + " Uninstall");
}

}  // namespace
}  // namespace lumora::test
