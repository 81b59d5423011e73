// A stand-in program for the tests of program starts: records how it was
// started in the file named by the environment variable LUMORA_RECORD, as
// three lines (its own file, its command line, its current folder), then
// ends. The record is written beside and renamed into place, so a reader
// never sees half of it.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    constexpr DWORD kSize = 4 * MAX_PATH;
    char record[kSize];
    char module[kSize];
    char folder[kSize];
    const DWORD recordLength = GetEnvironmentVariableA("LUMORA_RECORD", record, kSize);
    const DWORD moduleLength = GetModuleFileNameA(nullptr, module, kSize);
    const DWORD folderLength = GetCurrentDirectoryA(kSize, folder);
    for (const DWORD length : {recordLength, moduleLength, folderLength})
        if (length == 0 || length >= kSize)
            return 1;

    const std::string text = std::string(module) + "\n" + GetCommandLineA() + "\n" + folder + "\n";
    const std::string part = std::string(record) + ".part";
    const HANDLE file = CreateFileA(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 2;
    DWORD written = 0;
    const BOOL wrote = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    if (!wrote || written != text.size() || !MoveFileExA(part.c_str(), record, MOVEFILE_REPLACE_EXISTING))
        return 3;
    return 0;
}
