#include "RestoreFixture.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "archive/ArchiveWriter.h"
#include "base/MemoryStream.h"

#ifdef _WIN32
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

namespace lumora::archive::test {

namespace fs = std::filesystem;

namespace {

fs::path Native(std::string path)
{
#ifndef _WIN32
    std::replace(path.begin(), path.end(), '\\', '/');
#endif
    return fs::path(path);
}

class FullDiskFile : public FileStream {
public:
    FullDiskFile(std::unique_ptr<FileStream> file, std::int64_t space) : file_(std::move(file)), space_(space) {}
    std::size_t Read(void* buffer, std::size_t count) override { return file_->Read(buffer, count); }
    std::size_t Write(const void* buffer, std::size_t count) override
    {
        const auto n = static_cast<std::size_t>(std::min<std::int64_t>(space_, static_cast<std::int64_t>(count)));
        const std::size_t written = file_->Write(buffer, n);
        space_ -= static_cast<std::int64_t>(written);
        return written;
    }
    std::int64_t Seek(std::int64_t offset, Origin origin) override { return file_->Seek(offset, origin); }
    bool SetStamp(std::uint32_t stamp) override { return file_->SetStamp(stamp); }

private:
    std::unique_ptr<FileStream> file_;
    std::int64_t space_;
};

}  // namespace

std::unique_ptr<FileStream> RecordingFileSystem::CreateTarget(const std::string& path, std::size_t given)
{
    auto file = real_.CreateTarget(path, given);
    if (diskSpace < 0)
        return file;
    return std::make_unique<FullDiskFile>(std::move(file), diskSpace);
}

Bytes Pattern(std::size_t size, unsigned seed)
{
    Bytes data(size);
    for (std::size_t i = 0; i < size; ++i)
        data[i] = static_cast<unsigned char>((i / 7 + seed * 31 + (i >> 13)) & 0xFF);
    return data;
}

Bytes Deflate(const Bytes& data)
{
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    Bytes out(size);
    EXPECT_EQ(compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), 9), Z_OK);
    out.resize(size);
    return out;
}

RawArchive& RawArchive::Int32(std::int32_t value)
{
    const auto v = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<unsigned char>(v >> shift));
    return *this;
}

RawArchive& RawArchive::Data(const Bytes& data)
{
    bytes.insert(bytes.end(), data.begin(), data.end());
    return *this;
}

RawArchive& RawArchive::Text(std::string_view text)
{
    Int32(static_cast<std::int32_t>(text.size()));
    bytes.insert(bytes.end(), text.begin(), text.end());
    return *this;
}

RawArchive& RawArchive::Header(std::int32_t totalSize, std::int32_t fileCount)
{
    return Text("Setup").Int32(totalSize).Int32(fileCount);
}

RawArchive& RawArchive::Magic()
{
    return Data(Bytes(kBlockMagic, kBlockMagic + sizeof kBlockMagic));
}

RawArchive& RawArchive::Entry(std::string_view storedName, std::uint32_t stamp)
{
    return Text(storedName).Int32(static_cast<std::int32_t>(stamp)).Magic();
}

RawArchive& RawArchive::RawBlock(const Bytes& data)
{
    return Int32(-static_cast<std::int32_t>(data.size())).Data(data);
}

RawArchive& RawArchive::ZlibBlock(const Bytes& stream)
{
    return Int32(static_cast<std::int32_t>(stream.size())).Data(stream);
}

RawArchive& RawArchive::End()
{
    return Int32(0);
}

Bytes WriterArchive(const std::vector<StoredFile>& files, bool deflate)
{
    std::vector<ArchiveInput> inputs;
    for (const StoredFile& f : files)
        inputs.push_back(MemoryInput(f.name, f.stamp, f.data));
    MemoryStream out;
    WriteArchive(out, "Setup", inputs, deflate ? Compression::Deflate : Compression::Stored);
    return out.Bytes();
}

Scratch::Scratch()
{
    static std::atomic<int> counter{0};
    const fs::path path = fs::temp_directory_path() /
                          ("lumora-restore-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(path);
    fs::create_directories(path);
    folder_ = path.string();
}

Scratch::~Scratch()
{
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(Native(folder_), ignored))
        fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, ignored);
    fs::remove_all(Native(folder_), ignored);
}

std::string Scratch::operator/(std::string_view name) const
{
    return folder_ + "\\" + std::string(name);
}

bool FileThere(const std::string& path)
{
    return fs::is_regular_file(Native(path));
}

Bytes ReadAll(const std::string& path)
{
    std::ifstream in(Native(path), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const Bytes& data)
{
    std::ofstream(Native(path), std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

void WriteWithStamp(const std::string& path, const Bytes& data, std::uint32_t stamp)
{
    auto file = PlatformFileSystem().CreateTarget(path, path.size());
    file->WriteBuffer(data.data(), data.size());
    ASSERT_TRUE(file->SetStamp(stamp));
}

std::int32_t Age(const std::string& path)
{
    return PlatformFileSystem().FileAge(path);
}

std::vector<std::string> Listing(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Native(folder)))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void MakeReadOnly(const std::string& path, bool readOnly)
{
    fs::permissions(Native(path), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    readOnly ? fs::perm_options::remove : fs::perm_options::add);
}

Recorder::Recorder(TBackupFile& component)
{
    component.OnProgress = [this](TObject*, std::string file, TPercentage percent, bool& going) {
        progress.push_back({file, percent, going});
        if (static_cast<int>(progress.size()) - 1 == cancelAtProgress)
            going = false;
    };
    component.OnRestoreFile = [this](TObject*, std::string& file, std::int32_t stamp, bool&) {
        offered.push_back(file);
        stamps.push_back(stamp);
    };
    component.OnFileRestored = [this](TObject*, std::string& file, TFileStream&) { restored.push_back(file); };
    component.OnError = [this](TObject*, const std::int32_t code, std::string text) {
        errors.emplace_back(code, text);
    };
    component.OnNeedDisk = [this](TObject*, std::uint16_t disk, bool& going) {
        disks.push_back(disk);
        going = disksToAccept-- > 0;
    };
}

void Recorder::Clear()
{
    progress.clear();
    offered.clear();
    stamps.clear();
    restored.clear();
    errors.clear();
    disks.clear();
}

bool RestoreBytes(TBackupFile& component, const Bytes& archive, const std::string& folder)
{
    MemoryStream stream(archive);
    return component.RestoreFromStream(&stream, folder);
}

}  // namespace lumora::archive::test
