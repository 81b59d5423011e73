#pragma once
#include "Args.h"
#include "Json.h"

namespace windriver {

// hold FILE ACCESS SHARE [SECONDS]: opens FILE with the access (letters r, w,
// d for read, write, delete) and the share mode (the same letters, or "-"
// for none), prints {"held": FILE} and keeps the file open until SECONDS
// have passed or the process is ended. Lets a test make another process's
// open of the file fail with a sharing violation.
void holdFile(const Args& args, JsonWriter& out);

}  // namespace windriver
