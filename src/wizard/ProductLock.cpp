#include "wizard/ProductLock.h"

#include <string_view>

#include "base/Error.h"
#include "base/PathEncoding.h"
#include "framework/Application.h"
#include "framework/FileObject.h"
#include "framework/Win32Error.h"

namespace lumora {

namespace {

// What a lock file starts with, before the run that holds it.
constexpr std::string_view kMark = "Lumora setup lock\r\n";
constexpr DWORD kStep = 50;
// Holding it: no other run may write it, any may read who holds it.
constexpr DWORD kHolding = GENERIC_READ | GENERIC_WRITE | DELETE;

// Whether `file` is a lock file of this program; `holder` gets the run
// that it names (at most a screen line of it).
bool ReadLock(HANDLE file, std::string& holder)
{
    char text[512];
    DWORD size = 0;
    if (!ReadFile(file, text, sizeof text, &size, nullptr) || std::string_view(text, size).substr(0, kMark.size()) != kMark)
        return false;
    holder.assign(text + kMark.size(), size - kMark.size());
    return true;
}

}  // namespace

void ProductLock::Release()
{
    if (file_)
        DeleteByHandle(file_.Get());
    file_.Reset();
}

void ProductLock::Take(HANDLE folder, const std::wstring& folderPath, const std::wstring& name,
                       const std::string& product)
{
    const std::wstring path = folderPath + L'\\' + name;
    std::string text;
    DWORD error = 0;
    for (DWORD waited = 0;; waited += kStep) {
        file_ = CreateNewIn(folder, name, kHolding, FILE_SHARE_READ);
        error = GetLastError();
        if (!file_ && (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)) {
            // Left by a killed run, or held by a live one (which refuses
            // this handle): taken over only when it is a lock file of ours.
            file_ = OpenItselfIn(folder, name, kHolding, FILE_SHARE_READ);
            error = file_ ? ERROR_ALREADY_EXISTS : GetLastError();
            if (file_ && (KindOf(file_.Get(), path) != ObjectKind::File || !ReadLock(file_.Get(), text)))
                file_.Reset();  // not ours: closed, never deleted
        }
        // A holder that lets go deletes the file: it is gone, or about to.
        if (file_ || waited >= kLockWait ||
            (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED && error != ERROR_FILE_NOT_FOUND))
            break;
        Application.ProcessMessages();
        Sleep(kStep);
    }
    if (file_) {
        // The mark and the run that holds it: this program and its process.
        char id[32];
        text.assign(kMark);
        text += Application.ExeName();
        text.append(id, static_cast<std::size_t>(wsprintfA(id, " (process %lu)", GetCurrentProcessId())));
        DWORD written = 0;
        SetFilePointer(file_.Get(), 0, nullptr, FILE_BEGIN);
        WriteFile(file_.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        SetEndOfFile(file_.Get());
        return;
    }
    const FileHandle held =
        OpenItselfIn(folder, name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    if (error == ERROR_SHARING_VIOLATION && held && ReadLock(held.Get(), text)) {
        text.insert(0, " now: ");
        text.insert(0, product);
        throw Error("Another setup is installing " + text);
    }
    SetLastError(error);
    RaiseWithSystemReason("Cannot create file ", PathFromWide(path));
}

}  // namespace lumora
