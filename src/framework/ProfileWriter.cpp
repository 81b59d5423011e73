#include "framework/ProfileWriter.h"

#include <windows.h>

#include "framework/Win32Error.h"

namespace lumora {

void WriteProfileString(const std::string& fileName, const std::string& section,
                        const std::string& key, const std::string& value)
{
    if (!WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), fileName.c_str()))
        RaiseLastOSError("Unable to write to " + fileName);
}

}  // namespace lumora
