#include "wizard/WizardSummary.h"

#include "base/AsciiText.h"

namespace lumora {

std::vector<std::string> SummaryLines(const std::string& targetFolder)
{
    return {"Setup Type:", "  Complete", " ", "Target Folder:", "  " + UpperCaseAscii(targetFolder), " "};
}

}  // namespace lumora
