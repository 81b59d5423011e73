#include "SelfTest.h"

#include <windows.h>

#include "Failure.h"

namespace windriver {

namespace {

struct Flag {
    const wchar_t* name;
    UINT value;
};

const Flag kIcons[] = {
    {L"error", MB_ICONERROR},
    {L"warning", MB_ICONWARNING},
    {L"information", MB_ICONINFORMATION},
    {L"question", MB_ICONQUESTION},
    {L"none", 0},
};

const Flag kButtons[] = {
    {L"ok", MB_OK},
    {L"okcancel", MB_OKCANCEL},
    {L"yesno", MB_YESNO},
};

template <size_t N>
UINT lookup(const Flag (&table)[N], const std::wstring& name, const char* what)
{
    for (const Flag& flag : table) {
        if (name == flag.name)
            return flag.value;
    }
    throw UsageError(std::string("unknown ") + what + ": " + narrow(name));
}

}  // namespace

void showMessageBox(const Args& args, JsonWriter& out)
{
    expectCount(args, 3, 4, "message-box ICON CAPTION TEXT [BUTTONS]");
    const UINT icon = lookup(kIcons, args[0], "icon");
    const UINT buttons = args.size() == 4 ? lookup(kButtons, args[3], "buttons") : MB_OK;
    const int pressed = MessageBoxW(nullptr, args[2].c_str(), args[1].c_str(), icon | buttons);
    if (pressed == 0)
        throw systemFailure("MessageBox");
    out.beginObject();
    out.key("pressed");
    out.value(int64_t{pressed});
    out.endObject();
}

void crash(const Args& args, JsonWriter&)
{
    expectCount(args, 0, 0, "crash");
    volatile int* nowhere = nullptr;
    *nowhere = 1;
}

}  // namespace windriver
