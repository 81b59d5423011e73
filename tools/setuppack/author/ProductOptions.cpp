#include "ProductOptions.h"

#include <algorithm>

#include "ProductRules.h"
#include "base/Error.h"

namespace setuppack {

bool ProductOptions::HasProductFile() const
{
    for (const lumora::ProductField& field : lumora::kProductFields)
        if (!(text.*field.value).empty())
            return true;
    return false;
}

std::string ProductOption(const lumora::ProductField& field) { return field.option ? field.option : ""; }

std::string ProductFileText(const lumora::ProductInfo& product)
{
    std::string content;
    for (const lumora::ProductField& field : lumora::kProductFields)
        content += product.*field.value + "\r\n";
    return content;
}

ProductOptions ProductOptionsOf(const Arguments& args, const CodePage& codePage)
{
    ProductOptions options;
    for (const lumora::ProductField& field : lumora::kProductFields) {
        const std::string option = ProductOption(field);
        if (option.empty() || args.values.count(option) == 0)
            continue;
        const std::string value = args.Value(option);
        if (value.empty()) {
            std::string named = option.substr(2);
            std::replace(named.begin(), named.end(), '-', ' ');
            throw UsageError(option + " is empty: give the " + named + " it stands for, or leave the option out");
        }
        if (std::string problem = ProductValueProblem(field, value); !problem.empty())
            throw UsageError(option + ": " + problem);
        std::string missing;
        const std::optional<std::string> bytes = codePage.Encode(value, &missing);
        if (!bytes)
            throw lumora::Error(option + ": " + codePage.Name() + " has no place for the character " + missing +
                                ", and the installer writes the uninstall entry in it (--codepage names the code "
                                "page of its systems; " + kEverySystemAdvice + ")");
        options.text.*field.value = value;
        options.file.*field.value = *bytes;
    }
    if (!options.text.Version.empty())
        options.numbers = ParseVersion(options.text.Version);
    // ASCII alone: the same bytes in every code page.
    if (options.text.ProductId.empty() && !options.text.Product.empty()) {
        options.text.ProductId = options.file.ProductId =
            DerivedProductId(options.text.Publisher, options.text.Product);
        options.idDerived = true;
    }
    if (args.values.count("--icon") != 0) {
        if (args.Value("--icon").empty())
            throw UsageError("--icon is empty: give an icon file (.ico), or leave the option out");
        options.icon = ReadIconFile(args.Value("--icon"));
    }
    return options;
}

}  // namespace setuppack
