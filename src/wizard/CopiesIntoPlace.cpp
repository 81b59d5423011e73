#include "wizard/CopiesIntoPlace.h"

#include <windows.h>

#include <cwchar>
#include <optional>

#include "base/Error.h"
#include "base/PathEncoding.h"
#include "framework/Win32Error.h"
#include "settings/RunLog.h"
#include "wizard/FmxUtils.h"
#include "wizard/UninstallRegistry.h"
#include "wizard/UninstallValues.h"

namespace lumora {

namespace {

constexpr DWORD kReplacing = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;

std::wstring Beside(const std::wstring& target, const LeftoverName& name)
{
    std::wstring path = target;
    for (const char c : LeftoverSuffix(name))  // ASCII
        path += static_cast<wchar_t>(c);
    return path;
}

// Where the file name starts in a full path.
std::size_t NameStart(const std::wstring& path)
{
    std::size_t start = path.size();
    while (start > 0 && path[start - 1] != L'\\')
        --start;
    return start;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool SameFile(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

// Deletes `path` if it is there: now, or at the next restart when a running
// program holds it (false then).
bool Discard(const std::wstring& path)
{
    if (!Exists(path) || DeleteFileW(path.c_str()))
        return true;
    MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return false;
}

// Puts `from` in the place of `to` in one step. A `to` that cannot be
// replaced so, because a program keeps it open (a running program may be
// renamed, not deleted), is moved to `aside` first. On failure `to` is as it
// was and the first failure's error is the system's.
bool Replace(const std::wstring& from, const std::wstring& to, const std::wstring& aside)
{
    if (MoveFileExW(from.c_str(), to.c_str(), kReplacing))
        return true;
    const DWORD error = GetLastError();
    if (Exists(to) && MoveFileExW(to.c_str(), aside.c_str(), kReplacing)) {
        if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH))
            return true;
        MoveFileExW(aside.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH);
    }
    SetLastError(error);
    return false;
}

// The names of the new file and of the old file's copy of the place `name`
// names beside `target`.
void NameLeftovers(const std::wstring& target, LeftoverName name, std::wstring& staged, std::wstring& kept)
{
    name.kind = Leftover::Staged;
    staged = Beside(target, name);
    name.kind = Leftover::SetAside;
    kept = Beside(target, name);
}

// Undoes one target of a group: the old file's copy goes back in its place;
// when it had none, what is there goes (aside, to the name of the new file).
bool UndoTarget(const std::wstring& target, const std::wstring& staged, const std::wstring& kept, bool hadOld)
{
    return hadOld ? !Exists(kept) || Replace(kept, target, staged)
                  : !Exists(target) || MoveFileExW(target.c_str(), staged.c_str(), kReplacing);
}

[[noreturn]] void CannotCreate(const std::string& target)
{
    RaiseWithSystemReason("Cannot create file ", target);
}

// A copy of `target` at `kept`, with its attributes and times, on the disk.
bool Keep(const std::wstring& target, const std::wstring& kept)
{
    if (!CopyFileW(target.c_str(), kept.c_str(), FALSE))
        return false;
    const FileHandle copy(
        CreateFileW(kept.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return copy && FlushFileBuffers(copy.Get());
}

bool DeleteOnClose(const FileHandle& file)
{
    FILE_DISPOSITION_INFO gone{TRUE};
    return SetFileInformationByHandle(file.Get(), FileDispositionInfo, &gone, sizeof gone);
}

struct Found {
    std::wstring path;
    LeftoverName name;
};

// The leftovers (InstallJournal.h) beside `target`.
std::vector<Found> LeftoversBeside(const std::wstring& target)
{
    const std::size_t nameStart = NameStart(target);
    const int length = static_cast<int>(target.size() - nameStart);
    std::vector<Found> leftovers;
    WIN32_FIND_DATAW data;
    const HANDLE search = FindFirstFileW((target + L".*").c_str(), &data);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &data)) {
        const wchar_t* const name = data.cFileName;
        if (static_cast<int>(std::wcslen(name)) <= length || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            CompareStringOrdinal(name, length, target.c_str() + nameStart, length, TRUE) != CSTR_EQUAL)
            continue;
        // The longest leftover's suffix has 31 characters; letters beyond
        // ASCII become a 0, which none holds.
        char suffix[32];
        std::size_t size = 0;
        for (const wchar_t* c = name + length; *c && size < sizeof suffix; ++c)
            suffix[size++] = static_cast<char>(*c < 0x80 ? *c : 0);
        if (const std::optional<LeftoverName> leftover = ParseLeftoverSuffix(std::string_view(suffix, size))) {
            Found& found = leftovers.emplace_back(Found{target, *leftover});
            found.path.resize(nameStart);
            found.path += name;
        }
    }
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    return leftovers;
}

}  // namespace

FilesIntoPlace::FilesIntoPlace(const std::vector<std::string>& targets, const std::string& screenSaverFile)
    : slots_(targets.size()), screenSaverFile_(screenSaverFile)
{
    // Names that no other run, and no other group of this run, uses at the
    // same time.
    static std::uint32_t groups = 0;
    LeftoverName name{GetCurrentProcessId(), groups++, 0, Leftover::Staged};
    for (Slot& slot : slots_) {
        slot.shown = ExpandedPath(targets[name.place]);
        slot.target = WidePath(slot.shown);
        NameLeftovers(slot.target, name, slot.staged, slot.kept);
        ++name.place;
    }

    // An earlier group is undone before the files that stay beside the
    // targets are removed.
    for (const Found& found : LeftoversBeside(slots_[0].target))
        if (found.name.kind == Leftover::Journal)
            SettleJournal(found.path, found.name);
    DropUninstallEntryCopy(screenSaverFile_);
    for (const Slot& slot : slots_) {
        for (const Found& found : LeftoversBeside(slot.target)) {
            // A copy of an old file whose target is missing is the only one
            // left (a run of an earlier version was killed between its two
            // moves): it goes back. Every other leftover goes.
            if (found.name.kind == Leftover::SetAside && !Exists(slot.target))
                MoveFileExW(found.path.c_str(), slot.target.c_str(), MOVEFILE_WRITE_THROUGH);
            else if (found.name.kind != Leftover::Journal)
                Discard(found.path);
        }
    }

    name.kind = Leftover::Journal;
    journalPath_ = Beside(slots_[0].target, name);
    journal_ = FileHandle(CreateFileW(journalPath_.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!journal_)
        CannotCreate(slots_[0].shown);
}

FilesIntoPlace::~FilesIntoPlace()
{
    if (committed_)
        return;
    bool undone = true;
    for (auto slot = slots_.rbegin(); slot != slots_.rend(); ++slot) {
        if (slot->placed)
            undone &= UndoTarget(slot->target, slot->staged, slot->kept, slot->hadOld);
        else
            Discard(slot->kept);
        Discard(slot->staged);
    }
    if (journalWritten_) {
        undone = RestoreUninstallEntry(screenSaverFile_, entryExisted_) && undone;
        LogStep("undo", undone ? "the files and the uninstall entry as they were before"
                               : "failed: the next run undoes the rest");
    }
    if (undone) {
        DropUninstallEntryCopy(screenSaverFile_);
        DeleteOnClose(journal_);
    }
}

void FilesIntoPlace::SettleJournal(const std::wstring& path, LeftoverName name)
{
    // A live run holds its journal open without delete sharing: another
    // installation of these files is under way.
    const FileHandle file(CreateFileW(path.c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        CannotCreate(slots_[0].shown);
    char text[kJournalLimit + 1];
    DWORD size = 0;
    if (!ReadFile(file.Get(), text, sizeof text, &size, nullptr))
        size = 0;
    const std::optional<Journal> journal = ParseJournal(std::string_view(text, size));
    // A journal cut short was written before any move, and one of another
    // count of targets is of no group of these: neither is undone.
    if (journal && journal->targets == slots_.size()) {
        std::wstring staged, kept;
        for (std::size_t i = slots_.size(); i-- > 0;) {
            name.place = static_cast<std::uint32_t>(i);
            NameLeftovers(slots_[i].target, name, staged, kept);
            if (!UndoTarget(slots_[i].target, staged, kept, journal->keepsOld >> i & 1))
                CannotCreate(slots_[i].shown);
        }
        if (!RestoreUninstallEntry(screenSaverFile_, journal->entryExisted))
            throw Error("Failed to create key " + UninstallEntryName(screenSaverFile_));
        LogStep("earlier installation", "undone: it was cut short");
    }
    // A journal that stayed would be undone again by every later run.
    if (!DeleteOnClose(file))
        CannotCreate(slots_[0].shown);
}

std::string FilesIntoPlace::Staging(std::size_t place) const { return PathFromWide(slots_[place].staged); }

bool FilesIntoPlace::Prepare(std::size_t place)
{
    Slot& slot = slots_[place];
    // A folder, or a file marked read-only, in the target's place is an
    // administrator's protection: it is refused, as a copy over it would be.
    const DWORD attributes = GetFileAttributesW(slot.target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    // A later file for the same target replaces an earlier one, as one copy
    // after the other would.
    for (std::size_t earlier = 0; earlier < place; ++earlier) {
        Slot& other = slots_[earlier];
        if (!other.superseded && SameFile(other.target, slot.target)) {
            other.superseded = true;
            Discard(other.staged);
            Discard(other.kept);
        }
    }
    slot.hadOld = attributes != INVALID_FILE_ATTRIBUTES;
    return !slot.hadOld || Keep(slot.target, slot.kept);
}

void FilesIntoPlace::WriteJournal(bool entryExisted)
{
    Journal journal{slots_.size(), 0, entryExisted};
    // A target that a later one replaces is never moved: undoing leaves it.
    for (std::size_t i = 0; i < slots_.size(); ++i)
        journal.keepsOld |= static_cast<std::uint8_t>((slots_[i].hadOld || slots_[i].superseded) << i);
    const std::string text = JournalText(journal);
    DWORD written = 0;
    const BOOL wrote = WriteFile(journal_.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    // A write that stops short has no error of its own: the disk is full.
    if (wrote && written != text.size())
        SetLastError(ERROR_DISK_FULL);
    if (!wrote || written != text.size() || !FlushFileBuffers(journal_.Get()))
        RaiseWithSystemReason("Cannot write file ", slots_[0].shown);
    entryExisted_ = entryExisted;
    journalWritten_ = true;
}

bool FilesIntoPlace::Place(std::size_t place)
{
    Slot& slot = slots_[place];
    if (slot.superseded)
        return true;
    slot.placed = Replace(slot.staged, slot.target, slot.kept);
    return slot.placed;
}

void FilesIntoPlace::Commit()
{
    if (!DeleteOnClose(journal_))
        RaiseWithSystemReason("Cannot write file ", slots_[0].shown);
    journal_.Reset();
    committed_ = true;
    DropUninstallEntryCopy(screenSaverFile_);
    // An old screensaver that is running cannot be deleted now.
    for (const Slot& slot : slots_)
        if (slot.hadOld && !slot.superseded && !Discard(slot.kept))
            LogStep("copy", "the old " + slot.shown + " is still in use: " + PathFromWide(slot.kept) +
                                " goes at the next restart");
}

}  // namespace lumora
