#pragma once
// The version information of a program (RT_VERSION), what Windows shows
// among a file's properties, read from the stub and written anew.
//
//   node            16-bit length (of the whole node), length of the value
//                   (UTF-16 units for a text, bytes otherwise), type (1
//                   text, 0 binary), a zero-ended UTF-16 key, the value
//                   and the child nodes, each starting on a 4-byte boundary
//   VS_VERSION_INFO the fixed information (52 bytes: the signature
//                   0xFEEF04BD, file and product version as four 16-bit
//                   numbers, flags, system, type), then
//     StringFileInfo - one table per language and code page ("080904B0")
//                      of texts: CompanyName, FileDescription, ...
//     VarFileInfo    - Translation: the tables' language and code page
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ImageBytes.h"

namespace setuppack {

using VersionNumbers = std::array<std::uint16_t, 4>;

struct VersionInfo {
    Bytes fixed;                          // VS_FIXEDFILEINFO
    std::u16string table = u"040904B0";   // of the texts: language and code page in hexadecimal
    std::vector<std::pair<std::u16string, std::u16string>> texts;

    // Replaces the text of `key`, or adds it.
    void Set(const std::u16string& key, const std::u16string& value);
    const std::u16string* Find(const std::u16string& key) const;
    // The file and product version of the fixed information.
    void SetNumbers(const VersionNumbers& numbers);
};

// The version information of a program that has none: an application for
// Windows NT, version 0.0.0.0, texts in US English.
VersionInfo NewVersionInfo();

// Reads a version resource; throws lumora::Error saying where it is damaged.
// Only the first table of texts is kept.
VersionInfo ReadVersionInfo(const Bytes& resource);

Bytes WriteVersionInfo(const VersionInfo& info);

// UTF-8 text as UTF-16; throws lumora::Error for bytes that are no UTF-8.
std::u16string Utf16(std::string_view utf8);

}  // namespace setuppack
