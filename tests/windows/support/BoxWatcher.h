#pragma once
// Reads and answers the next message box of this process from a second
// thread, while the test's own thread is inside the box's modal loop.
#include <windows.h>

#include <string>
#include <thread>
#include <vector>

namespace lumora::test {

struct BoxView {
    bool found = false;
    std::string caption;
    std::string text;
    std::vector<std::string> buttons;  // in the order of the box's children
    HICON icon = nullptr;
    RECT bounds{};
    DWORD helpContext = 0;
};

class BoxWatcher {
public:
    // `answer` kEscapeKey: the box is answered by typing Escape.
    static constexpr int kEscapeKey = -1;

    // Starts watching; once a box shows up (60 s at most) and has settled on
    // its final place, takes down what it shows and presses the button with
    // the command identifier `answer` (IDOK, IDYES, IDNO, ...).
    explicit BoxWatcher(int answer);
    ~BoxWatcher();
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;

    // Waits for the watcher to finish and returns what it saw.
    const BoxView& Result();

private:
    void Watch();

    int answer_;
    BoxView view_;
    std::thread thread_;
};

// The centre of the screen and of a rectangle, for placement checks.
POINT ScreenCentre();
POINT CentreOf(const RECT& r);

}  // namespace lumora::test
