#include "wizard/WizardSummary.h"

#include "base/AsciiText.h"
#include "base/TextLines.h"

namespace lumora {

std::vector<std::string> SummaryLines(const std::string& targetFolder, const std::string& installedVersion,
                                      const std::string& version)
{
    // One text split into lines as the memo splits a file: less code in the
    // setup program than six texts made one by one.
    std::string text = "Setup Type:\r  Complete\r \rTarget Folder:\r  " + UpperCaseAscii(targetFolder) + "\r \r";
    if (!installedVersion.empty() && !version.empty()) {
        text += "Replaces version ";
        text += installedVersion;
        text += " with ";
        text += version;
    }
    return SplitTextLines(text);
}

}  // namespace lumora
