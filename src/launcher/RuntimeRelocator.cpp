// The start-up code of mingw-w64 calls this function to apply the program's
// runtime pseudo-relocations: fix-ups that GNU ld leaves for start-up when it
// imports data from a DLL automatically. The setup program has none: it is
// linked with --disable-auto-import (src/launcher/CMakeLists.txt), under which
// a reference that would need one fails the link instead. The library's
// version would find its list empty and do nothing, yet it brings the code
// that walks the image's sections and reports a bad fix-up through vfprintf:
// 3 KB of the setup program. Defined here, this definition is the one the
// linker takes, and the library's archive member is never pulled in.
extern "C" void _pei386_runtime_relocator() {}
