#pragma once
#include "Json.h"

namespace windriver {

// Writes the document to standard output at once and empties the writer;
// for commands that report before they wait.
void printNow(JsonWriter& out);

}  // namespace windriver
