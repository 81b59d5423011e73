#pragma once
// One run at a time changes the installed files of a product: a lock file
// in the target folder, made (or, left by a killed run, opened) as itself
// and held open for writing without write sharing. The system grants one
// such handle at a time, at once for the whole machine, so two runs
// started together cannot both hold it; it goes with the run that holds
// it, however that run ends. The file names the run that holds it, for the
// message of the run that cannot take it.
//
// The lock is a file in the target folder rather than a named object: only
// administrators may make files in the Windows folder, and in the folder of
// an installation for the current user only that user's programs, which
// could keep the lock but hold the user's rights already; while any process
// of any user may make a named object of the global namespace first and so
// keep every installation from starting.
#include <windows.h>

#include <string>

#include "framework/Handles.h"

namespace lumora {

class ProductLock {
public:
    ProductLock() = default;
    ProductLock(const ProductLock&) = delete;
    ProductLock& operator=(const ProductLock&) = delete;
    ~ProductLock() { Release(); }
    // Deletes the lock file, which lets the lock go.
    void Release();

    // Takes the lock file `name` of the product `product` (text, for the
    // message) in the folder `folder` holds (its path `folderPath`, as
    // FinalPath gives it). While another run holds it, waits up to
    // kLockWait, handling the application's messages. Throws Error
    // "Another setup is installing <product> now: <its program> (process
    // <id>)" when the other run keeps it, "Cannot create file <lock>" when
    // the lock file cannot be made or something else has its name.
    void Take(HANDLE folder, const std::wstring& folderPath, const std::wstring& name, const std::string& product);

private:
    FileHandle file_;
};

// How long a run waits for another to complete its group.
inline constexpr DWORD kLockWait = 30000;

}  // namespace lumora
