#pragma once
// Puts a group of new files in the place of old ones, with the uninstall
// entry (the screensaver, its uninstaller and its info file), so that the
// group ends with the whole old version or the whole new one, also when the
// run fails half way (a full disk, a file held open by another program) or
// is killed (a power cut, a killed process):
// - each new file is written complete and flushed beside its target, and a
//   copy of each old file kept beside it, before any target changes; so is
//   a copy of the uninstall entry (UninstallRegistry.h);
// - the journal (InstallJournal.h), flushed before the first move, says
//   which targets had an old file and whether the entry was there;
// - each target is replaced in one step, by a move that replaces it, so that
//   it holds either its old or its new file at every instant; only a target
//   that a program keeps open (a running screensaver) is moved aside first;
// - deleting the journal completes the group; the copies go after it.
// A group that is not completed is undone, with the entry: by this run when
// a step fails, by the next run when this one was killed. Paths are path
// text; targets are expanded to full paths.
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "wizard/InstallJournal.h"

namespace lumora {

class FilesIntoPlace {
public:
    // First settles what earlier runs left beside `targets`: a group that a
    // killed run began is undone, with the uninstall entry of
    // `screenSaverFile` (8-bit text), and the other new files and old
    // copies are removed (a copy whose target is missing goes back in its
    // place). A later target naming the same file as an earlier one
    // replaces it. Throws Error "Cannot create file <first target>" when
    // another run is installing these files, an earlier group cannot be
    // undone or this group's journal cannot be made.
    FilesIntoPlace(const std::vector<std::string>& targets, const std::string& screenSaverFile);
    // Undoes the group unless it is complete; a group that cannot be undone
    // whole keeps its journal for the next run.
    ~FilesIntoPlace();
    FilesIntoPlace(const FilesIntoPlace&) = delete;
    FilesIntoPlace& operator=(const FilesIntoPlace&) = delete;

    // The full path of target `place`.
    const std::string& Target(std::size_t place) const { return slots_[place].shown; }
    // Where the new file of `place` is written, complete and flushed, once
    // Prepare has succeeded.
    std::string Staging(std::size_t place) const;

    // Before the new file of `place` is written: keeps a copy of the old
    // target. False, with the system's error, when a folder or a read-only
    // file is in the target's place or the copy cannot be kept.
    bool Prepare(std::size_t place);
    // Writes and flushes the journal, once every new file is written and
    // the entry's copy kept (`entryExisted`: KeepUninstallEntry's answer).
    // Throws Error "Cannot write file <first target>".
    void WriteJournal(bool entryExisted);
    // Moves the new file of `place` into its target's place; false, with
    // the system's error and the target unchanged, when it cannot.
    bool Place(std::size_t place);
    // Completes the group: its journal goes, then the copies (or, for an
    // old screensaver still running, at the next restart, which the run's
    // log says). Throws Error when the journal cannot be deleted.
    void Commit();

private:
    struct Slot {
        std::string shown;  // the full path, as messages show it
        std::wstring target;
        std::wstring staged;
        std::wstring kept;
        bool superseded = false;  // a later slot goes to the same target
        bool hadOld = false;
        bool placed = false;
    };

    // Undoes the group of the journal at `path` when it is a complete
    // journal of a group of these targets, and deletes the journal. Throws
    // Error when a live run holds it or the group cannot be undone.
    void SettleJournal(const std::wstring& path, LeftoverName name);

    std::vector<Slot> slots_;
    std::string screenSaverFile_;
    std::wstring journalPath_;
    // Open without delete sharing while the group lasts: a live run's.
    FileHandle journal_;
    bool entryExisted_ = false;
    bool journalWritten_ = false;
    bool committed_ = false;
};

}  // namespace lumora
