#pragma once
// Puts a group of new files in the place of old ones, with the uninstall
// entry (the screensaver, its uninstaller and its info file), and removes
// the files and entry of an earlier installation of the product under
// another name, so that the group ends with the whole old version or the
// whole new one, also when the run fails half way (a full disk, a file held
// open by another program) or is killed (a power cut, a killed process):
// - one run at a time changes the product's files (ProductLock.h);
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
// a step fails, by the next run when this one was killed.
//
// The targets lie in one folder, which is held open while the group lasts;
// every file in it is opened as itself (never through a link), checked to
// be a plain file, and moved or deleted through its handle, so that nothing
// outside the folder is ever touched. Paths are path text; targets are
// expanded to full paths.
#include <string>
#include <vector>

#include "framework/FileObject.h"
#include "wizard/InstallJournal.h"
#include "wizard/ProductLock.h"

namespace lumora {

class FilesIntoPlace {
public:
    // Holds the targets' folder and takes the lock of the product of
    // `screenSaverFile` (the author's bytes) there (ProductLock.h). Then checks the journal
    // of every group that an earlier run left unfinished beside the first
    // target, before anything changes: a journal that fails its check (cut
    // short, damaged, not a file, ...) stops the run, with every copy it may
    // rely on kept. Then undoes each such group, with the uninstall entry,
    // and removes the other new files, old copies and entry copies that
    // earlier runs left; a link of such a name is left alone, and the log
    // says so. A
    // later target naming the same file as an earlier one replaces it.
    // Throws Error: "Cannot create file <first target>" when the folder
    // cannot be held, a target lies in another folder or an earlier group
    // cannot be undone; "The installation journal <path> <what it found>:
    // ..." for a journal that fails its check; those of ProductLock::Take.
    //
    // `removed` (full paths in the same folder) are the files of an earlier
    // installation that the group removes, with its entry `removedEntry`
    // (a key name in the list; empty: none); they follow the targets as
    // places of their own, and its base name's lock is taken too.
    FilesIntoPlace(const std::vector<std::string>& targets, const std::string& screenSaverFile,
                   const std::vector<std::string>& removed = {}, const std::string& removedEntry = {});
    // Undoes the group unless it is complete; a group that cannot be undone
    // whole keeps its journal for the next run.
    ~FilesIntoPlace();
    FilesIntoPlace(const FilesIntoPlace&) = delete;
    FilesIntoPlace& operator=(const FilesIntoPlace&) = delete;

    // The full path of target `place`, and how many places there are.
    const std::string& Target(std::size_t place) const { return slots_[place].shown; }
    std::size_t Count() const { return slots_.size(); }

    // The one place that decides whose files the group may replace: each
    // target must be absent, one of `earlier` (full paths: the files of an
    // earlier installation of the same product) or a removed file. Throws
    // Error "Cannot replace <target>: ..." for the first other file or
    // link, before the group changes anything. A folder is left to Prepare.
    void ClaimTargets(const std::vector<std::string>& earlier) const;

    // Keeps a copy of each of the group's uninstall entries (its own, then
    // the one it removes) on the disk (KeepUninstallEntry), once the new
    // files are written. Throws Error as KeepUninstallEntry does.
    void KeepUninstallEntries();

    // Before the new file of `place` is written: keeps a copy of the old
    // target and makes the new file beside it (NewFile); of a removed
    // file, keeps its copy alone. False, with the system's error, when a
    // folder or a read-only file is in the target's place or the copy or
    // the new file cannot be made.
    bool Prepare(std::size_t place);
    // The new file of `place`, open for writing once Prepare has succeeded,
    // until the journal is written.
    HANDLE NewFile(std::size_t place) const { return slots_[place].newFile.Get(); }
    // Writes and flushes the journal, once every new file is written and
    // the entries' copies kept. Throws Error "Cannot write file <first
    // target>".
    void WriteJournal();
    // Moves the new file of `place` into its target's place, or a removed
    // file out of it; false, with the system's error and the target
    // unchanged, when it cannot.
    bool Place(std::size_t place);
    // Completes the group: its journal goes, then the copies (or, for an
    // old screensaver still running, at the next restart when it lies in
    // the Windows folder, else at a later run, which the run's log says)
    // and the product's lock. Throws Error when the journal cannot be
    // deleted.
    void Commit();

private:
    struct Slot {
        std::string shown;    // the full path, as messages show it
        std::wstring name;    // the target's name in the folder
        FileHandle newFile;   // open while it is written
        bool superseded = false;  // a later slot goes to the same target
        bool removal = false;     // an earlier installation's file, which goes
        bool hadOld = false;
        bool placed = false;
    };

    // The name of the new file or the old file's copy (`kind`) of target
    // `place` of the group `group`.
    std::wstring LeftoverOf(std::size_t place, LeftoverName group, Leftover kind) const;
    // `name` in the folder, opened as itself when it is a plain file;
    // invalid otherwise, with the error ERROR_FILE_NOT_FOUND when there is
    // nothing of that name, ERROR_DIRECTORY for a folder,
    // ERROR_CANT_RESOLVE_FILENAME for a link, or the system's.
    FileHandle OpenFile(const std::wstring& name, DWORD access) const;
    // What `name` is: 0 for a plain file, else the error OpenFile gives.
    DWORD Look(const std::wstring& name) const;
    // The full path of `name` in the folder, as path text.
    std::string PathOf(const std::wstring& name) const;
    bool Remove(const std::wstring& name) const;
    void RemoveLeftover(const std::wstring& name) const;
    bool Replace(const std::wstring& from, const std::wstring& to, const std::wstring& aside) const;
    bool UndoTarget(std::size_t place, LeftoverName group, TargetBefore before) const;
    // Checks the journal `name` of the unfinished group `group`, and undoes
    // the group when `undo`. Throws Error when the journal fails its check
    // or the group cannot be undone.
    void SettleJournal(const std::wstring& name, LeftoverName group, bool undo);

    std::vector<Slot> slots_;
    LeftoverName group_;
    GroupNames names_;
    std::vector<std::string> keptEntries_;
    // Open without delete sharing while the group lasts, so that it cannot
    // be renamed or replaced; declared before the lock, which lies in it.
    FileHandle folder_;
    std::wstring folderPath_;
    // Of the base names of this installation and of the earlier one it
    // removes, in the order of their names.
    ProductLock locks_[2];
    FileHandle journal_;
    Journal journaled_;  // what undoing does, as the journal says it
    bool journalWritten_ = false;
    bool committed_ = false;
};

}  // namespace lumora
