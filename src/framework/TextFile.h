#pragma once
// Reading a whole text file as bytes, for the parsers that take it apart.
#include <string>

namespace lumora {

// The file's bytes. Throws Error naming the file when it cannot be opened or
// read in full.
std::string ReadTextFile(const std::string& fileName);

}  // namespace lumora
