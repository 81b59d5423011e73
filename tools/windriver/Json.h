#pragma once
// A small streaming JSON writer: the driver's only output format. Commas are
// placed by the writer; text is written as UTF-16 escapes outside printable
// ASCII, so any window text reaches the reader unchanged.
#include <cstdint>
#include <string>
#include <vector>

namespace windriver {

class JsonWriter {
public:
    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    void key(const char* name);  // the next value belongs to this key

    void value(const std::wstring& text);
    void value(const char* text);
    void value(bool flag);
    void value(int64_t number);
    void null();

    // The document written so far, with a final line feed.
    std::string finish() const;
    bool empty() const { return out_.empty(); }
    void clear() { out_.clear(); hasItem_.clear(); afterKey_ = false; }

private:
    void separate();
    void writeString(const std::wstring& text);

    std::string out_;
    std::vector<bool> hasItem_;  // per open container: an item was written
    bool afterKey_ = false;
};

}  // namespace windriver
