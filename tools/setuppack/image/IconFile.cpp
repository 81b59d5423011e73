#include "IconFile.h"

#include "IconImage.h"
#include "input/PayloadFiles.h"
#include "base/Error.h"

namespace setuppack {

namespace {

using lumora::Error;

constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kFileEntrySize = 16;
constexpr std::size_t kGroupEntryPart = 12;  // of a file's entry, copied into the group's
// More images than any icon holds; the group's count is 16 bits.
constexpr std::uint16_t kMaxImages = 64;

struct Range {
    std::uint32_t offset;
    std::uint32_t size;
};

}  // namespace

IconImages IconImagesOf(const Bytes& file)
{
    if (file.size() < kDirectorySize || Get16(file, 0, "the header") != 0)
        throw Error("it does not start as an icon file does");
    const std::uint16_t kind = Get16(file, 2, "the header");
    if (kind == 2)
        throw Error("it is a cursor, not an icon");
    if (kind != 1)
        throw Error("it does not start as an icon file does");
    const std::uint16_t count = Get16(file, 4, "the header");
    if (count == 0 || count > kMaxImages)
        throw Error("it holds " + std::to_string(count) + " images, where an icon has 1 to " +
                    std::to_string(kMaxImages));
    IconImages icon;
    Append16(icon.group, 0);
    Append16(icon.group, 1);
    Append16(icon.group, count);
    std::vector<Range> kept;  // the bytes of each resource, by number from 1
    std::uint64_t total = 0;
    for (std::uint16_t i = 0; i < count; ++i) {
        const std::string image = "image " + std::to_string(i + 1);
        const std::size_t entry = kDirectorySize + kFileEntrySize * i;
        const Range range{Get32(file, entry + 12, "its list of images"), Get32(file, entry + 8, "its list of images")};
        if (range.size == 0 || range.offset < kDirectorySize + kFileEntrySize * count)
            throw Error(image + " is empty or overlaps the list of images");
        std::size_t number = 0;
        for (std::size_t k = 0; k < kept.size() && number == 0; ++k) {
            const Range& other = kept[k];
            if (range.offset == other.offset && range.size == other.size)
                number = k + 1;
            else if (std::uint64_t(range.offset) < std::uint64_t(other.offset) + other.size &&
                     std::uint64_t(other.offset) < std::uint64_t(range.offset) + range.size)
                throw Error(image + " overlaps the bytes of another image: an icon file holds each image apart");
        }
        if (number == 0) {
            total += range.size;
            if (total > kMaxIconBytes)
                throw Error("its images hold more than " + std::to_string(kMaxIconBytes) +
                            " bytes, which every download of the installer would carry: leave out the largest "
                            "(Windows shows an icon at most 256 x 256 pixels)");
            Bytes bytes = Slice(file, range.offset, range.size, image.c_str());
            try {
                CheckIconImage(bytes);
            } catch (const Error& e) {
                throw Error(image + " " + e.what());
            }
            icon.images.push_back(std::move(bytes));
            kept.push_back(range);
            number = kept.size();
        }
        // The group's entry: the file's first twelve bytes, then the
        // image's number.
        icon.group.insert(icon.group.end(), file.begin() + static_cast<std::ptrdiff_t>(entry),
                          file.begin() + static_cast<std::ptrdiff_t>(entry + kGroupEntryPart));
        Append16(icon.group, static_cast<std::uint16_t>(number));
    }
    return icon;
}

IconImages ReadIconFile(const std::string& path)
{
    const char* const hint = "; give a Windows icon file (.ico) of one or more images, for example one saved as "
                             ".ico by an image editor, or made of PNG pictures with \"icotool -c -o icon.ico "
                             "16.png 32.png 48.png\"";
    const std::string content = ReadCheckedFile(path);
    try {
        return IconImagesOf(Bytes(content.begin(), content.end()));
    } catch (const Error& e) {
        throw Error(path + " is no icon: " + e.what() + hint);
    }
}

}  // namespace setuppack
