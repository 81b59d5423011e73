// Paths the system knows, read without fixed-size buffers, as UTF-8 text.
#pragma once

#include <string>

namespace sample {

// The full path of this program's file.
std::string moduleFileName();

// The Windows folder, without a trailing backslash (unless it is a root).
std::string windowsFolder();

// The temporary folder, with a trailing backslash.
std::string tempFolder();

// The folder part of a path (without its last backslash), and the part after it.
std::string folderOf(const std::string& path);
std::string fileNameOf(const std::string& path);

// `folder` + "\" + `name`, with no doubled backslash.
std::string joinPath(const std::string& folder, const std::string& name);

}  // namespace sample
