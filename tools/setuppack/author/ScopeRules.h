#pragma once
// Scope.ins, which build --per-user adds to the payload
// (settings/InstallScope.h): the installer then installs for the user who
// runs it, into a folder named after the product in the user's programs
// folder, and its manifest asks for that user's rights only.
#include <optional>
#include <string>

#include "Findings.h"
#include "input/PayloadFiles.h"
#include "settings/ProductInfo.h"

namespace setuppack {

// The content of Scope.ins as build writes it.
std::string ScopeFileText();

// Whether the payload's Scope.ins names the user's scope, as the installer
// reads it.
bool InstallsPerUser(const PayloadFiles& payload);

// Adds to `findings` what is wrong with the payload's Scope.ins: another
// content, which the installer takes for every user; and with it a
// `product` name (text) that names no folder, so that the installer names
// its folder after the screensaver.
void CheckScopeFile(const PayloadFiles& payload, const std::optional<lumora::ProductInfo>& product,
                    Findings& findings);

// What is wrong when the installer's manifest asks for the execution level
// `level` (empty: none) and its payload installs per user (`perUser`) or
// not: empty when the two agree.
std::string ManifestScopeProblem(bool perUser, const std::string& level);

}  // namespace setuppack
