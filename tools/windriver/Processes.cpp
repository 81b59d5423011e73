#include "Processes.h"

#include <windows.h>
#include <tlhelp32.h>

#include "Failure.h"
#include "Handles.h"

namespace windriver {

void listProcesses(const Args& args, JsonWriter& out)
{
    expectCount(args, 0, 0, "processes");
    KernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.valid())
        throw systemFailure("CreateToolhelp32Snapshot");
    out.beginObject();
    out.key("processes");
    out.beginArray();
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        out.beginObject();
        out.key("pid");
        out.value(int64_t{entry.th32ProcessID});
        out.key("parent");
        out.value(int64_t{entry.th32ParentProcessID});
        out.key("exe");
        out.value(std::wstring(entry.szExeFile));
        out.endObject();
    }
    out.endArray();
    out.endObject();
}

}  // namespace windriver
