#pragma once
// The one exception type of the program: a failure with a message that is
// shown to the user where the failure is reported.
//
// It derives from std::exception itself rather than from std::runtime_error,
// whose libstdc++ definition brings a copy-on-write string and
// transactional-memory variants of its members into the setup program (with
// the library's other error classes, about 20 KB). As in the standard's
// classes, the message is shared by the copies of an error, so copying one
// (as a throw or a catch by value may) cannot fail.
#include <exception>
#include <string>

namespace lumora {

class Error : public std::exception {
public:
    explicit Error(const std::string& message);
    explicit Error(const char* message);
    // With the reason behind the failure (the system's), which a log shows
    // beside the message and no message box does.
    Error(const std::string& message, const std::string& reason);
    Error(const Error& other) noexcept;
    Error& operator=(const Error& other) noexcept;
    // Out of line: the program throws errors from many files, and the linker
    // would keep an inline destructor once for each of them.
    ~Error() override;

    const char* what() const noexcept override;
    // Empty unless the error was made with one.
    const std::string& Reason() const noexcept;

private:
    struct Message;
    void Release() noexcept;

    Message* message_;  // never null
};

}  // namespace lumora
