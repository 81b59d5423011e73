#pragma once
// The inputs of the archive fuzz targets: a fixed number of control bytes
// that steer the target (options, events, what stands in the target
// folder), then the bytes of the first file and of each further volume,
// separated by kVolumeSeparator:
//
//   [control bytes] [first file] ["|VOL|" second volume] ["|VOL|" third] ...
//
// An input shorter than the control bytes reads as if padded with zeros;
// separators after the kMaxVolumes-th volume are part of its bytes.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumora::fuzz {

using Bytes = std::vector<unsigned char>;

constexpr std::string_view kVolumeSeparator = "|VOL|";
constexpr std::size_t kMaxVolumes = 8;

struct FuzzInput {
    Bytes control;
    std::vector<Bytes> volumes;  // at least one, maybe empty
};

FuzzInput SplitInput(const std::uint8_t* data, std::size_t size, std::size_t controlBytes);
// The input that SplitInput takes apart into these parts: for the seeds.
Bytes JoinInput(const Bytes& control, const std::vector<Bytes>& volumes);

// The file of volume `index` (from 0) of a set whose first file is `first`:
// `first` itself, then the files that "NEXT:DISK002", "NEXT:DISK003" ...
// name beside it.
std::string VolumeFile(const std::string& first, std::size_t index);

}  // namespace lumora::fuzz
