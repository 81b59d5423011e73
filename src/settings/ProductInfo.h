#pragma once
// The author's product, as `setuppack build --product ... --version ...`
// records it in the payload's Product.ins: four lines, each ended by CR LF,
// in the order of kProductFields; an empty line is a value not given. Like
// Setup.ins it is the author's bytes, in the installer's encoding
// (base/PathEncoding.h). An installer built without those options carries no
// such file, and then every value is empty: the uninstall entry names the
// toolmaker, as it always has.
#include <array>
#include <string>

namespace lumora {

inline constexpr const char* kProductFile = "Product.ins";

struct ProductInfo {
    std::string Product;    // the uninstall entry's DisplayName
    std::string Publisher;  // its Publisher
    std::string Version;    // its DisplayVersion: X.Y.Z or X.Y.Z.W
    std::string Url;        // its HelpLink and UrlinfoAbout
};

// The product of this run, read from the extraction folder with Setup.ins
// (defined beside the settings record, Globals.cpp).
extern ProductInfo Product;

struct ProductField {
    const char* name;
    std::string ProductInfo::*value;
};

// The lines in file order; the packing tool writes and shows them by the
// same table.
inline constexpr std::array<ProductField, 4> kProductFields = {{
    {"Product", &ProductInfo::Product},
    {"Publisher", &ProductInfo::Publisher},
    {"Version", &ProductInfo::Version},
    {"Url", &ProductInfo::Url},
}};

// Reads the lines of Product.ins into `info` as TextFileReader reads
// Setup.ins: a line missing at the end is a value not given; lines after
// the fourth are not read.
void ReadProductInfo(const std::string& content, ProductInfo& info);

}  // namespace lumora
