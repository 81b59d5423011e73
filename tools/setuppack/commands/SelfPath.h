#pragma once
#include <string>

namespace setuppack {

// The folder of the running setuppack executable, with a trailing separator,
// or an empty text when the system does not tell.
std::string OwnFolder();

}  // namespace setuppack
