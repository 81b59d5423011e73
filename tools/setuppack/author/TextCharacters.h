#pragma once
// Characters that no text or name of an installer may hold, in any code
// page, because Windows would show it otherwise than it is: control
// characters (C0, DEL and C1), the line and paragraph separators, the
// bidirectional embeddings, overrides and isolates, which reorder what
// follows them (a name "Evil" U+202E "exe.scr" shows as "Evilrcs.exe"), and
// the byte-order mark. Names may not hold the invisible direction marks
// either (U+200E, U+200F, U+061C): two names that look alike would differ.
// Texts may, as right-to-left writing needs them around digits and
// punctuation.
#include <string>
#include <string_view>

namespace setuppack {

enum class TextKind { Text, Name };

// The first such character of the UTF-8 `text`, as "holds U+202E
// RIGHT-TO-LEFT OVERRIDE, which ...; leave it out"; empty when there is
// none.
std::string MisleadingCharacterProblem(std::string_view text, TextKind kind);

// Whether `c` is refused in a name (which refuses every character a text
// refuses): for showing such characters escaped.
bool IsMisleadingInName(char32_t c);

}  // namespace setuppack
