#include "ScopeRules.h"

#include "archive/RestorePaths.h"
#include "settings/InstallScope.h"

namespace setuppack {

std::string ScopeFileText() { return std::string(lumora::kUserScope) + "\r\n"; }

bool InstallsPerUser(const PayloadFiles& payload)
{
    const PayloadFile* file = payload.Find(lumora::kScopeFile);
    return file && lumora::NamesUserScope(file->read());
}

void CheckScopeFile(const PayloadFiles& payload, const std::optional<lumora::ProductInfo>& product,
                    Findings& findings)
{
    const PayloadFile* file = payload.Find(lumora::kScopeFile);
    if (!file)
        return;
    if (!InstallsPerUser(payload)) {
        findings.Problem(file->shown, "it reads " + Quoted(file->read()) + ", not \"" + lumora::kUserScope +
                                          "\": the installer installs for every user, into the Windows folder "
                                          "(build --per-user writes it)");
        return;
    }
    if (product && !product->Product.empty() && !lumora::archive::IsPlainName(product->Product))
        findings.Warning(file->shown, "the product " + Quoted(product->Product) +
                                          " names no folder, so the installer names its folder in the user's "
                                          "programs folder after the screensaver");
}

std::string ManifestScopeProblem(bool perUser, const std::string& level)
{
    if (perUser && level != "asInvoker")
        return std::string(lumora::kScopeFile) + " installs for the current user only, but the installer's manifest "
               "asks for " + (level.empty() ? std::string("no execution level") : level) +
               " instead of asInvoker, so a user without administrator rights cannot run it: build with --per-user, "
               "which writes both";
    if (!perUser && level == "asInvoker")
        return "the installer's manifest asks for the user's own rights (asInvoker), but without --per-user's " +
               std::string(lumora::kScopeFile) + " it installs into the Windows folder, which takes administrator "
               "rights";
    return {};
}

}  // namespace setuppack
