#include "base/TextFileReader.h"

#include "base/IntegerText.h"

namespace lumora {

namespace {

constexpr char kCtrlZ = 26;
constexpr std::size_t kMaxNumberLength = 32;

}  // namespace

TextFileReader::TextFileReader(std::string content) : text_(std::move(content))
{
    // Nothing after a Ctrl-Z is part of the file.
    const auto eof = text_.find(kCtrlZ);
    if (eof != std::string::npos)
        text_.resize(eof);
}

bool TextFileReader::AtEnd() const { return pos_ >= text_.size(); }

void TextFileReader::SkipLineEnd()
{
    const auto cr = text_.find('\r', pos_);
    if (cr == std::string::npos) {
        pos_ = text_.size();
        return;
    }
    pos_ = cr + 1;
    ++line_;
    if (pos_ < text_.size() && text_[pos_] == '\n')
        ++pos_;
}

std::string TextFileReader::ReadLine()
{
    const auto start = pos_;
    const auto cr = text_.find('\r', pos_);
    const auto end = cr == std::string::npos ? text_.size() : cr;
    std::string line = text_.substr(start, end - start);
    pos_ = end;
    SkipLineEnd();
    return line;
}

std::optional<std::int32_t> TextFileReader::ReadIntegerLine(NumberToken* taken)
{
    if (taken)
        *taken = NumberToken{};
    while (pos_ < text_.size() &&
           (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\r' || text_[pos_] == '\n')) {
        if (text_[pos_] == '\r')
            ++line_;
        ++pos_;
    }
    if (AtEnd())
        return 0;
    const int line = line_;
    std::string token;
    while (pos_ < text_.size() && static_cast<unsigned char>(text_[pos_]) > 32 &&
           token.size() < kMaxNumberLength)
        token += text_[pos_++];
    // Whatever follows the number on its line (also the rest of a number cut
    // at 32 characters) is skipped with the line.
    SkipLineEnd();
    const std::optional<std::int32_t> value = ParseInteger32(token);
    if (taken)
        *taken = NumberToken{std::move(token), line};
    return value;
}

}  // namespace lumora
