#pragma once
// The program's manifest (its RT_MANIFEST resource, XML text): the
// execution level it asks Windows to start it with, the level attribute of
// its requestedExecutionLevel element ("requireAdministrator": elevated,
// after the prompt; "asInvoker": with the rights of whoever starts it).
#include <string>

#include "ImageBytes.h"

namespace setuppack {

// The level the manifest asks for; empty when it names none.
std::string ExecutionLevel(const Bytes& manifest);

// The manifest asking for `level` instead, every other byte as it was, so
// that its other settings (the DPI awareness, the systems it supports)
// stay. Throws lumora::Error when it names no level, or more than one.
Bytes WithExecutionLevel(const Bytes& manifest, const std::string& level);

}  // namespace setuppack
