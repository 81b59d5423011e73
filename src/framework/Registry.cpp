#include "framework/Registry.h"

#include "base/Error.h"
#include "base/PathEncoding.h"

namespace lumora {

TRegistryKey TRegistryKey::Open(HKEY parent, const std::string& path, REGSAM access)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(parent, WideText(path).c_str(), 0, access, &key) != ERROR_SUCCESS)
        return {};
    return TRegistryKey(key);
}

TRegistryKey TRegistryKey::CreateIfAllowed(HKEY parent, const std::string& name, REGSAM access)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(parent, WideText(name).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return {};
    return TRegistryKey(key);
}

TRegistryKey TRegistryKey::Create(HKEY parent, const std::string& name, REGSAM access)
{
    TRegistryKey key = CreateIfAllowed(parent, name, access);
    if (!key)
        throw Error("Failed to create key " + name);
    return key;
}

bool TRegistryKey::DeleteTree(HKEY parent, const std::string& path)
{
    const LONG result = RegDeleteTreeW(parent, path.empty() ? nullptr : WideText(path).c_str());
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

LONG TRegistryKey::CopyTreeFrom(HKEY parent, const std::string& path) const
{
    return RegCopyTreeW(parent, path.empty() ? nullptr : WideText(path).c_str(), key_.Get());
}

void TRegistryKey::WriteValue(const std::string& name, DWORD type, const void* data, std::size_t size)
{
    if (size > MAXDWORD || RegSetValueExW(key_.Get(), WideText(name).c_str(), 0, type, static_cast<const BYTE*>(data),
                                          static_cast<DWORD>(size)) != ERROR_SUCCESS)
        throw Error("Failed to set data for '" + name + "'");
}

void TRegistryKey::WriteString(const std::string& name, const std::string& value)
{
    const std::wstring text = WideText(value);
    // The size counts the terminating zero, which is stored with the text.
    WriteValue(name, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

void TRegistryKey::WriteInteger(const std::string& name, DWORD value) { WriteValue(name, REG_DWORD, &value, sizeof value); }

std::string TRegistryKey::ReadString(const std::string& name) const
{
    // The stored text need not end in a zero: the last character stays one.
    wchar_t text[256] = {};
    DWORD type = 0;
    DWORD size = sizeof text - sizeof text[0];
    if (RegQueryValueExW(key_.Get(), WideText(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return {};
    return TextFromWide(text);
}

std::vector<std::string> TRegistryKey::KeyNames() const
{
    std::vector<std::string> names;
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        if (RegEnumKeyExW(key_.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            return names;
        names.push_back(TextFromWide(std::wstring_view(name, length)));
    }
}

void TRegistryKey::DeleteValue(const std::string& name) { RegDeleteValueW(key_.Get(), WideText(name).c_str()); }

}  // namespace lumora
