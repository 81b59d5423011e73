#pragma once
// The summary page's text and the wizard's place on the screen: the parts of
// FillMemoBox and CenterMe that need no window.
#include <string>
#include <vector>

namespace lumora {

// The six lines of the summary for the target folder: the setup type, a
// blank line, the folder in upper case (letters a to z only), a blank line.
// When this installer has a version and replaces an installed one that has
// one too, a seventh: "Replaces version 1.0.0 with 1.2.3". In the
// installer's language (base/UiTexts.h).
std::vector<std::string> SummaryLines(const std::string& targetFolder, const std::string& installedVersion = {},
                                      const std::string& version = {});

// Where a window of `size` pixels starts when centred on a screen of
// `screen` pixels: half the screen less half the window, each half
// truncated toward zero.
constexpr int CentredOrigin(int screen, int size) { return screen / 2 - size / 2; }

}  // namespace lumora
