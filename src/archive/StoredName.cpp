#include "archive/StoredName.h"

#include "base/AsciiText.h"

namespace lumora::archive {

std::string StoredNameOf(std::string_view name) { return "c:\\" + LowerCaseAscii(name); }

}  // namespace lumora::archive
