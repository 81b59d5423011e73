// windriver: a console program that tests run under Wine, in the prefix of
// the program under test, to read and drive that program's windows. Every
// command prints one JSON document on standard output; failures print a
// message on standard error. Exit codes: 0 done, 1 failed, 2 wrong usage.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <exception>

#include "Accessible.h"
#include "Args.h"
#include "Failure.h"
#include "Hold.h"
#include "Input.h"
#include "Json.h"
#include "Messages.h"
#include "Output.h"
#include "ProbeWindow.h"
#include "Processes.h"
#include "SelfTest.h"
#include "WindowTree.h"

namespace {

using windriver::Args;
using windriver::JsonWriter;

struct Command {
    const wchar_t* name;
    void (*run)(const Args&, JsonWriter&);
    const char* usage;
};

const Command kCommands[] = {
    {L"windows", windriver::listWindows, "windows [HWND]"},
    {L"click-button", windriver::clickButton, "click-button HWND TEXT"},
    {L"post", windriver::postMessage, "post HWND MSG WPARAM LPARAM"},
    {L"send", windriver::sendMessage, "send HWND MSG WPARAM LPARAM"},
    {L"activate", windriver::activate, "activate HWND"},
    {L"click", windriver::click, "click HWND X Y"},
    {L"mouse", windriver::mouse, "mouse move|down|up HWND X Y"},
    {L"key", windriver::key, "key COMBO"},
    {L"screen", windriver::screen, "screen"},
    {L"code-page", windriver::codePage, "code-page"},
    {L"processes", windriver::listProcesses, "processes"},
    {L"hold", windriver::holdFile, "hold FILE ACCESS SHARE [SECONDS]"},
    {L"window", windriver::probeWindow, "window TITLE"},
    {L"message-box", windriver::showMessageBox, "message-box ICON CAPTION TEXT [BUTTONS]"},
    {L"crash", windriver::crash, "crash"},
    {L"accessible", windriver::listAccessible, "accessible HWND"},
    {L"accessible-do", windriver::doAccessibleAction, "accessible-do HWND NAME"},
    {L"accessible-events", windriver::listenAccessibleEvents, "accessible-events HWND"},
};

void printUsage()
{
    std::fputs("usage:\n", stderr);
    for (const Command& command : kCommands)
        std::fprintf(stderr, "  windriver %s\n", command.usage);
}

// The arguments as Unicode text, after the program name.
Args commandLine()
{
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    Args args;
    if (argv) {
        for (int i = 1; i < count; ++i)
            args.emplace_back(argv[i]);
        LocalFree(argv);
    }
    return args;
}

}  // namespace

int main()
{
    Args args = commandLine();
    if (args.empty()) {
        printUsage();
        return 2;
    }
    const std::wstring name = args.front();
    args.erase(args.begin());
    for (const Command& command : kCommands) {
        if (name != command.name)
            continue;
        try {
            JsonWriter out;
            command.run(args, out);
            if (!out.empty())
                windriver::printNow(out);
            return 0;
        } catch (const windriver::UsageError& e) {
            std::fprintf(stderr, "windriver: %s\n", e.what());
            return 2;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "windriver %s: %s\n", windriver::narrow(name).c_str(), e.what());
            return 1;
        }
    }
    std::fprintf(stderr, "windriver: unknown command %s\n", windriver::narrow(name).c_str());
    printUsage();
    return 2;
}
