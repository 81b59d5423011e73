// On POSIX, paths are the bytes the system takes and the author's bytes are
// used as they are.
#include "base/PathEncoding.h"

namespace lumora {

namespace {

AuthorEncoding authorEncoding = AuthorEncoding::SystemCodePage;

}  // namespace

void SetAuthorEncoding(AuthorEncoding encoding) { authorEncoding = encoding; }

AuthorEncoding CurrentAuthorEncoding() { return authorEncoding; }

bool AuthorTextIsSystemAnsi() { return authorEncoding == AuthorEncoding::SystemCodePage; }

std::string AuthorText(std::string_view bytes) { return std::string(bytes); }

std::string AnsiFromPath(std::string_view path) { return std::string(path); }

}  // namespace lumora
