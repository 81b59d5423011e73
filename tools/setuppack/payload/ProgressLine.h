#pragma once
// The progress of a restore on a terminal: one line on stderr, redrawn in
// place with "\r", showing the overall percentage and the base name of the
// file being written. Nothing is drawn when stderr is not a terminal, so
// logs and pipes see no control characters.
#include <cstdio>
#include <string>

namespace setuppack {

class ProgressLine {
public:
    // Draws on `to` only when it is a terminal.
    explicit ProgressLine(std::FILE* to);
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;
    ~ProgressLine() { Done(); }

    // Redraws the line when the name or the percentage changed.
    void Show(const std::string& name, int percent);
    // Ends the line, once something was drawn, so that later messages start
    // on a line of their own. Safe to call more than once.
    void Done();

private:
    std::FILE* to_;
    bool enabled_;
    bool drawn_ = false;
    std::string name_;
    int percent_ = -1;
    std::size_t width_ = 0;  // of the line last drawn, to blank what it leaves
};

}  // namespace setuppack
