#include "launcher/InstallerLanguage.h"

#include <windows.h>

#include "base/TextTables.h"
#include "base/UiTexts.h"

namespace lumora {

void ChooseInstallerLanguage()
{
    // An installer built without translations has no such resource (of
    // the type RT_RCDATA, 10, as the W functions name it).
    const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(kTextTablesResource), MAKEINTRESOURCEW(10));
    if (!found)
        return;
    // A module's resources stay mapped for as long as it runs.
    const HGLOBAL loaded = LoadResource(nullptr, found);
    const void* const tables = loaded ? LockResource(loaded) : nullptr;
    if (!tables)
        return;
    UseTextTables({static_cast<const char*>(tables), SizeofResource(nullptr, found)}, GetUserDefaultUILanguage());
}

}  // namespace lumora
