#include "SaverMode.h"

#include <cstdint>

#include "CommandLine.h"

namespace aurora {

namespace {

HWND parseWindow(const std::string& text)
{
    std::uint32_t value = 0;
    if (!sample::parseUnsigned(text, value))
        return nullptr;
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value));
}

}  // namespace

SaverMode parseSaverMode(const std::vector<std::string>& args)
{
    SaverMode mode;
    if (args.size() < 2)
        return mode;
    const std::string& option = args[1];
    if (option.size() < 2 || (option[0] != '/' && option[0] != '-'))
        return mode;

    switch (option[1]) {
    case 's': case 'S':
        mode.kind = SaverKind::FullScreen;
        return mode;
    case 'p': case 'P':
        mode.kind = SaverKind::Preview;
        break;
    case 'a': case 'A':
        mode.kind = SaverKind::Password;
        break;
    default:
        mode.kind = SaverKind::Settings;
        break;
    }
    // The window follows a colon ("/c:1234") or comes as the next argument ("/p 1234").
    if (option.size() > 2 && option[2] == ':')
        mode.window = parseWindow(option.substr(3));
    else if (args.size() > 2)
        mode.window = parseWindow(args[2]);
    return mode;
}

}  // namespace aurora
