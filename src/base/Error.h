#pragma once
// The one exception type of the program: a failure with a message that is
// shown to the user where the failure is reported.
#include <stdexcept>
#include <string>

namespace lumora {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace lumora
