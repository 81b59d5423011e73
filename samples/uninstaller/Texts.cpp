#include "Texts.h"

#include <windows.h>

#include <cstdint>

#include "base/TextTables.h"
#include "base/UiTexts.h"

namespace lmunist {

namespace {

using lumora::FormatText;
using lumora::Text;
using lumora::TextId;

void appendList(std::string& text, TextId heading, const std::vector<std::string>& items)
{
    if (items.empty())
        return;
    text += "\n\n";
    text += Text(heading);
    for (const std::string& item : items)
        text += "\n" + item;
}

}  // namespace

void chooseLanguage()
{
    // The resource is taken only when it lies wholly inside this program's
    // image, as the loader mapped it; the tables are read only within it.
    const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(lumora::kTextTablesResource), MAKEINTRESOURCEW(10));
    const HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const auto* tables = static_cast<const char*>(loaded ? LockResource(loaded) : nullptr);
    if (!tables)
        return;
    const DWORD size = SizeofResource(nullptr, found);
    const auto* image = reinterpret_cast<const char*>(GetModuleHandleW(nullptr));
    const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        image + reinterpret_cast<const IMAGE_DOS_HEADER*>(image)->e_lfanew);
    const std::uintptr_t at = reinterpret_cast<std::uintptr_t>(tables) - reinterpret_cast<std::uintptr_t>(image);
    const std::uintptr_t imageSize = headers->OptionalHeader.SizeOfImage;
    if (at <= imageSize && size <= imageSize - at)
        lumora::UseTextTables({tables, size}, GetUserDefaultUILanguage());
}

std::string captionText(const Installation& installation)
{
    return FormatText(Text(TextId::UninstallCaption), {installation.shownName});
}

std::string confirmText(const Installation& installation)
{
    return FormatText(Text(TextId::UninstallConfirm), {installation.shownName, installation.screensaver});
}

std::string nothingInstalledText(const Installation& installation)
{
    return FormatText(Text(TextId::UninstallNothing), {installation.shownName, installation.folder});
}

std::string reportText(const Installation& installation, const Outcome& outcome)
{
    if (outcome.complete())
        return FormatText(Text(TextId::UninstallRemoved), {installation.shownName});
    std::string text = FormatText(Text(TextId::UninstallPartly), {installation.shownName});
    appendList(text, TextId::UninstallNotRemoved, outcome.notRemoved);
    appendList(text, TextId::UninstallAtRestart, outcome.atRestart);
    return text;
}

}  // namespace lmunist
