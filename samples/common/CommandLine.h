// The command line split into arguments, and the small parsing the sample
// programs need. Quotes group blanks into one argument; the programs are
// handed paths and numbers only, so no quote ever appears inside an argument.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sample {

// The arguments of `commandLine`, the program name first.
std::vector<std::string> splitCommandLine(const char* commandLine);

// The arguments of this process (GetCommandLineW, as UTF-8), the program
// name first.
std::vector<std::string> processArguments();

// Case-insensitive comparison of ASCII text.
bool equalsIgnoringCase(const std::string& a, const std::string& b);

// A non-negative decimal number, or hexadecimal after "0x"; false when the
// text is empty, holds anything else or does not fit in 32 bits.
bool parseUnsigned(const std::string& text, std::uint32_t& value);

// An argument for a command line: quoted when it holds a blank.
std::string quoteArgument(const std::string& argument);

}  // namespace sample
