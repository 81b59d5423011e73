#pragma once
// The author's product as the installer reads it from Product.ins
// (settings/ProductInfo.h), turned into checks, for the options of build
// and for a Product.ins in a payload: texts the uninstall entry can show, a
// version Windows can show in a program's properties.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "CodePage.h"
#include "Findings.h"
#include "image/VersionResource.h"
#include "input/PayloadFiles.h"
#include "settings/ProductInfo.h"

namespace setuppack {

// "1.2.3" or "1.2.3.4", each number from 0 to 65535, as the four numbers
// of the version information (a missing fourth is 0); nothing otherwise.
std::optional<VersionNumbers> ParseVersion(std::string_view text);

// Why `value` (UTF-8 text) of `field` is not one to give: a character that
// Windows would show otherwise (TextCharacters.h), a version that is none,
// a URL without http:// or https://; empty when it is fine. An empty value
// is a value not given.
std::string ProductValueProblem(const lumora::ProductField& field, const std::string& value);

// The values of the payload's Product.ins, decoded with the code page; none
// without the file. Adds to `findings` what is wrong with them, under the
// file's name.
std::optional<lumora::ProductInfo> CheckProductFile(const PayloadFiles& payload, const CodePage& codePage,
                                                    Findings& findings);

// "Product=Aurora Dreams", one line for each value given.
std::vector<std::string> ProductLines(const lumora::ProductInfo& product);

}  // namespace setuppack
