#include "FuzzInput.h"

#include <cstring>

#include "archive/ArchiveReader.h"

namespace lumora::fuzz {

FuzzInput SplitInput(const std::uint8_t* data, std::size_t size, std::size_t controlBytes)
{
    FuzzInput input;
    const std::size_t control = size < controlBytes ? size : controlBytes;
    input.control.assign(data, data + control);
    input.control.resize(controlBytes, 0);
    const std::uint8_t* at = data + control;
    const std::uint8_t* const end = data + size;
    for (;;) {
        // memmem, not a loop of our own: libFuzzer watches its arguments and
        // so learns the separator.
        const bool last = input.volumes.size() + 1 == kMaxVolumes;
        const void* found = last ? nullptr
                                 : memmem(at, static_cast<std::size_t>(end - at), kVolumeSeparator.data(),
                                          kVolumeSeparator.size());
        const auto* stop = found ? static_cast<const std::uint8_t*>(found) : end;
        input.volumes.emplace_back(at, stop);
        if (!found)
            return input;
        at = stop + kVolumeSeparator.size();
    }
}

Bytes JoinInput(const Bytes& control, const std::vector<Bytes>& volumes)
{
    Bytes input = control;
    for (std::size_t i = 0; i < volumes.size(); ++i) {
        if (i > 0)
            input.insert(input.end(), kVolumeSeparator.begin(), kVolumeSeparator.end());
        input.insert(input.end(), volumes[i].begin(), volumes[i].end());
    }
    return input;
}

std::string VolumeFile(const std::string& first, std::size_t index)
{
    return index == 0 ? first : archive::VolumePath(first, static_cast<unsigned>(index + 1));
}

}  // namespace lumora::fuzz
