#pragma once
// File helpers of the installation steps: a file copy in chunks and a
// program start through the shell. Paths, the command line and the messages
// are text (base/PathEncoding.h).
#include <windows.h>

#include <cstdint>
#include <string>

namespace lumora {

// The absolute form of `path` (path text), resolved against the current
// folder; the path itself when the system cannot expand it.
std::string ExpandedPath(const std::string& path);

// Copies `source` to `destination` (expanded to a full path), replacing any
// file there. The copy gets the time of copying and normal attributes.
// Throws Error:
//  "Cannot open file <source as passed>" when the source cannot be opened;
//  "Cannot create file <full destination>" when the destination cannot be
//    created (also when it is the source itself, which is open without
//    write sharing, or an existing folder);
//  "Cannot read file <source as passed>" when a read fails part way;
//  "Cannot write file <full destination>" when a write fails or stops short
//    (a full disk), or the copy cannot be flushed to the disk: the copy
//    there is incomplete.
void CopyFileByChunks(const std::string& source, const std::string& destination);
// The same, naming `shownAs` wherever the messages would name the
// destination: for a copy made under a temporary name beside its target.
void CopyFileByChunks(const std::string& source, const std::string& destination, const std::string& shownAs);
// The same into the new file `output`, open for writing.
void CopyFileByChunks(const std::string& source, HANDLE output, const std::string& shownAs);

// Copies what `input` holds from where it stands into `output`, then
// flushes `output`; which side failed, with the system's error (a write
// that stops short is a full disk).
enum class CopyFailure { None, Read, Write };
CopyFailure CopyChunks(HANDLE input, HANDLE output);

// Starts `program` with its default action through the shell, with the
// application's main window as owner of any message the shell shows, and
// returns at once with the shell's result unchanged (above 32: started).
// The texts are handed over whole, whatever their length.
std::intptr_t ShellRun(const std::string& program, const std::string& parameters, const std::string& folder,
                       int showCommand);

}  // namespace lumora
