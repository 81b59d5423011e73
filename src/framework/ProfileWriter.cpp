#include "framework/ProfileWriter.h"

#include <windows.h>

#include "base/PathEncoding.h"
#include "framework/Win32Error.h"

namespace lumora {

void WriteProfileString(const std::string& fileName, const std::string& section,
                        const std::string& key, const std::string& value)
{
    if (!WritePrivateProfileStringW(WideText(section).c_str(), WideText(key).c_str(), WideText(value).c_str(),
                                    WidePath(fileName).c_str()))
        RaiseLastOSError("Unable to write to " + fileName);
}

}  // namespace lumora
