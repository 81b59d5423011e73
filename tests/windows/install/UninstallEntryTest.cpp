#include <gtest/gtest.h>

#include <map>

#include "base/Error.h"
#include "framework/Registry.h"
#include "wizard/UninstallRegistry.h"

namespace lumora::test {
namespace {

constexpr const char* kList = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

struct StoredValue {
    DWORD type = 0;
    std::string data;  // as stored, terminating zero included
};

// The values of HKLM\<kList>\<entry>, read through the registry itself.
std::map<std::string, StoredValue> ValuesOf(const std::string& entry)
{
    std::map<std::string, StoredValue> values;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (std::string(kList) + "\\" + entry).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return values;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameLength = sizeof name;
        BYTE data[1024];
        DWORD dataLength = sizeof data;
        DWORD type = 0;
        if (RegEnumValueA(key, i, name, &nameLength, nullptr, &type, data, &dataLength) != ERROR_SUCCESS)
            break;
        values[std::string(name, nameLength)] = {type, std::string(reinterpret_cast<char*>(data), dataLength)};
    }
    RegCloseKey(key);
    return values;
}

// How many keys directly under the list carry `name`, in any case.
int EntriesNamed(const std::string& name)
{
    HKEY list = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kList, 0, KEY_READ, &list) != ERROR_SUCCESS)
        return -1;
    int count = 0;
    char found[256];
    for (DWORD i = 0; RegEnumKeyA(list, i, found, sizeof found) == ERROR_SUCCESS; ++i)
        count += _stricmp(found, name.c_str()) == 0;
    RegCloseKey(list);
    return count;
}

std::string Stored(const std::string& text) { return text + '\0'; }

TEST(UninstallEntry, WrittenTwiceIsOneKeyWithTheFiveValuesOfTheLastRun)
{
    WriteUninstallEntry("lumtest.scr", "C:\\first");
    WriteUninstallEntry("lumtest.scr", "C:\\WINDOWS");

    EXPECT_EQ(EntriesNamed("lumtest Uninstall"), 1);
    const auto values = ValuesOf("lumtest Uninstall");
    const std::map<std::string, std::string> expected = {
        {"DisplayName", Stored("lumtest Uninstall")},
        {"HelpLink", Stored("http://www.quillon.co.uk/corporate/software/lumora/index.html")},
        {"Publisher", Stored("Quillon Computers Ltd")},
        {"UninstallString", Stored("C:\\WINDOWS\\lumtest.exe")},
        {"UrlinfoAbout", Stored("http://www.quillon.co.uk/")},
    };
    ASSERT_EQ(values.size(), expected.size());
    for (const auto& [name, data] : expected) {
        SCOPED_TRACE(name);
        ASSERT_EQ(values.count(name), 1u);
        EXPECT_EQ(values.at(name).type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(values.at(name).data, data);
    }
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kList) + "\\lumtest Uninstall").c_str());
}

TEST(UninstallEntry, AnEntryThatCannotBeCreatedIsReportedByItsName)
{
    // Key names are limited to 255 characters.
    const std::string base(300, 'n');
    try {
        WriteUninstallEntry(base + ".scr", "C:\\WINDOWS");
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), ("Failed to create key " + base + " Uninstall").c_str());
    }
}

TEST(RegistryKey, OpensOnlyWhatExistsAndCreatesOnce)
{
    const std::string path = "Software\\Lumora Test Key";
    EXPECT_FALSE(TRegistryKey::Open(HKEY_CURRENT_USER, path, KEY_ALL_ACCESS));
    {
        TRegistryKey parent = TRegistryKey::Open(HKEY_CURRENT_USER, "Software", KEY_ALL_ACCESS);
        ASSERT_TRUE(parent);
        TRegistryKey created = TRegistryKey::Create(parent.Handle(), "Lumora Test Key", KEY_ALL_ACCESS);
        ASSERT_TRUE(created);
        created.WriteString("Empty", "");
    }
    TRegistryKey again = TRegistryKey::Open(HKEY_CURRENT_USER, path, KEY_READ);
    ASSERT_TRUE(again);
    char data[8];
    DWORD size = sizeof data;
    DWORD type = 0;
    ASSERT_EQ(RegQueryValueExA(again.Handle(), "Empty", nullptr, &type, reinterpret_cast<BYTE*>(data), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 1u);  // the terminating zero alone
    // A key opened for reading takes no values.
    try {
        again.WriteString("Refused", "x");
        ADD_FAILURE() << "no error";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "Failed to set data for 'Refused'");
    }
    again.Close();
    RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
}

}  // namespace
}  // namespace lumora::test
