#pragma once
// The setup stub as the author's installer carries it: its resources
// rewritten before the payload is appended, so that a signature made
// afterwards covers them.
#include <cstdint>
#include <optional>
#include <string>

#include "ProductOptions.h"
#include "image/ImageBytes.h"

namespace setuppack {

struct InstallerImage {
    Bytes image;
    // The checksum's place, when the stub has one set: it is to be set
    // again once the whole installer is written.
    std::optional<std::uint64_t> checksumAt;
};

// `stub` with the author's resources. With the product's options, the
// version information of the author's product and its installer
// `installerName`: ProductName, CompanyName, FileDescription ("<product>
// Setup"), LegalCopyright ("Copyright (C) <publisher>"), FileVersion and
// ProductVersion (texts and numbers), OriginalFilename and InternalName; a
// value not given stays the stub's. With an icon, its images replace the
// stub's icon. With `textTables` (base/TextTables.h), those as the
// resource the installer reads them from. With `perUser`, its manifest
// asks for the user's own rights (asInvoker) instead of the stub's level.
// With `codePage`, the code page of its 8-bit texts recorded
// (base/PathEncoding.h). Throws lumora::Error saying what keeps the stub
// from being rewritten.
InstallerImage InstallerImageOf(const Bytes& stub, const ProductOptions& product, const std::string& textTables,
                                const std::string& installerName, bool perUser,
                                std::optional<unsigned> codePage = std::nullopt);

// The payload's uninstaller `uninstaller`: with the product's options, its
// version information as the installer's (FileDescription "<product>
// Uninstall", its own OriginalFilename) and the icon, so that the installed
// copy shows them in its properties and the list of programs; with
// `textTables`, those as the same resource the installer reads them from,
// so that it speaks the user's language as the installer does. Its
// checksum is left as it was: Windows checks none of a program's. Throws
// lumora::Error as InstallerImageOf does.
Bytes UninstallerImageOf(const Bytes& uninstaller, const ProductOptions& product, const std::string& textTables);

}  // namespace setuppack
