#include "framework/Memo.h"

#include "base/PathEncoding.h"
#include "base/TextLines.h"
#include "framework/TextFile.h"

namespace lumora {

TWinControl::CreateParams TMemo::Params() const
{
    DWORD style = ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_TABSTOP;
    if (ScrollBars == ssVertical)
        style |= WS_VSCROLL;
    return {L"EDIT", style, WS_EX_CLIENTEDGE};
}

void TMemo::DpiChanged()
{
    const HWND window = Handle();
    const auto firstVisible = [window] { return SendMessageW(window, EM_GETFIRSTVISIBLELINE, 0, 0); };
    const LRESULT first = SendMessageW(window, EM_LINEINDEX, firstVisible(), 0);
    TWinControl::DpiChanged();
    // The text wraps anew in the new font and width.
    const LRESULT line = SendMessageW(window, EM_LINEFROMCHAR, first, 0);
    SendMessageW(window, EM_LINESCROLL, 0, line - firstVisible());
}

void TMemo::SetLines(std::vector<std::string> lines)
{
    lines_ = std::move(lines);
    ShowLines();
}

void TMemo::AddLine(const std::string& line)
{
    lines_.push_back(line);
    ShowLines();
}

void TMemo::LoadLinesFromFile(const std::string& fileName)
{
    std::string text = AuthorText(ReadTextFile(fileName));
    // The byte-order mark U+FEFF as text: no 8-bit text converts to it, so
    // only a UTF-8 read-me can lose one.
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text.erase(0, 3);
    SetLines(SplitTextLines(text));
}

void TMemo::ShowLines()
{
    std::string text;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (i > 0)
            text += "\r\n";
        text += lines_[i];
    }
    SetText(text);
}

}  // namespace lumora
