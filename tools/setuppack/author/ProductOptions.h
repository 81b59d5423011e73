#pragma once
// The author's product on build's command line: --product, --publisher,
// --version, --url and --product-id, which the installer reads from
// Product.ins for its uninstall entry, and --icon. With any of them build also rewrites the
// installer's version information (and with --icon its icon); without them
// the installer is the same as ever, byte for byte.
#include <optional>
#include <string>

#include "CodePage.h"
#include "image/IconFile.h"
#include "image/VersionResource.h"
#include "input/Arguments.h"
#include "settings/ProductInfo.h"

namespace setuppack {

struct ProductOptions {
    lumora::ProductInfo file;              // Product.ins: bytes of the installer's code page
    lumora::ProductInfo text;              // the same values as UTF-8 text
    std::optional<VersionNumbers> numbers; // of --version
    std::optional<IconImages> icon;
    bool idDerived = false;                // ProductId made of --publisher and --product

    // Product.ins goes into the payload.
    bool HasProductFile() const;
    // The installer's own resources are rewritten.
    bool Given() const { return HasProductFile() || icon.has_value(); }
};

// The options of `args`, checked, with the product identity made of
// --publisher and --product when --product comes without --product-id: a value that is empty, holds a character
// that Windows would show otherwise (TextCharacters.h), is no version or no
// web address with its scheme is a UsageError; one the code page cannot
// spell, or an --icon that is no icon file, is a lumora::Error.
ProductOptions ProductOptionsOf(const Arguments& args, const CodePage& codePage);

// "--product", "--publisher", "--version", "--url", "--product-id": the
// options, in the order of Product.ins's lines; empty for a line the tool
// fills in itself.
std::string ProductOption(const lumora::ProductField& field);

// The content of Product.ins: the values in the order of its lines, each
// ended by CR LF, as the installer reads them. (Written here and not beside
// the reader: the setup program would carry the writer too.)
std::string ProductFileText(const lumora::ProductInfo& product);

}  // namespace setuppack
