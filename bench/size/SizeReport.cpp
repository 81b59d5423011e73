// Where the bytes of the setup program go: the stub's size, the size of each
// installer given (its stub part and payload, from the payload trailer), and
// what each library linked into the stub contributes, by output section,
// from the GNU ld map the Windows build writes beside the stub
// (cmake/LeanLink.cmake).
//
//   size_report STUB MAP [INSTALLER...]
//
// For the Windows build of this tree, from the top folder:
//   size_report build/windows/src/launcher/setupstub.exe
//               build/windows/src/launcher/setupstub.map
//               build/windows/samples/sample-setup.exe
//
// Prints figures only. The sizes in the map are those of the sections'
// contents; the file adds its headers and pads each section to 512 bytes.
// The link rewrites the unwind table after the map is written (its common
// entries shared: scripts/unwind_table.py), so the stub's own section table,
// printed last, is where its .eh_frame's size in the file shows.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Contribution {
    std::string output;  // the output section, such as .text
    std::string owner;   // the library (or object file) the bytes come from
    std::uint64_t size = 0;
};

// The library of an input file named in the map: "dir/libfoo.a(member.o)"
// belongs to libfoo.a, "dir/crt2.o" to crt2.o, CMake's archive of a
// program's own objects "CMakeFiles/NAME.dir/objects.a(...)" to NAME; the
// code the link compiles from the libraries' intermediate code (link-time
// optimisation, temporary files "NAME.ltrans0.ltrans.o") is of all of them
// together; "dll stuff" and the like are bytes the linker makes itself (base
// relocations).
std::string Owner(const std::string& file)
{
    static const std::regex member(R"((.*)\(([^()]*)\)$)");
    static const std::regex ownObjects(R"((?:.*/)?CMakeFiles/([^/]+)\.dir/objects\.a)");
    static const std::regex linkTimeCode(R"(.*\.ltrans[0-9]*\.ltrans\.o)");
    std::smatch m;
    const std::string path = std::regex_match(file, m, member) ? m[1].str() : file;
    if (std::regex_match(path, m, ownObjects))
        return m[1].str() + " (its own code)";
    if (std::regex_match(path, linkTimeCode))
        return "(optimised at the link)";
    if (path.find('/') == std::string::npos && path.find('.') == std::string::npos)
        return "(made by the linker)";
    return fs::path(path).filename().string();
}

bool InFile(const std::string& output)
{
    return output != ".bss" && output.rfind(".debug", 0) != 0 && output.rfind(".zdebug", 0) != 0 &&
           output.rfind(".stab", 0) != 0;
}

// The input sections of the map's "Linker script and memory map" part. An
// input section is a line " .name 0xADDRESS 0xSIZE file", or the name alone
// on one line and the rest on the next when the name is long.
std::vector<Contribution> ReadMap(const std::string& path)
{
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot read the link map " + path);
    static const std::regex outputLine(R"(^(\.\S+)(\s.*)?$)");
    static const std::regex inputLine(R"(^ (\.\S+)(?:\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S.*))?$)");
    static const std::regex restLine(R"(^\s+0x[0-9a-f]+\s+0x([0-9a-f]+)\s+(\S.*)$)");
    std::vector<Contribution> found;
    std::string line, output;
    bool inMap = false, pending = false;
    std::smatch m;
    while (std::getline(in, line)) {
        if (!inMap) {
            inMap = line == "Linker script and memory map";
            continue;
        }
        if (std::regex_match(line, m, outputLine)) {
            output = m[1].str();
            pending = false;
        } else if (std::regex_match(line, m, inputLine)) {
            pending = !m[2].matched;
            if (!pending)
                found.push_back({output, Owner(m[3].str()), std::stoull(m[2].str(), nullptr, 16)});
        } else if (pending && std::regex_match(line, m, restLine)) {
            found.push_back({output, Owner(m[2].str()), std::stoull(m[1].str(), nullptr, 16)});
            pending = false;
        } else {
            pending = false;
        }
    }
    if (!inMap)
        throw std::runtime_error(path + " is not a GNU ld link map");
    return found;
}

std::string Bytes(std::uint64_t n)
{
    std::string digits = std::to_string(n), text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += ',';
        text += digits[i];
    }
    return text;
}

// The payload's offset from the installer's last four bytes (little-endian).
std::uint64_t PayloadOffset(const std::string& installer)
{
    std::ifstream in(installer, std::ios::binary);
    unsigned char trailer[4] = {};
    in.seekg(-4, std::ios::end);
    if (!in.read(reinterpret_cast<char*>(trailer), sizeof trailer))
        throw std::runtime_error("cannot read the payload trailer of " + installer);
    return trailer[0] | trailer[1] << 8 | trailer[2] << 16 | std::uint64_t(trailer[3]) << 24;
}

void PrintLibraries(const std::vector<Contribution>& contributions)
{
    std::vector<std::string> outputs;
    std::map<std::string, std::map<std::string, std::uint64_t>> table;  // owner -> output -> bytes
    std::map<std::string, std::uint64_t> byOwner, byOutput;
    std::uint64_t total = 0;
    for (const Contribution& c : contributions) {
        if (!InFile(c.output) || c.size == 0)
            continue;
        if (std::find(outputs.begin(), outputs.end(), c.output) == outputs.end())
            outputs.push_back(c.output);
        table[c.owner][c.output] += c.size;
        byOwner[c.owner] += c.size;
        byOutput[c.output] += c.size;
        total += c.size;
    }
    std::vector<std::pair<std::uint64_t, std::string>> owners;
    for (const auto& [owner, bytes] : byOwner)
        owners.emplace_back(bytes, owner);
    std::sort(owners.rbegin(), owners.rend());

    std::printf("\nwhat the stub's link takes from each library (bytes of section contents):\n");
    std::printf("%-24s %9s %6s", "library", "bytes", "share");
    for (const std::string& output : outputs)
        std::printf(" %9s", output.c_str());
    std::printf("\n");
    for (const auto& [bytes, owner] : owners) {
        std::printf("%-24s %9s %5.1f%%", owner.c_str(), Bytes(bytes).c_str(), 100.0 * bytes / total);
        for (const std::string& output : outputs) {
            const auto it = table[owner].find(output);
            std::printf(" %9s", it == table[owner].end() ? "" : Bytes(it->second).c_str());
        }
        std::printf("\n");
    }
    std::printf("%-24s %9s %6s", "total", Bytes(total).c_str(), "");
    for (const std::string& output : outputs)
        std::printf(" %9s", Bytes(byOutput[output]).c_str());
    std::printf("\n");
}

std::uint32_t Read32(const std::string& data, std::size_t at)
{
    if (at + 4 > data.size())
        throw std::runtime_error("the stub's PE headers are cut short");
    const auto byte = [&](std::size_t i) { return std::uint32_t(static_cast<unsigned char>(data[at + i])); };
    return byte(0) | byte(1) << 8 | byte(2) << 16 | byte(3) << 24;
}

// The sections as the stub's file holds them (names cut to eight characters
// in a program without a symbol table).
void PrintFileSections(const std::string& stub)
{
    std::ifstream in(stub, std::ios::binary);
    const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::uint32_t pe = Read32(data, 0x3C);
    if (Read32(data, pe) != 0x4550)
        throw std::runtime_error(stub + " is not a PE image");
    const std::uint32_t count = Read32(data, pe + 4) >> 16;
    const std::uint32_t table = pe + 24 + (Read32(data, pe + 20) & 0xFFFF);
    std::printf("\nthe stub's sections (bytes in its file and in memory):\n%-10s %9s %9s\n", "section", "file",
                "memory");
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t at = table + 40 * i;
        const std::string name = data.substr(at, 8).c_str();
        std::printf("%-10s %9s %9s\n", name.c_str(), Bytes(Read32(data, at + 16)).c_str(),
                    Bytes(Read32(data, at + 8)).c_str());
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: size_report STUB MAP [INSTALLER...]\n");
        return 2;
    }
    try {
        const std::uint64_t stub = fs::file_size(argv[1]);
        std::printf("stub %s: %s bytes\n", argv[1], Bytes(stub).c_str());
        for (int i = 3; i < argc; ++i) {
            const std::uint64_t size = fs::file_size(argv[i]);
            const std::uint64_t offset = PayloadOffset(argv[i]);
            std::printf("installer %s: %s bytes (stub part %s, payload %s)\n", argv[i], Bytes(size).c_str(),
                        Bytes(offset).c_str(), Bytes(size - 4 - std::min(offset, size - 4)).c_str());
        }
        PrintLibraries(ReadMap(argv[2]));
        PrintFileSections(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "size_report: %s\n", e.what());
        return 1;
    }
    return 0;
}
