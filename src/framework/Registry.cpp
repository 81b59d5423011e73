#include "framework/Registry.h"

#include "base/Error.h"

namespace lumora {

TRegistryKey TRegistryKey::Open(HKEY parent, const std::string& path, REGSAM access)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, path.c_str(), 0, access, &key) != ERROR_SUCCESS)
        return {};
    return TRegistryKey(key);
}

TRegistryKey TRegistryKey::Create(HKEY parent, const std::string& name, REGSAM access)
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(parent, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key,
                        &disposition) != ERROR_SUCCESS)
        throw Error("Failed to create key " + name);
    return TRegistryKey(key);
}

void TRegistryKey::WriteString(const std::string& name, const std::string& value)
{
    // The size counts the terminating zero, which is stored with the text.
    if (value.size() >= MAXDWORD ||
        RegSetValueExA(key_.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
        throw Error("Failed to set data for '" + name + "'");
}

void TRegistryKey::WriteInteger(const std::string& name, DWORD value)
{
    if (RegSetValueExA(key_.Get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                       sizeof value) != ERROR_SUCCESS)
        throw Error("Failed to set data for '" + name + "'");
}

std::string TRegistryKey::ReadString(const char* name) const
{
    // The stored text need not end in a zero: the last byte stays one.
    char text[256] = {};
    DWORD type = 0;
    DWORD size = sizeof text - 1;
    std::string value;
    if (RegQueryValueExA(key_.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) == ERROR_SUCCESS &&
        type == REG_SZ)
        value = text;
    return value;
}

}  // namespace lumora
