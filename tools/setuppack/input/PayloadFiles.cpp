#include "PayloadFiles.h"

#include "base/AsciiText.h"
#include "base/Error.h"
#include "base/PathText.h"
#include "base/StdioFileStream.h"

namespace setuppack {

void PayloadFiles::Add(std::string_view name, PayloadFile file)
{
    files_[lumora::LowerCaseAscii(name)] = {std::string(name), std::move(file)};
}

const PayloadFile* PayloadFiles::Find(std::string_view name) const
{
    const auto it = files_.find(lumora::LowerCaseAscii(name));
    return it == files_.end() ? nullptr : &it->second.second;
}

std::vector<std::string> PayloadFiles::Names() const
{
    std::vector<std::string> names;
    for (const auto& [key, named] : files_)
        names.push_back(named.first);
    return names;
}

PayloadFiles InputPayload(const std::string& out, const std::vector<lumora::archive::ArchiveInput>& inputs,
                          const std::vector<std::string>& paths)
{
    PayloadFiles payload(out);
    for (std::size_t i = 0; i < inputs.size() && i < paths.size(); ++i) {
        const std::string& path = paths[i];
        payload.Add(lumora::FileNamePart(inputs[i].storedName), {path, [path] { return ReadCheckedFile(path); }});
    }
    return payload;
}

std::string ReadCheckedFile(const std::string& path)
{
    lumora::StdioFileStream file(path, lumora::StdioFileStream::Mode::Read);
    const std::int64_t size = file.Size();
    if (size < 0 || size > kMaxCheckedFileSize)
        throw lumora::Error(path + " is larger than " + std::to_string(kMaxCheckedFileSize) + " bytes");
    std::string bytes(static_cast<std::size_t>(size), '\0');
    file.ReadBuffer(bytes.data(), bytes.size());
    return bytes;
}

}  // namespace setuppack
