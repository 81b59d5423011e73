#pragma once
// The language the installer speaks and the code page its texts are written
// in. The language: the one /LANG= names, else the user's interface
// language, when the installer carries a table of translated texts for it
// (setuppack build --language puts them into its resources), else English.
// The code page: the one its resources record (base/PathEncoding.h), else
// the system's.
#include <string>

namespace lumora {

// Chooses the texts of base/UiTexts.h once, at start: the table of the
// language `tag` names ("de", "pt-BR", in any letter case; empty: none), else
// of the user's language, else of its primary language, else English. A
// tag that names no language the installer carries falls back so, and the
// run's log says so. A table that does not lie within the program's image is
// refused, and the log says so.
void ChooseInstallerLanguage(const std::string& tag);

// Reads the author's 8-bit texts in the code page the installer records,
// before the payload's names are read; the log says which. Without a record
// they stay in the system's code page.
void UseRecordedCodePage();

}  // namespace lumora
