#pragma once
// Reads values from an 8-bit text file held in memory, line by line:
//  - a carriage return ends a line, and a line feed right after it belongs to
//    that line end; a line feed alone is part of the text;
//  - a Ctrl-Z character (26) ends the file;
//  - at the end of the file, texts read as empty and numbers as 0.
#include <cstdint>
#include <optional>
#include <string>

namespace lumora {

class TextFileReader {
public:
    explicit TextFileReader(std::string content);

    bool AtEnd() const;
    // The line the next read starts on, counting from 1: each carriage
    // return passed ends one line.
    int Line() const { return line_; }
    // The rest of the current line, without its line end; moves to the next
    // line.
    std::string ReadLine();
    // What ReadIntegerLine took as a number, and the line it stands on (0
    // when the file had ended).
    struct NumberToken {
        std::string text;
        int line = 0;
    };
    // Skips blanks, tabs and line ends, takes the characters up to the first
    // one with a code of 32 or less (at most 32 of them) as a number, then
    // moves to the next line. Returns 0 at the end of the file and nothing
    // when the characters are not a valid 32-bit number.
    std::optional<std::int32_t> ReadIntegerLine(NumberToken* taken = nullptr);

private:
    void SkipLineEnd();

    std::string text_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

}  // namespace lumora
