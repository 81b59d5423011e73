#pragma once
// The language the installer speaks: the user's interface language when the
// installer carries a table of translated texts for it (setuppack build
// --language puts them into its resources), else English.

namespace lumora {

// Chooses the texts of base/UiTexts.h once, at start: the table of the
// user's language, else of its primary language, else English. A table
// that does not lie within the program's image is refused, and the run's
// log says so.
void ChooseInstallerLanguage();

}  // namespace lumora
