#include "ProgressLine.h"

#include <algorithm>

#ifdef _WIN32
#include <io.h>
#define SETUPPACK_ISATTY(f) _isatty(_fileno(f))
#else
#include <unistd.h>
#define SETUPPACK_ISATTY(f) isatty(fileno(f))
#endif

namespace setuppack {

namespace {

// Narrow enough for an 80-column terminal without wrapping, which would
// break the redraw with "\r".
constexpr std::size_t kColumns = 79;
constexpr std::size_t kBarWidth = 24;

// One progress line ("  45% [##########              ] cd.jpg"), at most
// `columns` characters; a long name is shortened at its front.
std::string ProgressText(const std::string& name, int percent, std::size_t columns)
{
    percent = std::clamp(percent, 0, 100);
    const std::size_t filled = kBarWidth * static_cast<std::size_t>(percent) / 100;
    std::string text = std::to_string(percent) + "%";
    text.insert(0, 4 - std::min<std::size_t>(text.size(), 4), ' ');
    text += " [" + std::string(filled, '#') + std::string(kBarWidth - filled, ' ') + "] ";
    if (text.size() >= columns)
        return text.substr(0, columns);
    const std::size_t room = columns - text.size();
    if (name.size() <= room)
        return text + name;
    if (room <= 3)
        return text + name.substr(name.size() - room);
    return text + "..." + name.substr(name.size() - (room - 3));
}

}  // namespace

ProgressLine::ProgressLine(std::FILE* to) : to_(to), enabled_(SETUPPACK_ISATTY(to) != 0) {}

void ProgressLine::Show(const std::string& name, int percent)
{
    if (!enabled_ || (drawn_ && name == name_ && percent == percent_))
        return;
    name_ = name;
    percent_ = percent;
    const std::string text = ProgressText(name, percent, kColumns);
    const std::size_t blank = width_ > text.size() ? width_ - text.size() : 0;
    std::fprintf(to_, "\r%s%s", text.c_str(), std::string(blank, ' ').c_str());
    std::fflush(to_);
    width_ = text.size();
    drawn_ = true;
}

void ProgressLine::Done()
{
    if (!drawn_)
        return;
    std::fputc('\n', to_);
    std::fflush(to_);
    drawn_ = false;
    width_ = 0;
}

}  // namespace setuppack
