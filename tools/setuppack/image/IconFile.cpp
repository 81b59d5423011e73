#include "IconFile.h"

#include <cstring>

#include "input/PayloadFiles.h"
#include "base/Error.h"

namespace setuppack {

namespace {

using lumora::Error;

constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kFileEntrySize = 16;
// More images than any icon holds; the group's count is 16 bits.
constexpr std::uint16_t kMaxImages = 64;
constexpr std::uint32_t kBitmapHeaderSize = 40;  // BITMAPINFOHEADER, the shortest Windows reads in an icon

bool IsPng(const Bytes& image) { return image.size() >= 8 && std::memcmp(image.data(), "\x89PNG\r\n\x1a\n", 8) == 0; }

bool IsBitmap(const Bytes& image)
{
    return image.size() >= kBitmapHeaderSize && Get32(image, 0, "an image's header") >= kBitmapHeaderSize &&
           Get32(image, 0, "an image's header") <= image.size();
}

}  // namespace

IconImages ReadIconFile(const std::string& path)
{
    const char* const hint = "; give a Windows icon file (.ico) of one or more images, for example one saved as "
                             ".ico by an image editor, or made of PNG pictures with \"icotool -c -o icon.ico "
                             "16.png 32.png 48.png\"";
    const std::string content = ReadCheckedFile(path);
    const Bytes file(content.begin(), content.end());
    try {
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
        for (std::uint16_t i = 0; i < count; ++i) {
            const std::size_t entry = kDirectorySize + kFileEntrySize * i;
            const std::uint32_t size = Get32(file, entry + 8, "its list of images");
            const std::uint32_t offset = Get32(file, entry + 12, "its list of images");
            if (size == 0 || offset < kDirectorySize + kFileEntrySize * count)
                throw Error("image " + std::to_string(i + 1) + " is empty or overlaps the list of images");
            Bytes image = Slice(file, offset, size, ("image " + std::to_string(i + 1)).c_str());
            if (!IsPng(image) && !IsBitmap(image))
                throw Error("image " + std::to_string(i + 1) + " is neither a PNG picture nor a bitmap");
            // The group's entry: the file's first twelve bytes, then the
            // image's number.
            icon.group.insert(icon.group.end(), file.begin() + static_cast<std::ptrdiff_t>(entry),
                              file.begin() + static_cast<std::ptrdiff_t>(entry + 12));
            Append16(icon.group, static_cast<std::uint16_t>(i + 1));
            icon.images.push_back(std::move(image));
        }
        return icon;
    } catch (const Error& e) {
        throw Error(path + " is no icon: " + e.what() + hint);
    }
}

}  // namespace setuppack
