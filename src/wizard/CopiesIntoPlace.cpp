#include "wizard/CopiesIntoPlace.h"

#include <windows.h>

#include "base/Error.h"
#include "base/PathEncoding.h"
#include "framework/Win32Error.h"
#include "settings/RunLog.h"
#include "wizard/FmxUtils.h"

namespace lumora {

namespace {

// One target on its way: where its copy and its old file wait meanwhile,
// and how far it has come.
struct Slot {
    std::string target;  // the full path, as the messages show it
    std::wstring wideTarget;
    std::wstring staging;  // the complete copy, until it is moved in
    std::wstring backup;   // the old file, until the new one is in place
    bool staged = false;
    bool superseded = false;  // a later copy goes to the same target
    bool setAside = false;
    bool placed = false;
};

// Names beside the target that no other run, and no other call or copy of
// this run, uses at the same time: the process id in hexadecimal digits,
// the count of the calls before this one and the copy's place in the call.
std::wstring Beside(const std::wstring& target, DWORD call, std::size_t index, const wchar_t* suffix)
{
    std::wstring name = target;
    for (const DWORD number : {GetCurrentProcessId(), call, static_cast<DWORD>(index)}) {
        name += L'.';
        for (DWORD shift = 32; shift > 0;) {
            shift -= 4;
            name += L"0123456789abcdef"[(number >> shift) & 15];
        }
    }
    return name + suffix;
}

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

[[noreturn]] void CannotReplace(const Slot& slot)
{
    RaiseWithSystemReason("Cannot create file ", slot.target);
}

// A folder, or a file marked read-only, in the target's place is an
// administrator's protection: it is refused, as a copy over it would be.
void RefuseProtectedTarget(const Slot& slot)
{
    const DWORD attributes = GetFileAttributesW(slot.wideTarget.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))) {
        SetLastError(ERROR_ACCESS_DENIED);
        CannotReplace(slot);
    }
}

bool SameFile(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

}  // namespace

void CopyFilesIntoPlace(const std::vector<FileCopy>& copies, const std::function<void()>& afterEachCopy)
{
    static DWORD calls = 0;
    const DWORD call = calls++;
    std::vector<Slot> slots(copies.size());
    try {
        for (std::size_t i = 0; i < copies.size(); ++i) {
            Slot& slot = slots[i];
            slot.target = ExpandedPath(copies[i].target);
            slot.wideTarget = WidePath(slot.target);
            slot.staging = Beside(slot.wideTarget, call, i, L".new");
            slot.backup = Beside(slot.wideTarget, call, i, L".old");
            slot.staged = true;  // from here on a partial copy may lie there
            CopyFileByChunks(copies[i].source, PathFromWide(slot.staging), slot.target);
            RefuseProtectedTarget(slot);
            // A later copy to the same place replaces an earlier one, as one
            // copy after the other would.
            for (std::size_t earlier = 0; earlier < i; ++earlier)
                slots[earlier].superseded |= SameFile(slots[earlier].wideTarget, slot.wideTarget);
            if (afterEachCopy)
                afterEachCopy();
        }
        for (Slot& slot : slots) {
            if (slot.superseded) {
                DeleteFileW(slot.staging.c_str());
                slot.staged = false;
                continue;
            }
            if (GetFileAttributesW(slot.wideTarget.c_str()) == INVALID_FILE_ATTRIBUTES)
                continue;
            if (!MoveFileExW(slot.wideTarget.c_str(), slot.backup.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
                CannotReplace(slot);
            slot.setAside = true;
        }
        for (Slot& slot : slots) {
            if (slot.superseded)
                continue;
            if (!MoveFileExW(slot.staging.c_str(), slot.wideTarget.c_str(), MOVEFILE_WRITE_THROUGH))
                CannotReplace(slot);
            slot.placed = true;
        }
    } catch (...) {
        RollBack(slots);
        throw;
    }
    // An old screensaver that is running cannot be deleted now.
    for (const Slot& slot : slots) {
        if (!slot.setAside || DeleteFileW(slot.backup.c_str()))
            continue;
        MoveFileExW(slot.backup.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        LogStep("copy", "the old " + slot.target + " is still in use: " + PathFromWide(slot.backup) +
                            " goes at the next restart");
    }
}

}  // namespace lumora
