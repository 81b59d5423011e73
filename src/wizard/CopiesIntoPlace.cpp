#include "wizard/CopiesIntoPlace.h"

#include <windows.h>

#include "base/Error.h"
#include "base/PathEncoding.h"
#include "framework/Win32Error.h"
#include "wizard/FmxUtils.h"

namespace lumora {

namespace {

// One target on its way: where its copy and its old file wait meanwhile,
// and how far it has come.
struct Slot {
    std::string target;
    std::wstring wideTarget;
    std::wstring staging;  // the complete copy, until it is moved in
    std::wstring backup;   // the old file, until the new one is in place
    bool staged = false;
    bool setAside = false;
    bool placed = false;
};

// Names beside the target that no other run uses at the same time: the
// process id, in hexadecimal digits.
std::wstring Beside(const std::wstring& target, const wchar_t* suffix)
{
    std::wstring name = target + L".";
    for (DWORD id = GetCurrentProcessId(), shift = 32; shift > 0;) {
        shift -= 4;
        name += L"0123456789abcdef"[(id >> shift) & 15];
    }
    return name + suffix;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Puts every target back as it was and deletes the copies.
void RollBack(std::vector<Slot>& slots) noexcept
{
    for (auto slot = slots.rbegin(); slot != slots.rend(); ++slot) {
        if (slot->setAside)
            MoveFileExW(slot->backup.c_str(), slot->wideTarget.c_str(), MOVEFILE_REPLACE_EXISTING);
        else if (slot->placed)
            DeleteFileW(slot->wideTarget.c_str());
        if (slot->staged && !slot->placed)
            DeleteFileW(slot->staging.c_str());
    }
}

void CannotReplace(const Slot& slot)
{
    RaiseWithSystemReason("Cannot create file ", AnsiFromPath(slot.target));
}

}  // namespace

void CopyFilesIntoPlace(const std::vector<FileCopy>& copies)
{
    std::vector<Slot> slots(copies.size());
    try {
        for (std::size_t i = 0; i < copies.size(); ++i) {
            Slot& slot = slots[i];
            slot.target = copies[i].target;
            slot.wideTarget = WidePath(slot.target);
            slot.staging = Beside(slot.wideTarget, L".new");
            slot.backup = Beside(slot.wideTarget, L".old");
            slot.staged = true;  // from here on a partial copy may lie there
            CopyFileByChunks(copies[i].source, PathFromWide(slot.staging), slot.target);
        }
        for (Slot& slot : slots) {
            if (!Exists(slot.wideTarget))
                continue;
            if (!MoveFileExW(slot.wideTarget.c_str(), slot.backup.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
                CannotReplace(slot);
            slot.setAside = true;
        }
        for (Slot& slot : slots) {
            if (!MoveFileExW(slot.staging.c_str(), slot.wideTarget.c_str(), MOVEFILE_WRITE_THROUGH))
                CannotReplace(slot);
            slot.placed = true;
        }
    } catch (...) {
        RollBack(slots);
        throw;
    }
    // An old screensaver that is running cannot be deleted now.
    for (const Slot& slot : slots)
        if (slot.setAside && !DeleteFileW(slot.backup.c_str()))
            MoveFileExW(slot.backup.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

}  // namespace lumora
