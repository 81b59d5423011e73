#include "settings/ProductInfo.h"

#include "base/TextFileReader.h"

namespace lumora {

namespace {

// The four numbers of a version, or false when `text` is none: three or
// four numbers of at most five digits, a dot between each two.
bool VersionNumbers(std::string_view text, unsigned long (&numbers)[4])
{
    std::size_t count = 0;
    std::size_t digits = 0;
    numbers[0] = numbers[1] = numbers[2] = numbers[3] = 0;
    for (const char c : text) {
        if (c == '.' && digits > 0 && count < 3) {
            ++count;
            digits = 0;
        } else if (c >= '0' && c <= '9' && digits < 5) {
            numbers[count] = numbers[count] * 10 + static_cast<unsigned long>(c - '0');
            ++digits;
        } else {
            return false;
        }
    }
    return digits > 0 && count >= 2;
}

}  // namespace

bool IsDowngrade(std::string_view installed, std::string_view version)
{
    unsigned long before[4];
    unsigned long after[4];
    if (!VersionNumbers(installed, before) || !VersionNumbers(version, after))
        return false;
    for (int i = 0; i < 4; ++i)
        if (before[i] != after[i])
            return after[i] < before[i];
    return false;
}

void ReadProductInfo(const std::string& content, ProductInfo& info)
{
    TextFileReader in(content);
    for (const ProductField& field : kProductFields)
        info.*field.value = in.ReadLine();
}

}  // namespace lumora
