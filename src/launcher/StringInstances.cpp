// The member functions of std::string and std::wstring. The library's
// headers declare them instantiated in libstdc++ itself (extern template),
// so the program's code calls the library's copies, which its archive keeps
// in two members compiled for speed: 18 KB of the setup program with their
// unwind entries. Instantiated here,
// from the same headers, these are the definitions the linker takes (the
// library's members are then never pulled in); the link compiles them with
// the program (cmake/LeanLink.cmake): for size, keeping only what the program
// calls, inlined where that is smaller.
#include <string>

template class std::basic_string<char>;
template class std::basic_string<wchar_t>;
