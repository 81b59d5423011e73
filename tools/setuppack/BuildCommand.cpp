// setuppack build: setup stub + archive of the files + payload trailer.
#include <cstdio>
#include <filesystem>
#include <limits>
#include <map>
#include <string>
#include <system_error>
#include <vector>

#include "Command.h"
#include "SelfPath.h"
#include "archive/ArchiveInput.h"
#include "archive/ArchiveLayout.h"
#include "archive/ArchiveWriter.h"
#include "archive/StoredName.h"
#include "base/StdioFileStream.h"

namespace setuppack {

namespace {

using lumora::Error;
using lumora::StdioFileStream;

std::string LowerAscii(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

// The restore writes every file under its base name into one folder; two
// files of the same base name (letter case aside, as on Windows) would
// overwrite each other.
void CheckBaseNames(const std::vector<lumora::archive::ArchiveInput>& inputs,
                    const std::vector<std::string>& paths)
{
    std::map<std::string, std::string> seen;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        const auto base = LowerAscii(lumora::archive::StoredBaseName(inputs[i].storedName));
        const auto [it, fresh] = seen.emplace(base, paths[i]);
        if (!fresh)
            throw Error(paths[i] + " and " + it->second + " would both be restored as " + base);
    }
}

// Writing OUT while reading it as the stub or an input would destroy the data.
void CheckNotAnInput(const std::string& out, const std::string& stub,
                     const std::vector<std::string>& paths)
{
    std::error_code ec;
    if (!std::filesystem::exists(out, ec))
        return;
    std::vector<std::string> read = paths;
    read.push_back(stub);
    for (const std::string& path : read)
        if (std::filesystem::equivalent(out, path, ec))
            throw Error("the output " + out + " is also an input (" + path + ")");
}

void CopyStub(StdioFileStream& stub, lumora::Stream& out)
{
    std::vector<unsigned char> buffer(1 << 16);
    for (;;) {
        const std::size_t n = stub.Read(buffer.data(), buffer.size());
        if (n == 0)
            return;
        out.WriteBuffer(buffer.data(), n);
    }
}

void WriteTrailer(lumora::Stream& out, std::int32_t offset)
{
    const auto v = static_cast<std::uint32_t>(offset);
    const unsigned char bytes[4] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8),
                                    static_cast<unsigned char>(v >> 16),
                                    static_cast<unsigned char>(v >> 24)};
    out.WriteBuffer(bytes, sizeof bytes);
}

void WriteInstaller(const std::string& outPath, const std::string& stubPath, const std::string& title,
                    const std::vector<lumora::archive::ArchiveInput>& inputs,
                    lumora::archive::Compression compression)
{
    StdioFileStream stub(stubPath, StdioFileStream::Mode::Read);
    const std::int64_t stubSize = stub.Size();
    if (stubSize < 0 || stubSize > std::numeric_limits<std::int32_t>::max())
        throw Error("the stub " + stubPath + " is too large for a payload trailer");

    StdioFileStream out(outPath, StdioFileStream::Mode::Create);
    CopyStub(stub, out);
    if (out.Position() != stubSize)
        throw Error("the stub " + stubPath + " changed while being copied");
    lumora::archive::WriteArchive(out, title, inputs, compression);
    WriteTrailer(out, static_cast<std::int32_t>(stubSize));
    out.Close();
}

}  // namespace

int RunBuild(const Arguments& args)
{
    const std::string outPath = args.Value("-o");
    if (outPath.empty())
        throw UsageError("build needs -o OUT");
    if (args.operands.empty())
        throw UsageError("build needs at least one FILE");
    std::string stubPath = args.Value("--stub");
    if (stubPath.empty()) {
        stubPath = OwnFolder() + "setupstub.exe";
        if (!std::filesystem::exists(stubPath))
            throw Error("no setup stub at " + stubPath + "; give one with --stub");
    }
    const std::string title = args.Value("--title", std::string(lumora::archive::kDefaultTitle));
    const auto compression = args.Has("--store") ? lumora::archive::Compression::Stored
                                                 : lumora::archive::Compression::Deflate;

    std::vector<lumora::archive::ArchiveInput> inputs;
    for (const std::string& path : args.operands)
        inputs.push_back(lumora::archive::FileInput(path));
    CheckBaseNames(inputs, args.operands);
    CheckNotAnInput(outPath, stubPath, args.operands);

    try {
        WriteInstaller(outPath, stubPath, title, inputs, compression);
    } catch (...) {
        std::error_code ec;
        std::filesystem::remove(outPath, ec);
        throw;
    }
    std::int64_t total = 0;
    for (const auto& input : inputs)
        total += input.size;
    std::printf("%s: %zu files, %lld bytes, stub %s\n", outPath.c_str(), inputs.size(),
                static_cast<long long>(total), stubPath.c_str());
    return 0;
}

}  // namespace setuppack
