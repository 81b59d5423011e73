#include "wizard/CopiesIntoPlace.h"

#include <windows.h>

#include <algorithm>

#include "base/Error.h"
#include "base/PathEncoding.h"
#include "framework/Win32Error.h"
#include "settings/CmnFunc2.h"
#include "settings/RunLog.h"
#include "wizard/FmxUtils.h"
#include "wizard/InstallPaths.h"
#include "wizard/UninstallRegistry.h"
#include "wizard/UninstallValues.h"

namespace lumora {

namespace {

[[noreturn]] void CannotCreate(const std::string& target) { RaiseWithSystemReason("Cannot create file ", target); }

}  // namespace

FilesIntoPlace::FilesIntoPlace(const std::vector<std::string>& targets, const std::string& screenSaverFile,
                               const std::vector<std::string>& removed, const std::string& removedEntry)
    : slots_(targets.size() + removed.size())
{
    // Names that no other run, and no other group of this run, uses at the
    // same time.
    static std::uint32_t groups = 0;
    group_ = {GetCurrentProcessId(), groups++, 0, Leftover::Staged};
    names_.entries = {UninstallEntryName(screenSaverFile)};
    if (!removedEntry.empty())
        names_.entries.push_back(removedEntry);
    for (const std::string& entry : names_.entries)
        keptEntries_.push_back(KeptEntryName(entry, group_));
    std::size_t nameStart = 0;
    for (std::size_t place = 0; place < slots_.size(); ++place) {
        Slot& slot = slots_[place];
        slot.removal = place >= targets.size();
        slot.shown = ExpandedPath(slot.removal ? removed[place - targets.size()] : targets[place]);
        // Every target lies in the folder of the first.
        if (place == 0)
            nameStart = slot.shown.rfind('\\') + 1;
        if (slot.shown.rfind('\\') + 1 != nameStart || slot.shown.compare(0, nameStart, slots_[0].shown, 0, nameStart)) {
            SetLastError(ERROR_INVALID_NAME);
            CannotCreate(slot.shown);
        }
        names_.targets.emplace_back(std::string_view(slot.shown).substr(nameStart));
        slot.name = WideText(names_.targets[place]);
        for (std::size_t earlier = 0; earlier < place; ++earlier)
            slots_[earlier].superseded |= SamePath(slots_[earlier].name, slot.name);
    }
    folder_ = OpenItself(WidePath(slots_[0].shown.substr(0, nameStart)), FILE_LIST_DIRECTORY | FILE_TRAVERSE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (!folder_)
        CannotCreate(slots_[0].shown);
    // Names are joined to it with a backslash (a drive's root has one).
    folderPath_ = FinalPath(folder_.Get());
    if (!folderPath_.empty() && folderPath_.back() == L'\\')
        folderPath_.pop_back();
    // The lock of each base name whose files the group changes, taken in
    // the order of their names, so that two runs that both need them take
    // them one after the other.
    std::string products[2] = {AuthorText(ScreenSaverBaseName(screenSaverFile))};
    // An entry's name is its base name and the suffix the own entry has.
    const std::size_t suffix = names_.entries[0].size() - products[0].size();
    products[1] = removedEntry.substr(0, removedEntry.size() - std::min(removedEntry.size(), suffix));
    if (products[1] < products[0])
        std::swap(products[0], products[1]);
    for (std::size_t i = 0; i < 2; ++i)
        if (!products[i].empty())
            locks_[i].Take(folder_.Get(), folderPath_, WideText(products[i] + ".lock"), products[i]);

    // What earlier runs left beside the targets, in three rounds: the
    // journal of every group that left something is checked before any
    // change, then each group is undone, then the new files and copies left
    // go.
    for (int round = 0; round < 3; ++round) {
        if (round == 2)
            for (const std::string& entry : names_.entries)
                DropUninstallEntryCopy(entry);
        for (const std::wstring& name : NamesIn(folder_.Get()))
            for (std::size_t place = 0; place < slots_.size(); ++place) {
                const std::wstring_view target = slots_[place].name;
                const std::optional<LeftoverName> leftover =
                    name.size() > target.size() && SamePath(std::wstring_view(name).substr(0, target.size()), target)
                        ? ParseLeftoverSuffix(TextFromWide(std::wstring_view(name).substr(target.size())))
                        : std::nullopt;
                if (!leftover)
                    continue;
                if (round == 0) {
                    // The journal of its group, checked when its name is
                    // taken, even by what the listing leaves out (under Wine
                    // a link to nothing).
                    const std::wstring journal = LeftoverOf(0, *leftover, Leftover::Journal);
                    const FileHandle made = CreateNewIn(folder_.Get(), journal, DELETE, 0);
                    if (!made || !DeleteByHandle(made.Get()))
                        SettleJournal(journal, *leftover, false);
                } else if (leftover->kind != Leftover::Journal) {
                    if (round == 2)
                        RemoveLeftover(name);
                } else if (round == 1 && place == 0) {
                    SettleJournal(name, *leftover, true);
                }
                break;
            }
    }
}

// A leftover of an earlier run goes, unless it is something else than a
// file or in use; the log says which.
void FilesIntoPlace::RemoveLeftover(const std::wstring& name) const
{
    const FileHandle file = OpenFile(name, DELETE);
    const DWORD error = file ? 0 : GetLastError();
    if ((file && DeleteByHandle(file.Get())) || error == ERROR_FILE_NOT_FOUND)
        return;
    std::string line = TextFromWide(name);
    line += error == ERROR_CANT_RESOLVE_FILENAME ? " left alone: a link, never followed" : " left alone: in use, or a folder";
    LogStep("earlier installation", line);
}

FilesIntoPlace::~FilesIntoPlace()
{
    if (committed_)
        return;
    bool undone = true;
    for (std::size_t place = slots_.size(); place-- > 0;) {
        Slot& slot = slots_[place];
        if (slot.placed)
            undone &= UndoTarget(place, group_, slot.hadOld ? TargetBefore::Kept : TargetBefore::Absent);
        else
            Remove(LeftoverOf(place, group_, Leftover::SetAside));
        slot.newFile.Reset();
        Remove(LeftoverOf(place, group_, Leftover::Staged));
    }
    if (journalWritten_) {
        for (std::size_t entry = 0; entry < names_.entries.size(); ++entry)
            undone = RestoreUninstallEntry(names_.entries[entry], journaled_.entries[entry], keptEntries_[entry]) &&
                     undone;
        LogStep("undo", undone ? "the files and the uninstall entry as they were before"
                               : "failed: the next run undoes the rest");
    }
    if (undone) {
        for (const std::string& entry : names_.entries)
            DropUninstallEntryCopy(entry);
        if (journal_)
            DeleteByHandle(journal_.Get());
    }
}

std::wstring FilesIntoPlace::LeftoverOf(std::size_t place, LeftoverName group, Leftover kind) const
{
    group.place = static_cast<std::uint32_t>(place);
    group.kind = kind;
    return WideText(names_.targets[place] + LeftoverSuffix(group));
}

std::string FilesIntoPlace::PathOf(const std::wstring& name) const { return PathFromWide(folderPath_ + L'\\' + name); }

DWORD FilesIntoPlace::Look(const std::wstring& name) const
{
    const FileHandle file = OpenFile(name, 0);
    return file ? 0 : GetLastError();
}

FileHandle FilesIntoPlace::OpenFile(const std::wstring& name, DWORD access) const
{
    // Its kind is read from its attributes.
    FileHandle object = OpenItselfIn(folder_.Get(), name, access | FILE_READ_ATTRIBUTES,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    if (object) {
        const ObjectKind kind = KindOf(object.Get(), folderPath_ + L'\\' + name);
        if (kind != ObjectKind::File) {
            object.Reset();
            SetLastError(kind == ObjectKind::Folder ? ERROR_DIRECTORY : ERROR_CANT_RESOLVE_FILENAME);
        }
    }
    return object;
}

bool FilesIntoPlace::Remove(const std::wstring& name) const
{
    const FileHandle file = OpenFile(name, DELETE);
    return file && DeleteByHandle(file.Get());
}

// Puts `from` in the place of `to` in one step. A `to` that cannot be
// replaced so, because a program keeps it open (a running program may be
// renamed, not deleted), is moved to `aside` first. On failure `to` is as it
// was and the first failure's error is the system's.
bool FilesIntoPlace::Replace(const std::wstring& from, const std::wstring& to, const std::wstring& aside) const
{
    const FileHandle source = OpenFile(from, DELETE);
    if (!source)
        return false;
    if (RenameByHandle(source.Get(), folder_.Get(), to, true))
        return true;
    const DWORD error = GetLastError();
    const FileHandle old = OpenFile(to, DELETE);
    if (old && RenameByHandle(old.Get(), folder_.Get(), aside, true)) {
        if (RenameByHandle(source.Get(), folder_.Get(), to, false))
            return true;
        RenameByHandle(old.Get(), folder_.Get(), to, false);
    }
    SetLastError(error);
    return false;
}

// Undoes target `place` of the group `group`: the old file's copy goes back
// (unless it went back already); a target that had none goes (aside, to the
// name of the new file, where a program that runs it keeps it until a later
// run deletes it).
bool FilesIntoPlace::UndoTarget(std::size_t place, LeftoverName group, TargetBefore before) const
{
    const std::wstring& target = slots_[place].name;
    const std::wstring staged = LeftoverOf(place, group, Leftover::Staged);
    if (before == TargetBefore::Kept) {
        const std::wstring kept = LeftoverOf(place, group, Leftover::SetAside);
        return Look(kept) == ERROR_FILE_NOT_FOUND || Replace(kept, target, staged);
    }
    const FileHandle added = OpenFile(target, DELETE);
    if (before == TargetBefore::Left || (!added && GetLastError() == ERROR_FILE_NOT_FOUND))
        return true;
    if (!added || !RenameByHandle(added.Get(), folder_.Get(), staged, true))
        return false;
    DeleteByHandle(added.Get());
    return true;
}

void FilesIntoPlace::SettleJournal(const std::wstring& name, LeftoverName group, bool undo)
{
    const FileHandle file = OpenFile(name, GENERIC_READ | DELETE);
    const DWORD error = GetLastError();
    Journal journal;
    journal.group = group;
    char text[kJournalLimit + 1];
    DWORD size = 0;
    // A name in the folder that cannot be found is a link to nothing. One
    // held open without delete sharing is a live run's of an earlier
    // version, which is installing these files.
    JournalFault fault = error == ERROR_DIRECTORY ? JournalFault::Folder : JournalFault::Link;
    if (file ? !ReadFile(file.Get(), text, sizeof text, &size, nullptr)
             : error != ERROR_DIRECTORY && error != ERROR_FILE_NOT_FOUND && error != ERROR_CANT_RESOLVE_FILENAME)
        CannotCreate(slots_[0].shown);
    if (file)
        fault = ReadJournal(std::string_view(text, size), names_, journal);
    // The copies it relies on: each old file's, unless it went back already
    // (its target is a file then), and the entry's.
    for (std::size_t place = 0; fault == JournalFault::None && place < slots_.size(); ++place) {
        const DWORD kept = Look(LeftoverOf(place, group, Leftover::SetAside));
        if (journal.targets[place] == TargetBefore::Kept && kept && (kept != ERROR_FILE_NOT_FOUND || Look(slots_[place].name)))
            fault = JournalFault::MissingCopy;
    }
    for (std::size_t entry = 0; fault == JournalFault::None && entry < names_.entries.size(); ++entry)
        if (journal.entries[entry] == TargetBefore::Kept &&
            !UninstallEntryCopyExists(KeptEntryName(names_.entries[entry], group)))
            fault = JournalFault::MissingCopy;
    if (fault != JournalFault::None) {
        std::string message = "The installation journal ";
        message += PathOf(name);
        message += ' ';
        message += JournalFaultText(fault);
        message += ": Setup changes nothing while it is there";
        throw Error(message);
    }
    if (!undo)
        return;
    for (std::size_t place = slots_.size(); place-- > 0;)
        if (!UndoTarget(place, group, journal.targets[place]))
            CannotCreate(slots_[place].shown);
    for (std::size_t entry = 0; entry < names_.entries.size(); ++entry)
        if (!RestoreUninstallEntry(names_.entries[entry], journal.entries[entry],
                                   KeptEntryName(names_.entries[entry], group)))
            throw Error("Failed to create key " + names_.entries[entry]);
    LogStep("earlier installation", "undone: it was cut short");
    // A journal that stayed would be undone again by every later run.
    if (!DeleteByHandle(file.Get()))
        CannotCreate(slots_[0].shown);
}

void FilesIntoPlace::ClaimTargets(const std::vector<std::string>& earlier) const
{
    for (const Slot& slot : slots_) {
        const DWORD found = Look(slot.name);
        const bool link = found == ERROR_CANT_RESOLVE_FILENAME;
        const std::wstring path = WideText(slot.shown);
        bool ours = slot.removal;
        for (const std::string& file : earlier)
            ours |= SamePath(WideText(file), path);
        // A folder is refused when the copies begin (Prepare).
        if (link || (!found && !ours))
            throw Error("Cannot replace " + slot.shown +
                        (link ? ": it is a link" : ": it is not a file of an earlier installation of this screensaver"));
    }
}

bool FilesIntoPlace::Prepare(std::size_t place)
{
    Slot& slot = slots_[place];
    if (!slot.superseded) {
        const FileHandle old = OpenFile(slot.name, GENERIC_READ);
        FILE_BASIC_INFO facts{};
        // A folder in the target's place is an administrator's protection:
        // it is refused, as a copy over it would be.
        if (!old && GetLastError() == ERROR_DIRECTORY)
            SetLastError(ERROR_ACCESS_DENIED);
        if (!old && GetLastError() != ERROR_FILE_NOT_FOUND)
            return false;
        slot.hadOld = old.Valid();
        if (old && !GetFileInformationByHandleEx(old.Get(), FileBasicInfo, &facts, sizeof facts))
            return false;
        // So is a file marked read-only.
        if (facts.FileAttributes & FILE_ATTRIBUTE_READONLY) {
            SetLastError(ERROR_ACCESS_DENIED);
            return false;
        }
        // The copy keeps the old file's attributes and times.
        if (old) {
            const FileHandle kept =
                CreateNewIn(folder_.Get(), LeftoverOf(place, group_, Leftover::SetAside), GENERIC_WRITE, 0);
            if (!kept || CopyChunks(old.Get(), kept.Get()) != CopyFailure::None ||
                !SetFileInformationByHandle(kept.Get(), FileBasicInfo, &facts, sizeof facts))
                return false;
        }
    }
    if (slot.removal)
        return true;
    slot.newFile = CreateNewIn(folder_.Get(), LeftoverOf(place, group_, Leftover::Staged), GENERIC_WRITE | DELETE, 0);
    return slot.newFile.Valid();
}

void FilesIntoPlace::KeepUninstallEntries()
{
    for (std::size_t entry = 0; entry < names_.entries.size(); ++entry)
        journaled_.entries[entry] = KeepUninstallEntry(names_.entries[entry], keptEntries_[entry]);
}

void FilesIntoPlace::WriteJournal()
{
    Journal& journal = journaled_;
    journal.group = group_;
    for (std::size_t place = 0; place < slots_.size(); ++place) {
        Slot& slot = slots_[place];
        slot.newFile.Reset();
        // A removed file that is not there stays so.
        journal.targets[place] = slot.superseded || (slot.removal && !slot.hadOld) ? TargetBefore::Left
                                 : slot.hadOld                                     ? TargetBefore::Kept
                                                                                   : TargetBefore::Absent;
    }
    const std::string text = JournalText(journal, names_);
    journal_ = CreateNewIn(folder_.Get(), LeftoverOf(0, group_, Leftover::Journal), GENERIC_WRITE | DELETE,
                           FILE_SHARE_READ);
    DWORD written = 0;
    const BOOL wrote =
        journal_ && WriteFile(journal_.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    // A write that stops short has no error of its own: the disk is full.
    if (wrote && written != text.size())
        SetLastError(ERROR_DISK_FULL);
    if (!wrote || written != text.size() || !FlushFileBuffers(journal_.Get()))
        RaiseWithSystemReason("Cannot write file ", slots_[0].shown);
    journalWritten_ = true;
}

bool FilesIntoPlace::Place(std::size_t place)
{
    Slot& slot = slots_[place];
    if (slot.removal) {
        // Out of its place under the name of a new file, which goes at once
        // or, while a program runs it, with a later run.
        if (!slot.hadOld)
            return true;
        const FileHandle old = OpenFile(slot.name, DELETE);
        slot.placed = old && RenameByHandle(old.Get(), folder_.Get(), LeftoverOf(place, group_, Leftover::Staged), false);
        if (slot.placed)
            DeleteByHandle(old.Get());
        return slot.placed;
    }
    slot.placed = !slot.superseded && Replace(LeftoverOf(place, group_, Leftover::Staged), slot.name,
                                              LeftoverOf(place, group_, Leftover::SetAside));
    return slot.superseded || slot.placed;
}

void FilesIntoPlace::Commit()
{
    if (!DeleteByHandle(journal_.Get()))
        RaiseWithSystemReason("Cannot write file ", slots_[0].shown);
    journal_.Reset();
    committed_ = true;
    for (const std::string& entry : names_.entries)
        DropUninstallEntryCopy(entry);
    for (std::size_t place = 0; place < slots_.size(); ++place) {
        const Slot& slot = slots_[place];
        const std::wstring kept = LeftoverOf(place, group_, Leftover::SetAside);
        Remove(LeftoverOf(place, group_, Leftover::Staged));
        if (!slot.hadOld || slot.superseded || Remove(kept))
            continue;
        // An old screensaver that is running cannot be deleted now. This
        // run's own copy in the Windows folder, where only administrators
        // may make or rename files, goes at the next restart: nobody else
        // can put another file or a link in its name meanwhile. In any other
        // folder (a user's own, which the user's programs may change) it
        // stays for the next run to delete by its handle.
        const std::string path = PathOf(kept);
        const bool atRestart = SamePath(folderPath_, WideText(GetWindowsFolder())) &&
                               MoveFileExW(WidePath(path).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
        LogStep("copy", "the old " + slot.shown + " is still in use: " + path +
                            (atRestart ? " goes at the next restart" : " stays for a later run"));
    }
    for (ProductLock& lock : locks_)
        lock.Release();
}

}  // namespace lumora
