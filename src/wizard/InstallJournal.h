#pragma once
// What a run keeps beside the files it replaces, so that the next run can
// undo a group of files that a killed run (a power cut, a killed process)
// left half moved.
//
// Beside each target <T> of a group, named after the run's process id, the
// count of the groups it began before and the file's place in the group (8
// lowercase hexadecimal digits each):
//   <T>.<process>.<group>.<place>.new  the complete new file, until moved in
//   <T>.<process>.<group>.<place>.old  a copy of the old file, until the
//                                      group is complete
// and beside the group's first target <T0>:
//   <T0>.<process>.<group>.journal     written and flushed before the first
//                                      move, deleted once the group is
//                                      complete
//
// The journal is UTF-8 text, lines ended by CR LF. It is trusted only whole:
//   LMJOURNAL 2 <length> <check>   the length in bytes and the CRC-32 of
//                                  the lines below, 8 lowercase hex digits
//   group <process>.<group>        the run's group, as the journal's name
//                                  says it
// then a line for each target, in the group's order:
//   old <name of the old file's copy>  undoing puts the copy back
//   new <target's name>                the target had no file: undoing
//                                      removes it
//   same <target's name>               the group leaves it as it is (a later
//                                      target names the same file)
// and last a line for each uninstall entry, the one written first, then one
// that the group removes (an earlier installation's of the product):
//   entry <name of its copy>       undoing puts the copy (beneath
//                                  kKeptEntriesKey, UninstallValues.h) back
//   entry none                     it was not there: undoing removes it
//   entry same                     no copy could be made, nor the entry
//                                  written: undoing leaves it
// Names are plain names in the target folder. A journal is read back only
// when it is, byte for byte, the one that the group of the names the
// reader expects would write.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumora {

enum class Leftover { Staged, SetAside, Journal };

struct LeftoverName {
    std::uint32_t process = 0;
    std::uint32_t group = 0;
    std::uint32_t place = 0;  // not part of a journal's name
    Leftover kind = Leftover::Staged;
};

// The part of a name after the target's name: ".<process>.<group>.<place>.new"
// and so on, ASCII.
std::string LeftoverSuffix(const LeftoverName& name);
// The name that `suffix` spells exactly in that form; nullopt for any other
// text.
std::optional<LeftoverName> ParseLeftoverSuffix(std::string_view suffix);

// The name of the uninstall entry's copy that the group `group` keeps,
// beneath the key of the entry's copies: "<entry>\<process>.<group>", so
// that each run has its own.
std::string KeptEntryName(const std::string& entry, const LeftoverName& group);

// What undoing does with a target, or with the uninstall entry.
enum class TargetBefore : std::uint8_t {
    Kept,    // it was there, and its copy goes back
    Absent,  // it was not there, and goes
    Left,    // it stays as it is
};

// The most targets and uninstall entries a group has.
inline constexpr std::size_t kMostTargets = 8;
inline constexpr std::size_t kMostEntries = 2;

struct Journal {
    LeftoverName group;  // its process and group
    TargetBefore targets[kMostTargets] = {};
    TargetBefore entries[kMostEntries] = {TargetBefore::Left, TargetBefore::Left};
};

// The names of a group: its targets' plain names (at most kMostTargets) and
// the uninstall entries' (at least one, at most kMostEntries).
struct GroupNames {
    std::vector<std::string> targets;
    std::vector<std::string> entries;
};

// The most bytes a journal of this program holds.
inline constexpr std::size_t kJournalLimit = 8192;

std::string JournalText(const Journal& journal, const GroupNames& names);

// What the check of a journal found; each has its text (JournalFaultText).
enum class JournalFault {
    None,
    NotAJournal,   // a start of another kind (written by hand, or by another version)
    CutShort,      // shorter than it says
    Damaged,       // longer than it says, or its check value differs
    OtherGroup,    // whole, but of other files or another group than its name says
    Folder,        // a folder of a journal's name
    Link,          // a link of a journal's name
    MissingCopy,   // a copy it relies on is not there as a file
};
const char* JournalFaultText(JournalFault fault);

// Reads `text`, the journal of the group `journal.group` (its name's) of the
// files `names`, into `journal`; any fault leaves `journal` unusable.
JournalFault ReadJournal(std::string_view text, const GroupNames& names, Journal& journal);

}  // namespace lumora
