#include "Texts.h"

namespace lmunist {

namespace {

void appendList(std::string& text, const char* heading, const std::vector<std::string>& items)
{
    if (items.empty())
        return;
    text += "\n\n";
    text += heading;
    for (const std::string& item : items)
        text += "\n" + item;
}

}  // namespace

std::string captionText(const Installation& installation)
{
    return installation.baseName + " Uninstall";
}

std::string confirmText(const Installation& installation)
{
    return "Do you want to remove the screensaver " + installation.baseName +
           " from this computer?\n\nThis removes " + installation.screensaver +
           ", its information file, its entry in the list of installed programs and this uninstaller.";
}

std::string nothingInstalledText(const Installation& installation)
{
    return "The screensaver " + installation.baseName + " is not installed in " + installation.folder +
           ". There is nothing to remove.";
}

std::string reportText(const Installation& installation, const Outcome& outcome)
{
    if (outcome.complete())
        return "The screensaver " + installation.baseName + " has been removed completely.";
    std::string text = "The screensaver " + installation.baseName + " has been removed except for these items.";
    appendList(text, "Could not be removed:", outcome.notRemoved);
    appendList(text, "Will be removed when Windows restarts:", outcome.atRestart);
    return text;
}

}  // namespace lmunist
