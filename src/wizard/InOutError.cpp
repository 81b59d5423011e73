#include "wizard/InOutError.h"

namespace lumora {

std::string InOutErrorText(unsigned code)
{
    switch (code) {
    case 2: return "File not found";
    case 3: return "Invalid filename";
    case 4: return "Too many open files";
    case 5: return "File access denied";
    case kDiskFullError: return "Disk full";
    default: return "I/O error " + std::to_string(code);
    }
}

}  // namespace lumora
