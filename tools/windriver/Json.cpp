#include "Json.h"

#include <cstdio>

namespace windriver {

void JsonWriter::separate()
{
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!hasItem_.empty()) {
        if (hasItem_.back())
            out_ += ',';
        hasItem_.back() = true;
    }
}

void JsonWriter::beginObject()
{
    separate();
    out_ += '{';
    hasItem_.push_back(false);
}

void JsonWriter::endObject()
{
    out_ += '}';
    hasItem_.pop_back();
}

void JsonWriter::beginArray()
{
    separate();
    out_ += '[';
    hasItem_.push_back(false);
}

void JsonWriter::endArray()
{
    out_ += ']';
    hasItem_.pop_back();
}

void JsonWriter::key(const char* name)
{
    separate();
    writeString(std::wstring(name, name + std::char_traits<char>::length(name)));
    out_ += ':';
    afterKey_ = true;
}

void JsonWriter::value(const std::wstring& text)
{
    separate();
    writeString(text);
}

void JsonWriter::value(const char* text)
{
    value(std::wstring(text, text + std::char_traits<char>::length(text)));
}

void JsonWriter::value(bool flag)
{
    separate();
    out_ += flag ? "true" : "false";
}

void JsonWriter::value(int64_t number)
{
    separate();
    out_ += std::to_string(number);
}

void JsonWriter::null()
{
    separate();
    out_ += "null";
}

void JsonWriter::writeString(const std::wstring& text)
{
    out_ += '"';
    for (wchar_t c : text) {
        if (c == L'"' || c == L'\\') {
            out_ += '\\';
            out_ += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out_ += static_cast<char>(c);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c) & 0xFFFFu);
            out_ += escape;
        }
    }
    out_ += '"';
}

std::string JsonWriter::finish() const
{
    return out_ + "\n";
}

}  // namespace windriver
