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

// The longest product identity.
inline constexpr std::size_t kMaxProductIdLength = 100;

// The product identity made of the publisher and the product's name (UTF-8
// text, the publisher may be empty) when the author gives none: each name's
// ASCII letters and digits in lower case, any run of other characters one
// "-", the two joined by "."; a name with characters beyond ASCII gets a
// 32-bit hash (FNV-1a) of its bytes behind it ("wietlik-studio-1a2b3c4d"), so that names
// that differ only there stay apart. The same names always give the same
// identity.
std::string DerivedProductId(const std::string& publisher, const std::string& product);

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
