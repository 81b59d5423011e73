#include "launcher/InstallerLanguage.h"

#include <windows.h>

#include <cstdint>

#include "base/TextTables.h"
#include "base/UiTexts.h"
#include "settings/RunLog.h"

namespace lumora {

namespace {

// The size of this program's image as the loader mapped it (SizeOfImage of
// its own headers in memory): every byte of it may be read.
std::uintptr_t ImageSize(const char* image)
{
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
    return reinterpret_cast<const IMAGE_NT_HEADERS*>(image + dos->e_lfanew)->OptionalHeader.SizeOfImage;
}

}  // namespace

void ChooseInstallerLanguage()
{
    // An installer built without translations has no such resource (of
    // the type RT_RCDATA, 10, as the W functions name it).
    const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(kTextTablesResource), MAKEINTRESOURCEW(10));
    if (!found)
        return;
    // A module's resources stay mapped for as long as it runs. The system
    // takes the resource's address and size from the image as they are: a
    // damaged entry may name any, so the table is read only when it lies
    // wholly inside the image.
    const HGLOBAL loaded = LoadResource(nullptr, found);
    const auto* tables = static_cast<const char*>(loaded ? LockResource(loaded) : nullptr);
    const DWORD size = SizeofResource(nullptr, found);
    const auto* image = reinterpret_cast<const char*>(GetModuleHandleW(nullptr));
    const std::uintptr_t at = reinterpret_cast<std::uintptr_t>(tables) - reinterpret_cast<std::uintptr_t>(image);
    const std::uintptr_t imageSize = ImageSize(image);
    if (!tables || at > imageSize || size > imageSize - at)
        LogStep("language", "the table of texts lies outside the program's image and is refused: English texts");
    else
        UseTextTables({tables, size}, GetUserDefaultUILanguage());
}

}  // namespace lumora
