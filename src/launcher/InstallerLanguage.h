#pragma once
// The language the installer speaks: the user's interface language when the
// installer carries a table of translated texts for it (setuppack build
// --language puts them into its resources), else English.

namespace lumora {

// Chooses the texts of base/UiTexts.h once, at start: the table of the
// user's language, else of its primary language, else English.
void ChooseInstallerLanguage();

}  // namespace lumora
