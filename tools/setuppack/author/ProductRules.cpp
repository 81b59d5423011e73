#include "ProductRules.h"

#include "SettingsRules.h"
#include "TextCharacters.h"
#include "base/AsciiText.h"
#include "base/Error.h"

namespace setuppack {

namespace {

// The schemes of web addresses that the uninstall entry's links open in a
// browser.
constexpr const char* kWebSchemes[] = {"http://", "https://"};

bool HasWebScheme(const std::string& url)
{
    const std::string lower = lumora::LowerCaseAscii(url);
    for (const char* scheme : kWebSchemes)
        if (lower.size() > std::char_traits<char>::length(scheme) && lower.rfind(scheme, 0) == 0)
            return true;
    return false;
}

}  // namespace

std::optional<VersionNumbers> ParseVersion(std::string_view text)
{
    VersionNumbers numbers{};
    std::size_t count = 0;
    std::size_t at = 0;
    for (;;) {
        std::size_t digits = 0;
        std::uint32_t number = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 6) {
            number = number * 10 + static_cast<std::uint32_t>(text[at++] - '0');
            ++digits;
        }
        if (digits == 0 || number > 0xFFFF || count == numbers.size())
            return std::nullopt;
        numbers[count++] = static_cast<std::uint16_t>(number);
        if (at == text.size())
            break;
        if (text[at++] != '.')
            return std::nullopt;
    }
    if (count < 3)
        return std::nullopt;
    return numbers;
}

std::string ProductValueProblem(const lumora::ProductField& field, const std::string& value)
{
    if (std::string misleading = MisleadingCharacterProblem(value, TextKind::Text); !misleading.empty())
        return Quoted(value) + " " + misleading;
    if (field.value == &lumora::ProductInfo::Url && !value.empty() && !HasWebScheme(value))
        return Quoted(value) + " is no web address: give it with its scheme, http:// or https:// (such as "
               "https://www.example.com/), which Windows opens the uninstall entry's links with";
    if (field.value == &lumora::ProductInfo::Version && !value.empty() && !ParseVersion(value))
        return Quoted(value) +
               " is no version of three or four numbers from 0 to 65535 with dots between them, such as 1.2.3 "
               "or 1.2.3.4";
    return {};
}

std::optional<lumora::ProductInfo> CheckProductFile(const PayloadFiles& payload, const CodePage& codePage,
                                                    Findings& findings)
{
    const PayloadFile* file = payload.Find(lumora::kProductFile);
    if (!file)
        return std::nullopt;
    lumora::ProductInfo bytes;
    try {
        lumora::ReadProductInfo(file->read(), bytes);
    } catch (const lumora::Error& e) {
        findings.Problem(file->shown, std::string("cannot be read: ") + e.what());
        return std::nullopt;
    }
    lumora::ProductInfo product;
    for (std::size_t i = 0; i < lumora::kProductFields.size(); ++i) {
        const lumora::ProductField& field = lumora::kProductFields[i];
        const std::string place = "line " + std::to_string(i + 1) + " (" + field.name + ")";
        const std::optional<std::string> text = codePage.Decode(bytes.*field.value);
        if (!text) {
            findings.Warning(file->shown, NotTextWarning(place + " " + Quoted(bytes.*field.value), codePage));
            product.*field.value = ShownText(bytes.*field.value);
            continue;
        }
        product.*field.value = *text;
        // What would show the entry otherwise than it is is never forced.
        const std::string problem = ProductValueProblem(field, *text);
        if (!MisleadingCharacterProblem(*text, TextKind::Text).empty())
            findings.Refusal(file->shown, place + ": " + problem);
        else if (!problem.empty())
            findings.Problem(file->shown, place + ": " + problem);
    }
    return product;
}

std::vector<std::string> ProductLines(const lumora::ProductInfo& product)
{
    std::vector<std::string> lines;
    for (const lumora::ProductField& field : lumora::kProductFields)
        if (!(product.*field.value).empty())
            lines.push_back(std::string(field.name) + "=" + ShownText(product.*field.value));
    return lines;
}

}  // namespace setuppack
