#include "base/Error.h"

#include <atomic>
#include <utility>

namespace lumora {

struct Error::Message {
    Message(std::string message, std::string why) : text(std::move(message)), reason(std::move(why)) {}

    std::atomic<unsigned> holders{1};  // the errors that share it
    const std::string text;
    const std::string reason;
};

Error::Error(const std::string& message) : message_(new Message(message, {})) {}

Error::Error(const char* message) : message_(new Message(message, {})) {}

Error::Error(const std::string& message, const std::string& reason) : message_(new Message(message, reason)) {}

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

const std::string& Error::Reason() const noexcept { return message_->reason; }

}  // namespace lumora
