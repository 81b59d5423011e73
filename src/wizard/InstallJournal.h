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
//   <T0>.<process>.<group>.journal     held open by its run; written and
//                                      flushed before the first move, deleted
//                                      once the group is complete
//
// The journal is one line of text, "LMJOURNAL 1 <keeps> <entry>" ended by
// CR LF: <keeps> has a digit per target, in the group's order, 1 when
// undoing keeps the target's old file (its copy, if any, goes back), 0 when
// the target had none (undoing removes it); <entry> is 1 when the uninstall
// entry was there before (its copy goes back), 0 when it was not (undoing
// removes it). A journal without its line end was cut short before any file
// was moved. The group's targets follow from its first one, so no name is
// written: nothing in a journal names a file.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

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

struct Journal {
    std::size_t targets = 0;
    std::uint8_t keepsOld = 0;  // bit i: target i keeps its old file
    bool entryExisted = false;
};

// The most bytes a journal of this program holds.
inline constexpr std::size_t kJournalLimit = 32;

std::string JournalText(const Journal& journal);
// The journal `text` holds; nullopt when it is cut short or in any way not
// as JournalText writes one for 1 to 8 targets.
std::optional<Journal> ParseJournal(std::string_view text);

}  // namespace lumora
