#include "Output.h"

#include <cstdio>

namespace windriver {

void printNow(JsonWriter& out)
{
    const std::string text = out.finish();
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
    out.clear();
}

}  // namespace windriver
