#include "launcher/InstallerLanguage.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string_view>

#include "base/PathEncoding.h"
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

// The bytes of this program's resource `id` of the type RT_RCDATA (10, as
// the W functions name it); none when there is no such resource. A
// module's resources stay mapped for as long as it runs. The system takes
// the resource's address and size from the image as they are: a damaged
// entry may name any, so a resource is read only when it lies wholly inside
// the image, and the log says `refused` of one that does not.
std::optional<std::string_view> OwnResource(unsigned id, const char* refused)
{
    const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
    if (!found)
        return std::nullopt;
    const HGLOBAL loaded = LoadResource(nullptr, found);
    const auto* data = static_cast<const char*>(loaded ? LockResource(loaded) : nullptr);
    const DWORD size = SizeofResource(nullptr, found);
    const auto* image = reinterpret_cast<const char*>(GetModuleHandleW(nullptr));
    const std::uintptr_t at = reinterpret_cast<std::uintptr_t>(data) - reinterpret_cast<std::uintptr_t>(image);
    const std::uintptr_t imageSize = ImageSize(image);
    if (!data || at > imageSize || size > imageSize - at) {
        LogStep("language", refused);
        return std::nullopt;
    }
    return std::string_view(data, size);
}

}  // namespace

void ChooseInstallerLanguage(const std::string& tag)
{
    // An installer built without translations has no tables.
    const std::optional<std::string_view> tables = OwnResource(
        kTextTablesResource, "the table of texts lies outside the program's image and is refused: English texts");
    std::uint16_t language = GetUserDefaultUILanguage();
    if (!tag.empty()) {
        const std::optional<std::uint16_t> named = LanguageOfTag(tag);
        constexpr std::uint16_t kEnglish = 0x09;
        if (named && (*named & 0x3FF) == kEnglish) {
            LogStep("language", "English, as /LANG=" + tag + " asks");
            return;
        }
        if (named && tables && FindTextTable(*tables, *named)) {
            language = *named;
            LogStep("language", "/LANG=" + tag);
        } else {
            LogStep("language", "/LANG=" + tag + (named ? " names a language this installer carries no texts of"
                                                        : " names no language this installer knows") +
                                    ": the user's language");
        }
    }
    if (tables)
        UseTextTables(*tables, language);
}

void UseRecordedCodePage()
{
    const std::optional<std::string_view> record = OwnResource(
        kCodePageResource, "the code page of the texts lies outside the program's image and is refused");
    if (!record)
        return;
    const std::optional<unsigned> page = ParseCodePageRecord(*record);
    if (page && SetRecordedCodePage(*page))
        LogStep("code page", "the texts are read in code page " + std::to_string(*page));
    else
        LogStep("code page", "the recorded code page cannot be read on this system: the system's");
}

}  // namespace lumora
