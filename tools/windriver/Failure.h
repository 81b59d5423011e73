#pragma once
// How a command fails: a usage error (exit code 2) or a failure of the
// system or of the thing asked for (exit code 1). Both carry the message
// printed on standard error.
#include <stdexcept>
#include <string>

namespace windriver {

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A Failure naming `what` and the calling thread's last system error.
Failure systemFailure(const std::string& what);

}  // namespace windriver
