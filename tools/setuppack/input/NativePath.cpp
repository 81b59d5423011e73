#include "NativePath.h"

#include "base/PathEncoding.h"

namespace setuppack {

std::filesystem::path NativePath(std::string_view path)
{
#ifdef _WIN32
    return std::filesystem::path(lumora::WidePath(path));
#else
    return std::filesystem::path(path);
#endif
}

}  // namespace setuppack
