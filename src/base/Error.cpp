#include "base/Error.h"

#include <atomic>
#include <utility>

namespace lumora {

struct Error::Message {
    explicit Message(std::string message) : text(std::move(message)) {}

    std::atomic<unsigned> holders{1};  // the errors that share it
    const std::string text;
};

Error::Error(const std::string& message) : message_(new Message(message)) {}

Error::Error(const char* message) : message_(new Message(message)) {}

Error::Error(const Error& other) noexcept : std::exception(other), message_(other.message_) { ++message_->holders; }

Error& Error::operator=(const Error& other) noexcept
{
    ++other.message_->holders;  // first: `other` may be this error itself
    Release();
    message_ = other.message_;
    return *this;
}

Error::~Error() { Release(); }

void Error::Release() noexcept
{
    if (--message_->holders == 0)
        delete message_;
}

const char* Error::what() const noexcept { return message_->text.c_str(); }

}  // namespace lumora
