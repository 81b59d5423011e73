// A stand-in program for the tests of program starts: records how it was
// started (its own file, its command line, its current folder) in the file
// named by the environment variable LUMORA_RECORD, then ends. The record is
// written beside and renamed into place, so a reader never sees half of it.
#include <windows.h>

#include <string>

namespace {

template <class Call>
std::string Ask(Call call)
{
    std::string text(MAX_PATH, '\0');
    for (int attempt = 0; attempt < 4; ++attempt) {
        const DWORD length = call(text.data(), static_cast<DWORD>(text.size()));
        if (length < text.size()) {
            text.resize(length);
            return text;
        }
        text.resize(length + 1);
    }
    return {};
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const std::string record =
        Ask([](char* buffer, DWORD size) { return GetEnvironmentVariableA("LUMORA_RECORD", buffer, size); });
    if (record.empty())
        return 1;
    const std::string module = Ask([](char* buffer, DWORD size) {
        const DWORD length = GetModuleFileNameA(nullptr, buffer, size);
        return length == size ? size : length;  // a cut name asks for more room
    });
    const std::string folder = Ask([](char* buffer, DWORD size) { return GetCurrentDirectoryA(size, buffer); });
    const std::string text =
        "module=" + module + "\n" + "command=" + GetCommandLineA() + "\n" + "folder=" + folder + "\n";

    const std::string part = record + ".part";
    const HANDLE file = CreateFileA(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 2;
    DWORD written = 0;
    const BOOL wrote = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    if (!wrote || written != text.size() || !MoveFileExA(part.c_str(), record.c_str(), MOVEFILE_REPLACE_EXISTING))
        return 3;
    return 0;
}
