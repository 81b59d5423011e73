#include "wizard/WizardSummary.h"

#include "base/AsciiText.h"
#include "base/TextLines.h"
#include "base/UiTexts.h"

namespace lumora {

std::vector<std::string> SummaryLines(const std::string& targetFolder, const std::string& installedVersion,
                                      const std::string& version)
{
    // One text split into lines as the memo splits a file: less code in the
    // setup program than six texts made one by one.
    std::string text = FormatText("%s\r  %s\r \r%s\r  %s\r \r",
                                  {Text(TextId::SummarySetupType), Text(TextId::SummaryComplete),
                                   Text(TextId::SummaryTargetFolder), UpperCaseAscii(targetFolder)});
    if (!installedVersion.empty() && !version.empty())
        text += FormatText(Text(TextId::SummaryReplaces), {installedVersion, version});
    return SplitTextLines(text);
}

}  // namespace lumora
