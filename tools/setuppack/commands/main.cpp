// setuppack: makes, lists, verifies and extracts installers of the setup
// stub. Exit codes: 0 success, 1 failure (a bad or unsound file, a failed
// restore), 2 usage error.
#include <cstdio>
#include <string>
#include <vector>

#include "Command.h"
#include "author/CodePage.h"

#ifdef _WIN32
#include <windows.h>

#include <shellapi.h>

#include "base/PathEncoding.h"
#endif

namespace {

void PrintUsage(std::FILE* to)
{
    std::fputs("usage: setuppack COMMAND [OPTIONS] FILE...\n\ncommands:\n", to);
    for (const setuppack::Command& command : setuppack::Commands())
        std::fprintf(to, "  %-8s %s\n", command.name, command.summary);
    std::fputs("\n\"setuppack COMMAND --help\" describes a command.\n", to);
}

// The command being run, for the usage hint of its errors.
std::string running;

int Run(const std::vector<std::string>& args)
{
    if (args.empty()) {
        PrintUsage(stderr);
        return 2;
    }
    if (args[0] == "--help" || args[0] == "-h") {
        PrintUsage(stdout);
        return 0;
    }
    const setuppack::Command* command = setuppack::FindCommand(args[0]);
    if (!command)
        throw setuppack::UsageError("unknown command " + args[0]);
    running = command->name;
    const auto parsed = setuppack::ParseArguments(
        std::vector<std::string>(args.begin() + 1, args.end()), command->flags, command->valued,
        command->repeatable);
    if (parsed.help) {
        std::fputs(command->help, stdout);
        for (const std::string& option : command->valued)
            if (option == "--codepage")
                std::fputs(setuppack::kCodePageHelp, stdout);
        return 0;
    }
    return command->run(parsed);
}

#ifdef _WIN32
// The arguments as path text, every letter kept, and the console shown UTF-8:
// the narrow arguments of the C runtime are ANSI text, which loses letters
// that the code page lacks.
std::vector<std::string> Arguments(int, char**)
{
    SetConsoleOutputCP(CP_UTF8);
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int i = 1; wide && i < count; ++i)
        args.push_back(lumora::PathFromWide(wide[i]));
    LocalFree(wide);
    return args;
}
#else
std::vector<std::string> Arguments(int argc, char** argv) { return std::vector<std::string>(argv + 1, argv + argc); }
#endif

}  // namespace

int main(int argc, char** argv)
{
    try {
        return Run(Arguments(argc, argv));
    } catch (const setuppack::UsageError& e) {
        if (running.empty())
            std::fprintf(stderr, "setuppack: %s\n(\"setuppack --help\" lists the commands)\n", e.what());
        else
            std::fprintf(stderr, "setuppack: %s\n(\"setuppack %s --help\" describes the command)\n", e.what(),
                         running.c_str());
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "setuppack: %s\n", e.what());
        return 1;
    }
}
