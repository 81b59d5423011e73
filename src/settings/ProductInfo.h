#pragma once
// The author's product, as `setuppack build --product ... --version ...`
// records it in the payload's Product.ins: six lines, each ended by CR LF,
// in the order of kProductFields; an empty line is a value not given (an
// installer of an earlier tool has four). Like
// Setup.ins it is the author's bytes, in the installer's encoding
// (base/PathEncoding.h). An installer built without those options carries no
// such file, and then every value is empty: the uninstall entry names the
// toolmaker, as it always has.
#include <array>
#include <string>
#include <string_view>

namespace lumora {

inline constexpr const char* kProductFile = "Product.ins";
// The uninstaller, as the payload carries it.
inline constexpr const char* kUninstallerFile = "Lmunist.exe";

struct ProductInfo {
    std::string Product;    // the uninstall entry's DisplayName
    std::string Publisher;  // its Publisher
    std::string Version;    // its DisplayVersion: X.Y.Z or X.Y.Z.W
    std::string Url;        // its HelpLink and UrlinfoAbout
    // What stays the same from one version of the product to the next, by
    // which an installer finds the product installed whatever its
    // screensaver was called: ASCII letters, digits and ". _ - { }".
    std::string ProductId;
    // The payload file that carries the author's icon for the uninstall
    // entry (the uninstaller); empty: the entry shows the screensaver's.
    std::string Icon;
};

// The product of this run, read from the extraction folder with Setup.ins
// (defined beside the settings record, Globals.cpp).
extern ProductInfo Product;

struct ProductField {
    const char* name;
    std::string ProductInfo::*value;
    const char* option;  // of setuppack build; nullptr: the tool fills it in
};

// The lines in file order; the packing tool writes and shows them by the
// same table.
inline constexpr std::array<ProductField, 6> kProductFields = {{
    {"Product", &ProductInfo::Product, "--product"},
    {"Publisher", &ProductInfo::Publisher, "--publisher"},
    {"Version", &ProductInfo::Version, "--version"},
    {"Url", &ProductInfo::Url, "--url"},
    {"ProductId", &ProductInfo::ProductId, "--product-id"},
    {"Icon", &ProductInfo::Icon, nullptr},
}};

// Whether installing `version` over `installed` (texts "X.Y.Z" or
// "X.Y.Z.W", compared number by number, a missing fourth as 0) goes back
// to an older version. False when either is no such version: nothing to
// compare, nothing to ask.
bool IsDowngrade(std::string_view installed, std::string_view version);

// Reads the lines of Product.ins into `info` as TextFileReader reads
// Setup.ins: a line missing at the end is a value not given; lines after
// the sixth are not read.
void ReadProductInfo(const std::string& content, ProductInfo& info);

}  // namespace lumora
