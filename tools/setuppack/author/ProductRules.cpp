#include "ProductRules.h"

#include <algorithm>
#include <cstdio>

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

bool IsAsciiAlphanumeric(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool IsProductIdCharacter(char c) { return IsAsciiAlphanumeric(c) || std::string_view("._-{}").find(c) != std::string_view::npos; }

// One name's part of a derived identity.
std::string IdPart(const std::string& name)
{
    std::string part;
    bool beyondAscii = false;
    for (const char c : name) {
        beyondAscii |= static_cast<unsigned char>(c) >= 0x80;
        if (IsAsciiAlphanumeric(c))
            part += lumora::LowerCaseAscii(std::string(1, c));
        else if (!part.empty() && part.back() != '-')
            part += '-';
    }
    if (!part.empty() && part.back() == '-')
        part.pop_back();
    if (beyondAscii) {
        char crc[16];
        // FNV-1a, 32 bits: fixed for good, as identities made with it are.
        std::uint32_t hash = 2166136261u;
        for (const char c : name)
            hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
        std::snprintf(crc, sizeof crc, "%08x", static_cast<unsigned>(hash));
        part += part.empty() ? crc : "-" + std::string(crc);
    }
    return part;
}

}  // namespace

std::string DerivedProductId(const std::string& publisher, const std::string& product)
{
    const std::string ofPublisher = IdPart(publisher);
    std::string id = ofPublisher.empty() ? IdPart(product) : ofPublisher + "." + IdPart(product);
    // Cut at the limit, the checked identity stays the same for the same names.
    return id.substr(0, kMaxProductIdLength);
}

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
    if (field.value == &lumora::ProductInfo::ProductId &&
        (value.size() > kMaxProductIdLength ||
         std::find_if_not(value.begin(), value.end(), IsProductIdCharacter) != value.end()))
        return Quoted(value) + " is no product identity: give at most " + std::to_string(kMaxProductIdLength) +
               " ASCII letters, digits and . _ - { } (such as com.example.aurora or a GUID)";
    if (field.value == &lumora::ProductInfo::Icon && !value.empty() &&
        lumora::LowerCaseAscii(value) != lumora::LowerCaseAscii(lumora::kUninstallerFile))
        return Quoted(value) + " is no file the installer takes the entry's icon from: only " +
               lumora::kUninstallerFile + " carries it";
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
