// Loads a library by its bare name, with the search limited first ("limit")
// or not: exit code 1 when the copy planted beside this program was loaded,
// 0 when none was.
#include <windows.h>

#include <cstring>

#include "framework/DllSearch.h"

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "limit") == 0)
        lumora::LimitDllSearchToSystemFolder();
    return LoadLibraryA("lumora_planted.dll") ? 1 : 0;
}
