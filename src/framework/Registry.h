#pragma once
// A registry key object: opens or creates one key, writes string values
// into it, copies and deletes trees of keys, names and texts handed to the
// system as wide text (the W functions), so that a name beyond ASCII is the
// key of that name. The object owns the key's handle and closes it when it goes.
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "framework/Handles.h"

namespace lumora {

struct RegistryKeyTraits {
    using Type = HKEY;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { RegCloseKey(h); }
};

class TRegistryKey {
public:
    TRegistryKey() = default;

    // Opens `parent`\`path` without creating it; an object without a key
    // (false) when it does not exist or the access is refused.
    static TRegistryKey Open(HKEY parent, const std::string& path, REGSAM access);
    // Creates `parent`\`name`, or opens it with its values when it exists.
    // Throws Error "Failed to create key <name>" when it cannot.
    static TRegistryKey Create(HKEY parent, const std::string& name, REGSAM access);
    // The same, an object without a key when it cannot be created.
    static TRegistryKey CreateIfAllowed(HKEY parent, const std::string& name, REGSAM access);
    // Deletes `parent`\`path` with every key and value beneath it (an empty
    // path: everything beneath `parent`, which stays). True when it is gone
    // or was never there.
    static bool DeleteTree(HKEY parent, const std::string& path);

    explicit operator bool() const { return key_.Valid(); }
    HKEY Handle() const { return key_.Get(); }

    // A REG_SZ value, stored with its terminating zero. Throws Error
    // "Failed to set data for '<name>'" when it cannot be written.
    void WriteString(const std::string& name, const std::string& value);
    // A REG_DWORD value. Throws Error as WriteString does.
    void WriteInteger(const std::string& name, DWORD value);
    // A REG_SZ value of at most 255 characters; empty when there is none,
    // it is longer, of another type, or the object has no key.
    std::string ReadString(const std::string& name) const;
    // The names of the keys directly beneath this one (of at most 255
    // characters, as the system allows), in the system's order.
    std::vector<std::string> KeyNames() const;
    // Removes a value if it is there.
    void DeleteValue(const std::string& name);
    // Copies every key and value beneath `parent`\`path` into this key; the
    // system's result (ERROR_FILE_NOT_FOUND: there is no such key).
    LONG CopyTreeFrom(HKEY parent, const std::string& path) const;

    void Close() { key_.Reset(); }

private:
    explicit TRegistryKey(HKEY key) : key_(key) {}
    void WriteValue(const std::string& name, DWORD type, const void* data, std::size_t size);

    UniqueHandle<RegistryKeyTraits> key_;
};

}  // namespace lumora
