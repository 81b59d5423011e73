#include <gtest/gtest.h>

#include <map>

#include "InstallTestSupport.h"
#include "base/PathEncoding.h"
#include "framework/Registry.h"
#include "settings/InstallScope.h"
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

// The entry's copy and its undo find the entry of a name beyond ASCII (an
// 8-bit name of the system's code page), as its writing does.
TEST(UninstallEntry, ItsCopyPutsBackOrRemovesTheEntryOfANameBeyondAscii)
{
    const std::string file = "Caf\xE9.scr";
    const std::string copy = KeptEntryName(UninstallEntryName(file), {77, 0});
    const std::string entry = UninstallEntryPath(file);
    WriteUninstallEntry(file, "C:\\WINDOWS", {"Caf\xE9 1", "", "1.0.0", ""});
    ASSERT_EQ(KeepUninstallEntry(file, copy), TargetBefore::Kept);
    WriteUninstallEntry(file, "C:\\WINDOWS", {"Caf\xE9 2", "", "2.0.0", ""});
    EXPECT_TRUE(RestoreUninstallEntry(file, TargetBefore::Kept, copy));
    EXPECT_EQ(InstalledVersion(file), "1.0.0");
    EXPECT_EQ(TRegistryKey::Open(HKEY_LOCAL_MACHINE, entry, KEY_READ).ReadString("DisplayName"), AuthorText("Caf\xE9 1"));

    EXPECT_TRUE(RestoreUninstallEntry(file, TargetBefore::Absent, copy));
    EXPECT_FALSE(TRegistryKey::Open(HKEY_LOCAL_MACHINE, entry, KEY_READ));
    ASSERT_EQ(KeepUninstallEntry(file, copy), TargetBefore::Absent);
    DropUninstallEntryCopy(file);
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
    ASSERT_EQ(KeepUninstallEntry("lumuser.scr", copy), TargetBefore::Kept);
    const std::string entry = UninstallEntryPath("lumuser.scr");
    EXPECT_EQ(TRegistryKey::Open(HKEY_CURRENT_USER, entry, KEY_READ).ReadString("DisplayVersion"), "1.0.0");
    EXPECT_TRUE(TRegistryKey::Open(HKEY_CURRENT_USER, kept, KEY_READ));
    EXPECT_FALSE(TRegistryKey::Open(HKEY_LOCAL_MACHINE, entry, KEY_READ));
    EXPECT_FALSE(TRegistryKey::Open(HKEY_LOCAL_MACHINE, kept, KEY_READ));

    EXPECT_TRUE(RestoreUninstallEntry("lumuser.scr", TargetBefore::Absent, copy));
    EXPECT_FALSE(TRegistryKey::Open(HKEY_CURRENT_USER, entry, KEY_READ));
    DropUninstallEntryCopy("lumuser.scr");
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
