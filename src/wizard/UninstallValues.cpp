#include "wizard/UninstallValues.h"

#include "base/PathEncoding.h"

namespace lumora {

namespace {

constexpr const char* kProductPage = "http://www.quillon.co.uk/corporate/software/lumora/index.html";
constexpr const char* kHomePage = "http://www.quillon.co.uk/";
constexpr const char* kPublisher = "Quillon Computers Ltd";

// The uninstaller's path as the start of a command line: in quotes when it
// holds a blank, which would otherwise end the program's name there
// ("C:\Windows\Aurora Deluxe.exe" would start C:\Windows\Aurora.exe).
std::string CommandPath(const std::string& path)
{
    return path.find(' ') == std::string::npos ? path : "\"" + path + "\"";
}

}  // namespace

InstallPaths InstalledPaths(const std::string& screenSaverFile, const std::string& targetFolder)
{
    return PlanInstallPaths(targetFolder, AuthorText(screenSaverFile), AuthorText(ScreenSaverBaseName(screenSaverFile)),
                            {});
}

std::string UninstallEntryName(const std::string& screenSaverFile)
{
    return AuthorText(ScreenSaverBaseName(screenSaverFile)) + " Uninstall";
}

std::string UninstallEntryPathOf(const std::string& entryName)
{
    return std::string(kUninstallListKey) + "\\" + entryName;
}

std::string UninstallEntryPath(const std::string& screenSaverFile)
{
    return std::string(kUninstallListKey) + "\\" + AuthorText(ScreenSaverBaseName(screenSaverFile)) + " uninstall";
}

std::string ProgramOfCommand(const std::string& command)
{
    if (command.empty() || command[0] != '"')
        return command;
    return command.substr(1, command.find('"', 1) - 1);
}

UninstallValueList UninstallValues(const std::string& screenSaverFile, const std::string& targetFolder)
{
    return {
        {"DisplayName", UninstallEntryName(screenSaverFile)},
        {"HelpLink", kProductPage},
        {"Publisher", kPublisher},
        // The uninstaller copy the installation steps made.
        {"UninstallString", CommandPath(InstalledPaths(screenSaverFile, targetFolder).uninstallerTarget)},
        {"UrlinfoAbout", kHomePage},
    };
}

UninstallValueList UninstallExtraValues(const std::string& screenSaverFile, const std::string& targetFolder,
                                        const ProductInfo& product)
{
    const InstallPaths paths = InstalledPaths(screenSaverFile, targetFolder);
    return {
        {"QuietUninstallString", "\"" + paths.uninstallerTarget + "\" /S"},
        {"DisplayIcon", product.Icon.empty() ? paths.screenSaverTarget : paths.uninstallerTarget},
    };
}

void ApplyProductInfo(UninstallValueList& values, const ProductInfo& product)
{
    static constexpr std::pair<const char*, std::string ProductInfo::*> kByName[] = {
        {"DisplayName", &ProductInfo::Product},
        {"Publisher", &ProductInfo::Publisher},
        {"HelpLink", &ProductInfo::Url},
        {"UrlinfoAbout", &ProductInfo::Url},
    };
    for (auto& [name, value] : values)
        for (const auto& [named, member] : kByName)
            if (name == named && !(product.*member).empty())
                value = AuthorText(product.*member);
}

}  // namespace lumora
