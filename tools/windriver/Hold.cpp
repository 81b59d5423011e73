#include "Hold.h"

#include <windows.h>

#include "Failure.h"
#include "Handles.h"
#include "Output.h"

namespace windriver {

namespace {

DWORD flags(const std::wstring& letters, DWORD read, DWORD write, DWORD remove)
{
    if (letters == L"-")
        return 0;
    DWORD result = 0;
    for (wchar_t c : letters) {
        switch (c) {
        case L'r': result |= read; break;
        case L'w': result |= write; break;
        case L'd': result |= remove; break;
        default: throw UsageError("access and share letters are r, w, d or -");
        }
    }
    return result;
}

}  // namespace

void holdFile(const Args& args, JsonWriter& out)
{
    expectCount(args, 3, 4, "hold FILE ACCESS SHARE [SECONDS]");
    const DWORD access = flags(args[1], GENERIC_READ, GENERIC_WRITE, DELETE);
    const DWORD share = flags(args[2], FILE_SHARE_READ, FILE_SHARE_WRITE, FILE_SHARE_DELETE);
    const DWORD waitMs = args.size() == 4 ? static_cast<DWORD>(parseValue(args[3]) * 1000) : INFINITE;

    KernelHandle file(CreateFileW(args[0].c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
    if (!file.valid())
        throw systemFailure("CreateFile(" + narrow(args[0]) + ")");
    out.beginObject();
    out.key("held");
    out.value(args[0]);
    out.endObject();
    printNow(out);
    Sleep(waitMs);
}

}  // namespace windriver
