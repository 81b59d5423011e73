#pragma once
// The problems that list and verify report about a file, on standard error.
#include <cstdint>
#include <string>
#include <vector>

namespace setuppack {

// One line per problem, "setuppack: PATH: PROBLEM", then a line that counts
// the problems left out when there were more than were kept.
void PrintProblems(const std::string& path, const std::vector<std::string>& problems, std::uint64_t more);

}  // namespace setuppack
