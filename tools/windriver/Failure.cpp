#include "Failure.h"

#include <windows.h>

namespace windriver {

Failure systemFailure(const std::string& what)
{
    return Failure(what + " failed (system error " + std::to_string(GetLastError()) + ")");
}

}  // namespace windriver
