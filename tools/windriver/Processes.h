#pragma once
#include "Args.h"
#include "Json.h"

namespace windriver {

// processes: every process of the prefix with its id, parent id and file
// name, e.g. to see whether a crash handler (winedbg.exe) has started.
void listProcesses(const Args& args, JsonWriter& out);

}  // namespace windriver
