// setuppack build: setup stub + archive of the files + payload trailer.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <iterator>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "Command.h"
#include "SelfPath.h"
#include "author/CodePage.h"
#include "author/Findings.h"
#include "author/InstallerResources.h"
#include "author/LanguageOptions.h"
#include "author/ProductOptions.h"
#include "author/ScopeRules.h"
#include "image/PeLayout.h"
#include "input/NativePath.h"
#include "input/PayloadFiles.h"
#include "payload/PayloadCheck.h"
#include "payload/SolidPayload.h"
#include "archive/ArchiveInput.h"
#include "archive/ArchiveLayout.h"
#include "archive/ArchiveWriter.h"
#include "archive/CheckRecord.h"
#include "archive/LittleEndian.h"
#include "settings/SetupFile.h"
#include "archive/PeImage.h"
#include "archive/StoredName.h"
#include "base/AsciiText.h"
#include "base/MemoryStream.h"
#include "base/PathEncoding.h"
#include "base/PathText.h"
#include "base/StdioFileStream.h"
#include "base/TextTables.h"
#include "settings/InstallScope.h"

namespace setuppack {

namespace {

using lumora::Error;
using lumora::StdioFileStream;

// The restore writes every file under its base name into one folder; two
// files of the same base name (letter case aside, as on Windows) would
// overwrite each other.
void CheckBaseNames(const std::vector<lumora::archive::ArchiveInput>& inputs,
                    const std::vector<std::string>& paths)
{
    std::map<std::string, std::string> seen;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        const auto base = lumora::LowerCaseAscii(lumora::FileNamePart(inputs[i].storedName));
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
    if (!std::filesystem::exists(NativePath(out), ec))
        return;
    std::vector<std::string> read = paths;
    read.push_back(stub);
    for (const std::string& path : read)
        if (std::filesystem::equivalent(NativePath(out), NativePath(path), ec))
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

// An Authenticode signature appends its certificate table at an 8-byte
// boundary. In an installer whose length is a multiple of 8 the table starts
// right behind the trailer, where the installer looks for the trailer.
constexpr std::int64_t kSignatureAlignment = 8;

// Moves the bytes [from, end) of `out` forward by `by` (less than a buffer)
// bytes and fills the gap with zeros; the position is left at the new end.
void ShiftForward(lumora::Stream& out, std::int64_t from, std::int64_t end, std::int64_t by)
{
    std::vector<unsigned char> buffer(1 << 16);
    for (std::int64_t stop = end; stop > from;) {
        const std::int64_t start = std::max(from, stop - static_cast<std::int64_t>(buffer.size()));
        const auto count = static_cast<std::size_t>(stop - start);
        out.Seek(start, lumora::Stream::Origin::Begin);
        out.ReadBuffer(buffer.data(), count);
        out.Seek(start + by, lumora::Stream::Origin::Begin);
        out.WriteBuffer(buffer.data(), count);
        stop = start;
    }
    std::fill(buffer.begin(), buffer.begin() + by, 0);
    out.Seek(from, lumora::Stream::Origin::Begin);
    out.WriteBuffer(buffer.data(), static_cast<std::size_t>(by));
    out.Seek(end + by, lumora::Stream::Origin::Begin);
}

// The stub must be the setup program itself: a 32-bit Windows GUI program,
// unsigned, with nothing behind its image (an installer already carries a
// payload there).
void CheckStub(StdioFileStream& stub, const std::string& stubPath)
{
    const std::string kit = "; build with setupstub.exe of the kit (--stub, or beside setuppack)";
    const auto image = lumora::archive::ReadPeImage(stub);
    if (!image)
        throw Error("the stub " + stubPath + " is no Windows program" + kit);
    if (!image->Is32BitGuiProgram())
        throw Error("the stub " + stubPath + " is a " + (image->pe32Plus ? "64-bit " : "") +
                    (image->subsystem == 2 ? "Windows program" : "console or other program") +
                    ", not the setup stub, a 32-bit Windows GUI program" + kit);
    if (image->Signed())
        throw Error("the stub " + stubPath +
                    " is signed, and a payload appended behind a signature breaks it: build with the "
                    "unsigned stub, then sign the installer");
    const std::int64_t size = stub.Size();
    if (size > image->imageEnd)
        throw Error("the stub " + stubPath + " carries " + std::to_string(size - image->imageEnd) +
                    " bytes behind its program image: it is an installer already, or something was appended" +
                    kit);
}

// The stub's bytes with the author's resources; what build writes first.
InstallerImage RewrittenStub(StdioFileStream& stub, const std::string& stubPath, const ProductOptions& product,
                             const std::string& textTables, const std::string& outPath, bool perUser,
                             std::optional<unsigned> codePage)
{
    const std::int64_t size = stub.Size();
    if (size < 0 || size > kMaxCheckedFileSize)
        throw Error("the stub " + stubPath + " is larger than " + std::to_string(kMaxCheckedFileSize) + " bytes");
    Bytes bytes(static_cast<std::size_t>(size));
    stub.Seek(0, lumora::Stream::Origin::Begin);
    stub.ReadBuffer(bytes.data(), bytes.size());
    // A stub that reads tables of other texts, or none, would show English.
    if (!textTables.empty() &&
        std::search(bytes.begin(), bytes.end(), std::begin(lumora::kTextTablesMark),
                    std::end(lumora::kTextTablesMark) - 1) == bytes.end())
        throw Error("the stub " + stubPath + " does not read the translations of this setuppack: build with the "
                    "setupstub.exe that came with it");
    try {
        return InstallerImageOf(bytes, product, textTables, std::string(lumora::FileNamePart(outPath)), perUser,
                                codePage);
    } catch (const Error& e) {
        throw Error("the resources of the stub " + stubPath + " cannot be rewritten: " + e.what());
    }
}

void WriteInstaller(const std::string& outPath, const std::string& stubPath, const std::string& title,
                    const std::vector<lumora::archive::ArchiveInput>& inputs,
                    lumora::archive::Compression compression, unsigned solidThreads, const ProductOptions& product,
                    const std::string& textTables, bool perUser, lumora::AuthorEncoding texts,
                    std::optional<unsigned> recordedCodePage)
{
    std::optional<StdioFileStream> opened;
    try {
        opened.emplace(stubPath, StdioFileStream::Mode::Read);
    } catch (const Error& e) {
        throw Error("the setup stub " + stubPath + " cannot be opened (" + e.what() +
                    "); give it with --stub: setupstub.exe comes with the kit, beside setuppack");
    }
    StdioFileStream& stub = *opened;
    CheckStub(stub, stubPath);
    // Without the product's options, translations, --per-user and a code
    // page to record the stub is copied as it is.
    std::optional<InstallerImage> rewritten;
    if (product.Given() || !textTables.empty() || perUser) {
        rewritten = RewrittenStub(stub, stubPath, product, textTables, outPath, perUser, recordedCodePage);
    } else if (recordedCodePage) {
        // A stub that cannot take the record makes an installer as before.
        try {
            rewritten = RewrittenStub(stub, stubPath, product, textTables, outPath, perUser, recordedCodePage);
        } catch (const Error& e) {
            PrintFindings({{}, {{outPath, std::string(e.what()) + ": the installer records no code page, and "
                                          "shows its texts beyond ASCII as written only on systems of code page " +
                                          std::to_string(*recordedCodePage)}}});
        }
    }
    stub.Seek(0, lumora::Stream::Origin::Begin);
    const std::int64_t stubSize = rewritten ? static_cast<std::int64_t>(rewritten->image.size()) : stub.Size();
    if (stubSize < 0 ||
        stubSize > std::numeric_limits<std::int32_t>::max() - kSignatureAlignment - lumora::archive::kCheckRecordSize)
        throw Error("the stub " + stubPath + " is too large for a payload trailer");

    StdioFileStream out(outPath, StdioFileStream::Mode::Create);
    if (rewritten)
        out.WriteBuffer(rewritten->image.data(), rewritten->image.size());
    else
        CopyStub(stub, out);
    if (out.Position() != stubSize)
        throw Error("the stub " + stubPath + " changed while being copied");
    // The check record's place, filled once the archive is written.
    lumora::archive::WriteCheckRecord(out, {}, texts);
    if (compression == lumora::archive::Compression::Raw) {
        // Solid: the archive is written whole first, then compressed.
        const std::string plainPath = outPath + ".archive";
        struct Removed {
            std::string path;
            ~Removed() { std::remove(NativePath(path).string().c_str()); }
        } removed{plainPath};
        StdioFileStream plain(plainPath, StdioFileStream::Mode::Create);
        lumora::archive::WriteArchive(plain, title, inputs, compression);
        const std::int64_t size = plain.Position();
        plain.Seek(0, lumora::Stream::Origin::Begin);
        WriteSolidPayload(plain, static_cast<std::uint64_t>(size), solidThreads, out);
    } else {
        lumora::archive::WriteArchive(out, title, inputs, compression);
    }
    // The alignment is made up before the check record and the archive,
    // where the installer never reads: the trailer gives the archive's
    // offset, the record lies right before it, and the end marker stays
    // right before the trailer.
    const std::int64_t written = out.Position();
    const std::int64_t padding =
        (kSignatureAlignment - (written + lumora::archive::kTrailerSize) % kSignatureAlignment) %
        kSignatureAlignment;
    if (padding > 0)
        ShiftForward(out, stubSize, written, padding);
    const std::int64_t archiveStart = stubSize + padding + lumora::archive::kCheckRecordSize;
    const std::int64_t archiveEnd = written + padding;
    // Taken from the bytes as they lie in the file.
    const lumora::archive::CheckRecord record = lumora::archive::ComputeCheckRecord(out, archiveStart, archiveEnd);
    out.Seek(archiveStart - lumora::archive::kCheckRecordSize, lumora::Stream::Origin::Begin);
    lumora::archive::WriteCheckRecord(out, record, texts);
    out.Seek(archiveEnd, lumora::Stream::Origin::Begin);
    WriteTrailer(out, static_cast<std::int32_t>(archiveStart));
    // A checksum the stub had set is set again over the whole installer,
    // as the system computes it.
    if (rewritten && rewritten->checksumAt) {
        unsigned char checksum[4];
        lumora::archive::StoreLittleEndian(checksum, PeChecksum(out, *rewritten->checksumAt), 4);
        out.Seek(static_cast<std::int64_t>(*rewritten->checksumAt), lumora::Stream::Origin::Begin);
        out.WriteBuffer(checksum, sizeof checksum);
    }
    out.Close();
}

// SOURCE_DATE_EPOCH as reproducible builds define it: the seconds since
// 1970-01-01 UTC of the latest time an output may carry. A value that is no
// such number is an error, not a silent fallback to the files' own times.
std::optional<std::time_t> SourceDateEpoch()
{
    const char* value = std::getenv("SOURCE_DATE_EPOCH");
    if (!value)
        return std::nullopt;
    std::time_t seconds = 0;
    const std::string text = value;
    for (const char c : text) {
        if (c < '0' || c > '9' || seconds > (std::numeric_limits<std::time_t>::max() - 9) / 10)
            throw Error("SOURCE_DATE_EPOCH is \"" + text + "\", not a number of seconds since 1970-01-01 UTC");
        seconds = seconds * 10 + (c - '0');
    }
    if (text.empty())
        throw Error("SOURCE_DATE_EPOCH is empty, not a number of seconds since 1970-01-01 UTC");
    return seconds;
}

// --threads N of a solid build; all the cores when not given.
unsigned SolidThreads(const Arguments& args)
{
    const std::string value = args.Value("--threads");
    if (value.empty())
        return DefaultSolidThreads();
    if (!args.Has("--solid"))
        throw UsageError("--threads is for --solid: the other builds compress in one thread");
    unsigned number = 0;
    for (const char c : value) {
        if (c < '0' || c > '9' || number > kMaxSolidThreads) {
            number = 0;
            break;
        }
        number = number * 10 + static_cast<unsigned>(c - '0');
    }
    if (number < 1 || number > kMaxSolidThreads)
        throw UsageError("--threads takes a number of threads from 1 to " + std::to_string(kMaxSolidThreads) +
                         ", not \"" + value + "\"");
    return number;
}

// The payload's uninstaller with the product's version information and
// icon and the installer's translated texts, in place of the author's file;
// with the icon, Product.ins names it as the icon of the uninstall entry.
// An uninstaller that is no program whose resources can be rewritten is
// carried as it is (speaking English, without the product's details), and
// build says so.
void RewriteUninstaller(std::vector<lumora::archive::ArchiveInput>& inputs, const std::vector<std::string>& paths,
                        PayloadFiles& payload, ProductOptions& product, const std::string& textTables)
{
    if (!product.Given() && textTables.empty())
        return;
    const std::string name = lumora::LowerCaseAscii(lumora::kUninstallerFile);
    for (std::size_t i = 0; i < inputs.size() && i < paths.size(); ++i) {
        if (lumora::LowerCaseAscii(lumora::FileNamePart(inputs[i].storedName)) != name)
            continue;
        const std::string original = ReadCheckedFile(paths[i]);
        Bytes image(original.begin(), original.end());
        // A signature, or data behind the image, would not survive the
        // rewrite.
        lumora::MemoryStream stream(image);
        const auto layout = lumora::archive::ReadPeImage(stream);
        std::string why = !layout ? "it is no Windows program"
                          : layout->Signed() ? "it is signed, and the rewrite would break the signature"
                          : layout->imageEnd != static_cast<std::int64_t>(image.size())
                              ? "data behind its program image would be lost"
                              : "";
        if (why.empty()) {
            try {
                image = UninstallerImageOf(image, product, textTables);
            } catch (const Error& e) {
                why = e.what();
            }
        }
        if (!why.empty()) {
            const char* without = !product.Given() ? "the translated texts (it speaks English)"
                                  : textTables.empty() ? "the product's version information and icon"
                                                       : "the product's version information and icon and the "
                                                         "translated texts (it speaks English)";
            std::printf("%s: carried as it is, without %s: %s\n", paths[i].c_str(), without, why.c_str());
            return;
        }
        std::string content(image.begin(), image.end());
        inputs[i] = lumora::archive::MemoryInput(inputs[i].storedName, inputs[i].stamp, std::move(image));
        payload.Add(lumora::kUninstallerFile, {paths[i], [content] { return content; }});
        if (product.icon)
            product.text.Icon = product.file.Icon = lumora::kUninstallerFile;
        return;
    }
}

bool BeyondAscii(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// The code page an installer of 8-bit texts records, so that it shows them
// as written on a system of any code page: the one --codepage names, else
// the default when a name or text goes beyond ASCII. Texts all ASCII read
// alike in every code page: then the stub stays as it is.
std::optional<unsigned> RecordedCodePage(const Arguments& args, const CodePage& codePage,
                                         const std::vector<lumora::archive::ArchiveInput>& inputs,
                                         const PayloadFiles& payload)
{
    if (codePage.IsUtf8())
        return std::nullopt;
    if (!args.Value("--codepage").empty())
        return codePage.Number();
    for (const auto& input : inputs)
        if (BeyondAscii(input.storedName))
            return codePage.Number();
    std::vector<std::string> texts = {"Setup.ins", lumora::kProductFile};
    if (const PayloadFile* settingsFile = payload.Find("Setup.ins")) {
        lumora::SetupSettings settings;
        lumora::ReadSetupSettings(settingsFile->read(), settings);
        texts.push_back(settings.ReadMeFile);
    }
    for (const std::string& name : texts)
        if (const PayloadFile* file = payload.Find(name); file && BeyondAscii(file->read()))
            return codePage.Number();
    return std::nullopt;
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
        if (!std::filesystem::exists(NativePath(stubPath)))
            throw Error("no setup stub at " + stubPath + ", beside setuppack: setupstub.exe comes with the kit "
                        "(\"cmake --build --preset windows --target kit\" makes it); run the kit's setuppack, "
                        "or give the stub with --stub");
    }
    const std::string title = args.Value("--title", std::string(lumora::archive::kDefaultTitle));
    if (args.Has("--store") && args.Has("--solid"))
        throw UsageError("--store and --solid exclude each other");
    const auto compression = args.Has("--store")   ? lumora::archive::Compression::Stored
                             : args.Has("--solid") ? lumora::archive::Compression::Raw
                                                   : lumora::archive::Compression::Deflate;
    const unsigned solidThreads = SolidThreads(args);

    // The names are written in the installer's code page, which its check
    // record names as UTF-8 or 8-bit.
    const CodePage codePage = CodePageOf(args);
    ProductOptions product = ProductOptionsOf(args, codePage);
    const std::string textTables = TextTablesOf(args);
    lumora::archive::FileInputRules rules;
    rules.ansiName = [&codePage](std::string_view name) {
        std::string missing;
        if (std::optional<std::string> bytes = codePage.Encode(name, &missing))
            return *bytes;
        throw Error(codePage.Name() + " has no place for the character " + missing + " of its name (" +
                    kEverySystemAdvice + ")");
    };
    rules.sourceDateEpoch = SourceDateEpoch();
    std::vector<lumora::archive::ArchiveInput> inputs;
    for (const std::string& path : args.operands)
        inputs.push_back(lumora::archive::FileInput(path, rules));
    CheckNotAnInput(outPath, stubPath, args.operands);
    PayloadFiles payload = InputPayload(outPath, inputs, args.operands);
    // The product's values and the installation's scope go into the
    // payload as files of their own, stamped as the latest of the files.
    // Scope.ins comes with the manifest of --per-user only.
    std::vector<std::string> shown = args.operands;
    std::uint32_t stamp = 0;
    const std::string scopeName = lumora::LowerCaseAscii(lumora::kScopeFile);
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        stamp = std::max(stamp, inputs[i].stamp);
        if (lumora::LowerCaseAscii(lumora::FileNamePart(inputs[i].storedName)) == scopeName)
            throw UsageError(shown[i] + ": " + lumora::kScopeFile + " comes from --per-user, which also has the "
                             "installer's manifest ask for the user's own rights: give --per-user instead");
    }
    const auto addFile = [&](const char* name, const std::string& content, const std::string& from) {
        inputs.push_back(lumora::archive::MemoryInput(lumora::archive::StoredNameOf(name), stamp,
                                                      {content.begin(), content.end()}));
        shown.push_back(from + " (" + name + ")");
        payload.Add(name, {shown.back(), [content] { return content; }});
    };
    RewriteUninstaller(inputs, args.operands, payload, product, textTables);
    if (product.HasProductFile())
        addFile(lumora::kProductFile, ProductFileText(product.file), "the product's options");
    const bool perUser = args.Has("--per-user");
    if (perUser)
        addFile(lumora::kScopeFile, ScopeFileText(), "--per-user");
    CheckBaseNames(inputs, shown);
    // An installer of 8-bit texts beyond ASCII records their code page.
    if (!PassesPayloadChecks(payload, codePage.AsRecorded(), args.Has("--force")))
        return 1;

    // The folders of OUT are made, as extract makes its folder.
    std::error_code made;
    const std::filesystem::path folder = NativePath(outPath).parent_path();
    if (!folder.empty() && !std::filesystem::create_directories(folder, made) && made)
        throw Error("the folder of " + outPath + " cannot be made: " + made.message());
    try {
        WriteInstaller(outPath, stubPath, title, inputs, compression, solidThreads, product, textTables, perUser,
                       codePage.Encoding(), RecordedCodePage(args, codePage, inputs, payload));
    } catch (...) {
        std::error_code ec;
        std::filesystem::remove(NativePath(outPath), ec);
        throw;
    }
    std::int64_t total = 0;
    for (const auto& input : inputs)
        total += input.size;
    std::printf("%s: %zu files, %lld bytes, stub %s\n", outPath.c_str(), inputs.size(),
                static_cast<long long>(total), stubPath.c_str());
    if (!product.text.ProductId.empty())
        std::printf(product.idDerived ? "product identity: %s, made of --publisher and --product: it changes when "
                                        "they do; give --product-id %s to keep it\n"
                                      : "product identity: %s, from --product-id\n",
                    product.text.ProductId.c_str(), product.text.ProductId.c_str());
    return 0;
}

}  // namespace setuppack
