// How libgcc's unwinder finds the unwind entry (FDE) of a frame when an
// exception passes through it. crtbegin.o registers the program's unwind
// table at start-up through __register_frame_info; the unwinder asks
// _Unwind_Find_FDE for the entry of each frame's return address. libgcc's
// own definitions of the three, in one archive member, keep a list of
// tables with a lock, classify every entry's pointer encoding and sort the
// entries into an array they allocate at the first throw: 10 KB of the setup
// program, which registers one table. Defined here, these are the ones the
// linker takes, and the library's member is never pulled in (should
// anything still need it, the link fails on the duplicate definitions).
//
// The lookup walks the table from its start, as the library does when it
// has no memory to sort: at most a thousand entries for each frame an
// exception leaves, on the one thread that throws (see ExceptionGlobals.cpp).
// It reads every entry's function as a pointer relative to itself in four
// bytes followed by the function's length in four bytes: the link refuses
// a table with any other form (scripts/unwind_table.py), and GCC for i386
// writes no other.
#include <cstdint>
#include <cstring>

namespace {

// The registered table: its first entry, up to the zero length that ends it.
const unsigned char* g_unwindTable;

std::uint32_t Word(const unsigned char* at)
{
    std::uint32_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

}  // namespace

// The bases libgcc's unwinder asks for with an entry: those of pointers
// relative to the text and data segments (none here), and the function's
// start.
struct dwarf_eh_bases {
    void* tbase;
    void* dbase;
    void* func;
};

extern "C" {

// crtbegin.o's registration; `object` is its room for libgcc's bookkeeping,
// which this lookup needs none of.
void __register_frame_info(const void* begin, void* object)
{
    (void)object;
    g_unwindTable = static_cast<const unsigned char*>(begin);
}

// After this no entry is found, as with libgcc once the table is gone.
void* __deregister_frame_info(const void* begin)
{
    if (begin == g_unwindTable)
        g_unwindTable = nullptr;
    return nullptr;
}

// The entry whose function holds `pc`, or null.
const void* _Unwind_Find_FDE(void* pc, dwarf_eh_bases* bases)
{
    if (g_unwindTable == nullptr)
        return nullptr;
    for (const unsigned char* entry = g_unwindTable;; entry += 4 + Word(entry)) {
        if (Word(entry) == 0)
            return nullptr;
        // A second word of zero marks a common entry (CIE), which describes
        // no function.
        if (Word(entry + 4) == 0)
            continue;
        const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(entry + 8) + Word(entry + 8);
        // A function the link dropped has its start at zero.
        if (start != 0 && reinterpret_cast<std::uintptr_t>(pc) - start < Word(entry + 12)) {
            bases->tbase = nullptr;
            bases->dbase = nullptr;
            bases->func = reinterpret_cast<void*>(start);
            return entry;
        }
    }
}

}  // extern "C"
