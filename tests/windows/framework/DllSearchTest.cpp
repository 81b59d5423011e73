#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace lumora {
namespace {

// Runs the probe built beside this suite, which loads the library planted
// beside it by its bare name; returns its exit code.
DWORD RunProbe(const char* mode)
{
    std::string self(MAX_PATH, '\0');
    self.resize(GetModuleFileNameA(nullptr, self.data(), static_cast<DWORD>(self.size())));
    std::string commandLine = "\"" + self.substr(0, self.find_last_of('\\') + 1) + "dll_search_probe.exe\" " + mode;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        ADD_FAILURE() << "cannot start " << commandLine << " (error " << GetLastError() << ")";
        return 2;
    }
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 2;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

TEST(DllSearch, APlantedLibraryLoadsOnlyWhileTheSearchIsNotLimited)
{
    EXPECT_EQ(RunProbe("plain"), 1u) << "the planted library was not found: the check below proves nothing";
    EXPECT_EQ(RunProbe("limit"), 0u) << "the planted library was loaded despite the limit";
}

}  // namespace
}  // namespace lumora
