#pragma once
// A memo: lines of text in a framed, read-only multi-line box (a system EDIT
// window), word-wrapped, with a vertical scroll bar when the layout asks for
// one. Being read-only, it shows its parent's background colour (button
// face on the framework's containers). The lines kept here are the ones
// shown: the user cannot change them.
#include <string>
#include <vector>

#include "framework/WinControl.h"

namespace lumora {

enum TScrollStyle { ssNone, ssVertical };

class TMemo : public TWinControl {
public:
    using TWinControl::TWinControl;

    // Layout, read when the window is made.
    TScrollStyle ScrollBars = ssNone;

    const std::vector<std::string>& Lines() const { return lines_; }
    void SetLines(std::vector<std::string> lines);
    void ClearLines() { SetLines({}); }
    void AddLine(const std::string& line);
    // Replaces the lines with those of a text file of the author's bytes
    // (AuthorText of base/PathEncoding.h; see SplitTextLines), without a
    // byte-order mark that an editor put before the text. Throws Error when
    // the file cannot be read; the lines stay as they were.
    void LoadLinesFromFile(const std::string& fileName);

protected:
    CreateParams Params() const override;
    // Keeps the line at the top that was there: its first character.
    void DpiChanged() override;

private:
    void ShowLines();

    std::vector<std::string> lines_;
};

}  // namespace lumora
