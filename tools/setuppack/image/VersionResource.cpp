#include "VersionResource.h"

#include "base/Error.h"

namespace setuppack {

namespace {

using lumora::Error;

constexpr std::uint32_t kFixedSignature = 0xFEEF04BD;
constexpr std::size_t kFixedSize = 52;
constexpr std::uint16_t kBinary = 0;
constexpr std::uint16_t kText = 1;
// VS_VERSION_INFO, StringFileInfo, a table, a text: deeper is damage.
constexpr int kMaxDepth = 4;

struct Node {
    std::u16string key;
    std::uint16_t type = kBinary;
    Bytes value;
    std::vector<Node> children;
};

Node ReadNode(const Bytes& bytes, std::size_t at, std::size_t end, int depth)
{
    if (depth > kMaxDepth)
        throw Error("nested deeper than its format");
    const std::uint16_t length = Get16(bytes, at, "a node");
    const std::uint16_t valueLength = Get16(bytes, at + 2, "a node");
    Node node;
    node.type = Get16(bytes, at + 4, "a node");
    if (length < 6 || length > end - at)
        throw Error("a node's length runs outside the node that holds it");
    const std::size_t nodeEnd = at + length;
    std::size_t p = at + 6;
    for (;; p += 2) {
        if (p + 2 > nodeEnd)
            throw Error("a node's key has no end");
        const std::uint16_t c = Get16(bytes, p, "a node's key");
        if (c == 0)
            break;
        node.key += static_cast<char16_t>(c);
    }
    p = AlignUp(p + 2, 4);
    // Some writers count a text value in bytes rather than letters: the
    // value ends where the node does at the latest.
    const std::size_t valueSize = std::min<std::size_t>(node.type == kText ? 2u * valueLength : valueLength,
                                                        p < nodeEnd ? nodeEnd - p : 0);
    node.value = Slice(bytes, p, valueSize, "a node's value");
    for (p = AlignUp(p + valueSize, 4); p < nodeEnd; p = AlignUp(p, 4)) {
        node.children.push_back(ReadNode(bytes, p, nodeEnd, depth + 1));
        p += Get16(bytes, p, "a node");
    }
    return node;
}

void WriteNode(Bytes& out, const Node& node)
{
    PadTo(out, 4);
    const std::size_t at = out.size();
    Append16(out, 0);  // the length, once known
    Append16(out, static_cast<std::uint16_t>(node.type == kText ? node.value.size() / 2 : node.value.size()));
    Append16(out, node.type);
    for (const char16_t c : node.key)
        Append16(out, c);
    Append16(out, 0);
    PadTo(out, 4);
    out.insert(out.end(), node.value.begin(), node.value.end());
    for (const Node& child : node.children)
        WriteNode(out, child);
    if (out.size() - at > 0xFFFF)
        throw Error("the version information would be longer than its format allows (64 KiB)");
    Put16(out, at, static_cast<std::uint16_t>(out.size() - at), "a node");
}

// A zero-ended text value.
Bytes TextValue(const std::u16string& text)
{
    Bytes value;
    for (const char16_t c : text)
        Append16(value, c);
    Append16(value, 0);
    return value;
}

std::u16string TextOf(const Bytes& value)
{
    std::u16string text;
    for (std::size_t i = 0; i + 1 < value.size(); i += 2) {
        const char16_t c = static_cast<char16_t>(value[i] | value[i + 1] << 8);
        if (c == 0)
            break;
        text += c;
    }
    return text;
}

// The hexadecimal digits of `text` (at most four) as a number.
std::uint16_t Hex(const std::u16string& text)
{
    std::uint16_t value = 0;
    for (const char16_t c : text) {
        const int digit = c >= u'0' && c <= u'9' ? c - u'0' : c >= u'A' && c <= u'F' ? c - u'A' + 10
                          : c >= u'a' && c <= u'f'   ? c - u'a' + 10
                                                     : -1;
        if (digit < 0)
            throw Error("a table of texts not named by language and code page in hexadecimal");
        value = static_cast<std::uint16_t>(value << 4 | digit);
    }
    return value;
}

}  // namespace

void VersionInfo::Set(const std::u16string& key, const std::u16string& value)
{
    for (auto& [name, text] : texts)
        if (name == key) {
            text = value;
            return;
        }
    texts.emplace_back(key, value);
}

const std::u16string* VersionInfo::Find(const std::u16string& key) const
{
    for (const auto& [name, text] : texts)
        if (name == key)
            return &text;
    return nullptr;
}

void VersionInfo::SetNumbers(const VersionNumbers& numbers)
{
    const std::uint32_t high = std::uint32_t(numbers[0]) << 16 | numbers[1];
    const std::uint32_t low = std::uint32_t(numbers[2]) << 16 | numbers[3];
    for (const std::uint64_t at : {8, 16}) {  // file version, product version
        Put32(fixed, at, high, "the fixed information");
        Put32(fixed, at + 4, low, "the fixed information");
    }
}

VersionInfo NewVersionInfo()
{
    VersionInfo info;
    Append32(info.fixed, kFixedSignature);
    Append32(info.fixed, 0x00010000);  // the structure's version
    for (int i = 0; i < 4; ++i)
        Append32(info.fixed, 0);       // file and product version
    Append32(info.fixed, 0x3F);        // the flags that count: all
    Append32(info.fixed, 0);           // flags
    Append32(info.fixed, 0x00040004);  // VOS_NT_WINDOWS32
    Append32(info.fixed, 1);           // VFT_APP
    for (int i = 0; i < 3; ++i)
        Append32(info.fixed, 0);       // subtype, date
    return info;
}

VersionInfo ReadVersionInfo(const Bytes& resource)
{
    try {
        const Node root = ReadNode(resource, 0, resource.size(), 1);
        if (root.key != u"VS_VERSION_INFO" || root.value.size() != kFixedSize ||
            Get32(root.value, 0, "the fixed information") != kFixedSignature)
            throw Error("it does not start with the fixed information of VS_VERSION_INFO");
        VersionInfo info;
        info.fixed = root.value;
        for (const Node& block : root.children) {
            if (block.key != u"StringFileInfo" || block.children.empty())
                continue;
            const Node& table = block.children.front();
            info.table = table.key;
            for (const Node& text : table.children)
                info.texts.emplace_back(text.key, TextOf(text.value));
            break;
        }
        return info;
    } catch (const Error& e) {
        throw Error(std::string("its version information is damaged: ") + e.what());
    }
}

Bytes WriteVersionInfo(const VersionInfo& info)
{
    if (info.table.size() != 8)
        throw Error("a table of texts not named by eight hexadecimal digits");
    Node table{info.table, kText, {}, {}};
    for (const auto& [key, text] : info.texts)
        table.children.push_back({key, kText, TextValue(text), {}});
    Bytes translation;
    Append16(translation, Hex(info.table.substr(0, 4)));  // language
    Append16(translation, Hex(info.table.substr(4)));     // code page
    const Node root{u"VS_VERSION_INFO",
                    kBinary,
                    info.fixed,
                    {{u"StringFileInfo", kText, {}, {table}},
                     {u"VarFileInfo", kText, {}, {{u"Translation", kBinary, translation, {}}}}}};
    Bytes out;
    WriteNode(out, root);
    return out;
}

std::u16string Utf16(std::string_view utf8)
{
    std::u16string text;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3
                                                   : (lead & 0xF8) == 0xF0  ? 4
                                                                            : 0;
        if (length == 0 || i + length > utf8.size())
            throw Error("text that is no UTF-8");
        std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80)
                throw Error("text that is no UTF-8");
            code = code << 6 | (next & 0x3F);
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            text += static_cast<char16_t>(0xD800 + (code >> 10));
            text += static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            text += static_cast<char16_t>(code);
        }
        i += length;
    }
    return text;
}

}  // namespace setuppack
