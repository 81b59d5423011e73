#pragma once
// Files and folders in places that other programs can write (the temporary
// folder, a folder beside the installed files), handled through handles
// that never follow a link, so that no delete, move or replace of ours can
// be steered onto a file elsewhere.
//
// A link (a symbolic link, a junction, a mount point) is a reparse point:
// opened as itself (FILE_FLAG_OPEN_REPARSE_POINT), the handle is the link,
// not what it points to. Where the system follows a link even so (Wine
// follows its Unix links), the handle's final path is not the path that was
// opened: that object counts as a link too. So an object is a plain file or
// folder only when it is no reparse point and lies where it was opened.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "framework/Handles.h"

namespace lumora {

enum class ObjectKind { File, Folder, Link };

// The full path `path` itself, never what a link at it points to; invalid,
// with the system's error, when nothing of that name can be opened.
FileHandle OpenItself(const std::wstring& path, DWORD access, DWORD share);
// The entry `name` of the folder `folder` holds, itself: the object that
// lies in that very folder now, whatever became of the folder's path since
// it was opened. `name` is a plain name (no "\").
FileHandle OpenItselfIn(HANDLE folder, std::wstring_view name, DWORD access, DWORD share);
// A new, empty file `name` in the folder `folder` holds; invalid, with the
// system's error, when anything of that name is there already, a link (even
// one to nothing) included: a new file is never made where a link points.
FileHandle CreateNewIn(HANDLE folder, std::wstring_view name, DWORD access, DWORD share);

// The path by which the system knows the object `object` holds (long
// names, no "\\?\" prefix); empty when it cannot tell.
std::wstring FinalPath(HANDLE object);
// What `object` is, opened as itself at the path `path` (as FinalPath gives
// paths: the folder's final path, "\" and the name).
ObjectKind KindOf(HANDLE object, std::wstring_view path);
// The same for the entry `name` of the folder whose final path is `folder`.
ObjectKind KindOf(HANDLE object, std::wstring_view folder, std::wstring_view name);

// Whether the paths `a` and `b` are the same text, letters compared without
// regard to case, as the file system compares names.
bool SamePath(std::wstring_view a, std::wstring_view b);

// The names in the folder `folder` holds ("." and ".." left out), as they
// are now; empty when it cannot be read.
std::vector<std::wstring> NamesIn(HANDLE folder);

// Deletes the object `object` holds (opened with DELETE access): its name
// goes at once or, while another handle keeps it open, when that closes.
// A folder must be empty.
bool DeleteByHandle(HANDLE object);
// Renames the object `object` holds (opened with DELETE access) to `name`
// in the folder `folder` holds, replacing a file of that name when
// `replace`.
bool RenameByHandle(HANDLE object, HANDLE folder, std::wstring_view name, bool replace);

}  // namespace lumora
