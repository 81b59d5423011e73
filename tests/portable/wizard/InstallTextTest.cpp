#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <tuple>
#include <utility>

#include "archive/CheckRecord.h"
#include "base/PathEncoding.h"
#include "wizard/InOutError.h"
#include "settings/StagedNames.h"
#include "wizard/InstallJournal.h"
#include "wizard/InstallPaths.h"
#include "wizard/RegistrationCommand.h"
#include "wizard/UninstallValues.h"

namespace lumora {
namespace {

// Sets the author's encoding, and 8-bit text again when it goes.
class AuthorEncodingScope {
public:
    explicit AuthorEncodingScope(AuthorEncoding encoding) { SetAuthorEncoding(encoding); }
    ~AuthorEncodingScope() { SetAuthorEncoding(AuthorEncoding::SystemCodePage); }
    AuthorEncodingScope(const AuthorEncodingScope&) = delete;
    AuthorEncodingScope& operator=(const AuthorEncodingScope&) = delete;
};

// Characters of the author's name: bytes of 8-bit text, letters of UTF-8.
TEST(ScreenSaverBaseName, DropsTheLastFourCharactersAndIsEmptyForShortNames)
{
    constexpr AuthorEncoding k8Bit = AuthorEncoding::SystemCodePage;
    constexpr AuthorEncoding kUtf8 = AuthorEncoding::Utf8;
    const std::tuple<AuthorEncoding, const char*, const char*> cases[] = {
        {k8Bit, "name.scr", "name"},
        {k8Bit, "My Long Screen Saver Name.scr", "My Long Screen Saver Name"},
        {k8Bit, "a.scr", "a"},
        {k8Bit, ".scr", ""},
        {k8Bit, "scr", ""},
        {k8Bit, "", ""},
        {k8Bit, "archive.tar.scr", "archive.tar"},
        {k8Bit, "Aurora.sc\xE9", "Aurora"},
        {kUtf8, "name.scr", "name"},
        {kUtf8, "\xD0\xA1\xD0\xB8\xD1\x8F\xD0\xBD\xD0\xB8\xD0\xB5.scr", "\xD0\xA1\xD0\xB8\xD1\x8F\xD0\xBD\xD0\xB8\xD0\xB5"},
        {kUtf8, "Aurora.sc\xC3\xA9", "Aurora"},
        {kUtf8, "Aurora.\xE3\x82\xAA\xE3\x83\xBC\xE3\x83\xAD", "Aurora"},
        {kUtf8, ".sc\xC3\xA9", ""},
        {kUtf8, "\xC3\xA9", ""},
    };
    for (const auto& [encoding, file, base] : cases) {
        const AuthorEncodingScope scope(encoding);
        EXPECT_EQ(ScreenSaverBaseName(file), base) << file;
    }
}

// The info file's lines: as 8-bit installers wrote them, and in UTF-8 with
// a byte-order mark in front only when a line needs UTF-8, so that a
// reader of the 8-bit form reads ASCII names as they are.
TEST(InfoFileText, EightBitAsEverAndUtf8BehindAByteOrderMarkOnlyBeyondAscii)
{
    EXPECT_EQ(InfoFileText("name.scr", "C:\\WINDOWS"), "name.scr\r\nC:\\WINDOWS\r\n");
    const AuthorEncodingScope scope(AuthorEncoding::Utf8);
    EXPECT_EQ(InfoFileText("\xD0\xA1.scr", "C:\\WINDOWS"), "\xEF\xBB\xBF\xD0\xA1.scr\r\nC:\\WINDOWS\r\n");
    EXPECT_EQ(InfoFileText("Aurora.scr", "C:\\WINDOWS"), "Aurora.scr\r\nC:\\WINDOWS\r\n");
    EXPECT_EQ(InfoFileText("Aurora.scr", "C:\\W\xC3\xAFN"), "\xEF\xBB\xBF" "Aurora.scr\r\nC:\\W\xC3\xAFN\r\n");
}

// The folder of an installation for the current user: the product's name
// when Windows would make a folder of that very name beside the others,
// else the screensaver's base name.
TEST(ProductFolderName, TheProductWhenItNamesAFolderOfItsOwnElseTheBaseName)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Aurora Dreams", "Aurora Dreams"},      {"\xD0\xA1\xD0\xB8\xD1\x8F 2", "\xD0\xA1\xD0\xB8\xD1\x8F 2"},
        {"", "Aurora"},                           {"..\\..\\Windows", "Aurora"},
        {"Aurora/Dreams", "Aurora"},              {"Aurora: Dreams", "Aurora"},
        {"Aurora Inc.", "Aurora"},                {"com1.Dreams", "Aurora"},
        {"Tab\tbed", "Aurora"},
    };
    for (const auto& [product, folder] : cases)
        EXPECT_EQ(ProductFolderName(product, "Aurora"), folder) << product;
}

TEST(InstallPaths, CopiesAndInfoFileInTheTargetFolder)
{
    const InstallPaths paths = PlanInstallPaths("C:\\WINDOWS", "name.scr", "name", "C:\\Temp\\");
    EXPECT_EQ(paths.screenSaverSource, "C:\\Temp\\name.scr");
    EXPECT_EQ(paths.screenSaverTarget, "C:\\WINDOWS\\name.scr");
    EXPECT_EQ(paths.uninstallerSource, "C:\\Temp\\Lmunist.exe");
    EXPECT_EQ(paths.uninstallerTarget, "C:\\WINDOWS\\name.exe");
    EXPECT_EQ(paths.activeXInstaller, "C:\\Temp\\Install.exe");
    EXPECT_EQ(paths.infoFile, "C:\\WINDOWS\\name.nfo");
}

// Windows starts an unquoted command's program at its first blank: "Aurora
// Deluxe" would remove Aurora.
TEST(UninstallValues, TheUninstallCommandIsQuotedWhenItsPathHoldsABlank)
{
    const auto command = [](const std::string& screenSaver, const std::string& target) {
        for (const auto& [name, value] : UninstallValues(screenSaver, target))
            if (name == "UninstallString")
                return value;
        return std::string("(none)");
    };
    EXPECT_EQ(command("name.scr", "C:\\WINDOWS"), "C:\\WINDOWS\\name.exe");
    EXPECT_EQ(command("Aurora Deluxe.scr", "C:\\WINDOWS"), "\"C:\\WINDOWS\\Aurora Deluxe.exe\"");
    EXPECT_EQ(command("name.scr", "C:\\Program Files"), "\"C:\\Program Files\\name.exe\"");
    EXPECT_EQ(UninstallExtraValues("Aurora Deluxe.scr", "C:\\WINDOWS", {})[0].second,
              "\"C:\\WINDOWS\\Aurora Deluxe.exe\" /S");
    // The entry's icon: the screensaver's, or the author's in the uninstaller.
    ProductInfo withIcon;
    EXPECT_EQ(UninstallExtraValues("Aurora.scr", "C:\\WINDOWS", withIcon)[1].second, "C:\\WINDOWS\\Aurora.scr");
    withIcon.Icon = kUninstallerFile;
    EXPECT_EQ(UninstallExtraValues("Aurora.scr", "C:\\WINDOWS", withIcon)[1].second, "C:\\WINDOWS\\Aurora.exe");
    // Read back, each names its program.
    for (const char* screenSaver : {"name.scr", "Aurora Deluxe.scr"})
        EXPECT_EQ(ProgramOfCommand(command(screenSaver, "C:\\WINDOWS")),
                  InstalledPaths(screenSaver, "C:\\WINDOWS").uninstallerTarget);
    EXPECT_EQ(ProgramOfCommand(UninstallExtraValues("Aurora Deluxe.scr", "C:\\WINDOWS", {})[0].second),
              "C:\\WINDOWS\\Aurora Deluxe.exe");
}

TEST(RegistrationCommand, TextsOfEachPlatformWithAndWithoutATrailingBackslash)
{
    struct Case {
        bool nt;
        const char* folder;  // the system folder on NT, the Windows folder elsewhere
        const char* target;
        const char* program;
        const char* parameters;
    };
    const Case cases[] = {
        {true, "C:\\WINNT\\system32", "C:\\WINNT", "C:\\WINNT\\system32\\RunDll32.exe",
         " desk.cpl,InstallScreenSaver C:\\WINNT\\name.scr"},
        {true, "C:\\WINNT\\system32\\", "C:\\WINNT", "C:\\WINNT\\system32\\RunDll32.exe",
         " desk.cpl,InstallScreenSaver C:\\WINNT\\name.scr"},
        {false, "C:\\WINDOWS", "C:\\WINDOWS", "C:\\WINDOWS\\rundll32.exe ",
         "desk.cpl,InstallScreenSaver C:\\WINDOWS\\name.scr"},
        {false, "C:\\", "C:\\WINDOWS", "C:\\RunDll32.exe ", "desk.cpl,InstallScreenSaver C:\\WINDOWS\\name.scr"},
        // The path is handed over as it is, blanks and all, without quotes.
        {false, "C:\\WINDOWS", "C:\\My Programs", "C:\\WINDOWS\\rundll32.exe ",
         "desk.cpl,InstallScreenSaver C:\\My Programs\\name.scr"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.nt ? "NT " : "other ") + c.folder);
        const ShellCommand command = c.nt ? RegistrationCommandNT(c.folder, c.target, "name.scr")
                                          : RegistrationCommandOther(c.folder, c.target, "name.scr");
        EXPECT_EQ(command.program, c.program);
        EXPECT_EQ(command.parameters, c.parameters);
    }
}

TEST(LeftoverNames, EachKindReadsBackAndNoOtherTextIsOne)
{
    const LeftoverName names[] = {
        {0x12c, 0, 1, Leftover::Staged},
        {0xffffffff, 0xfffffffe, 0xfffffffd, Leftover::SetAside},
        {7, 2, 0, Leftover::Journal},
    };
    for (const LeftoverName& name : names) {
        const std::string suffix = LeftoverSuffix(name);
        const std::optional<LeftoverName> read = ParseLeftoverSuffix(suffix);
        ASSERT_TRUE(read) << suffix;
        EXPECT_EQ(read->process, name.process);
        EXPECT_EQ(read->group, name.group);
        EXPECT_EQ(read->place, name.place);
        EXPECT_EQ(read->kind, name.kind);
    }
    EXPECT_EQ(LeftoverSuffix(names[0]), ".0000012c.00000000.00000001.new");
    EXPECT_EQ(LeftoverSuffix(names[2]), ".00000007.00000002.journal");
    // The packing tool bounds screensaver names by the longest suffix.
    for (const LeftoverName& name : names)
        EXPECT_LE(LeftoverSuffix(name).size(), kLongestStagingSuffix);

    const char* const others[] = {
        "",
        ".0000012c.00000000.00000001",        // no kind
        ".0000012c.00000000.00000001.NEW",    // written by another hand
        ".0000012C.00000000.00000001.new",    // capital digit
        ".0000012c.00000000.0000001.new",     // seven digits
        ".0000012c.00000000.00000001.new.1",  // more behind
        ".0000012c.00000000.00000001.journal",
        ".0000012c.00000000.new",
        ".0000012c.00000000.00000001.old ",
        "x0000012c.00000000.00000001.old",
        ".0000012c.0000000g.00000001.old",
    };
    for (const char* other : others)
        EXPECT_FALSE(ParseLeftoverSuffix(other)) << other;
    // A letter beyond ASCII is read as a 0.
    EXPECT_FALSE(ParseLeftoverSuffix(std::string_view(".0000012c.00000000.0000000\0.old", 31)));
}

// A journal is read back only whole and as the group of the expected names
// writes it: cut short, garbled, hand-written, of another version, another
// group or other files, it is none, and says which.
TEST(InstallJournal, ReadsBackOnlyWhatTheGroupWroteAndSaysWhatItFound)
{
    const GroupNames names{{"Aurora.scr", "Aurora.exe", "Aurora.nfo"}, {"Aurora Uninstall"}};
    const GroupNames beyondAscii{{"Caf\xC3\xA9.scr", "Caf\xC3\xA9.exe", "Caf\xC3\xA9.nfo"}, {"Caf\xC3\xA9 Uninstall"}};
    // A product whose screensaver was renamed: the earlier installation's
    // files and entry go with the group.
    const GroupNames renamed{{"ZorzaHD.scr", "ZorzaHD.exe", "ZorzaHD.nfo", "Zorza.scr", "Zorza.exe", "Zorza.nfo"},
                             {"ZorzaHD Uninstall", "Zorza Uninstall"}};
    using B = TargetBefore;
    const Journal journal{{0x12c, 0}, {B::Kept, B::Absent, B::Left}, {B::Kept}};
    const std::string text = JournalText(journal, names);
    EXPECT_EQ(text, "LMJOURNAL 2 00000093 49dff798\r\n"
                    "group 0000012c.00000000\r\n"
                    "old Aurora.scr.0000012c.00000000.00000000.old\r\n"
                    "new Aurora.exe\r\n"
                    "same Aurora.nfo\r\n"
                    "entry Aurora Uninstall\\0000012c.00000000\r\n");
    EXPECT_EQ(KeptEntryName("Aurora Uninstall", {0x12c, 0}), "Aurora Uninstall\\0000012c.00000000");

    const Journal others[] = {journal,
                              {{0xffffffff, 7}, {B::Absent, B::Kept, B::Kept, B::Kept, B::Left}, {B::Absent, B::Kept}},
                              {{1, 2}, {B::Left, B::Left, B::Absent, B::Left, B::Kept, B::Left}, {B::Left, B::Absent}}};
    for (const GroupNames* group : {&names, &beyondAscii, &renamed})
        for (const Journal& written : others) {
            Journal read{written.group, {}, {}};
            ASSERT_EQ(ReadJournal(JournalText(written, *group), *group, read), JournalFault::None);
            EXPECT_TRUE(std::equal(read.targets, read.targets + group->targets.size(), written.targets));
            EXPECT_TRUE(std::equal(read.entries, read.entries + group->entries.size(), written.entries));
        }
    // Read as the group of one entry, the journal of two is another group's.
    Journal read{others[1].group, {}, {}};
    EXPECT_EQ(ReadJournal(JournalText(others[1], renamed), {renamed.targets, {renamed.entries[0]}}, read),
              JournalFault::OtherGroup);

    const auto fault = [&](std::string_view other, LeftoverName group = {0x12c, 0}) {
        Journal read{group, {}, {}};
        return ReadJournal(other, names, read);
    };
    for (std::size_t size = 0; size < text.size(); ++size)
        EXPECT_EQ(fault(text.substr(0, size)), JournalFault::CutShort) << size;
    for (std::size_t at = 0; at < text.size(); ++at) {
        std::string garbled = text;
        garbled[at] ^= 0x20;
        EXPECT_NE(fault(garbled), JournalFault::None) << at;
    }
    // A changed line whose length and check value were made anew is whole,
    // but no journal of this group.
    std::string lines = text.substr(31);
    lines.replace(lines.find("new "), 4, "old ");
    const std::uint32_t crc = archive::ContinueCrc(0, reinterpret_cast<const unsigned char*>(lines.data()), lines.size());
    char header[32];
    std::snprintf(header, sizeof header, "LMJOURNAL 2 %08zx %08x\r\n", lines.size(), static_cast<unsigned>(crc));
    const std::pair<std::string, JournalFault> cases[] = {
        {"000 0\r\n", JournalFault::NotAJournal},
        {"LMJOURNAL 1 110 1\r\n", JournalFault::NotAJournal},
        {text + "\r\n", JournalFault::Damaged},
        {text.substr(0, 21) + "0" + text.substr(22), JournalFault::Damaged},
        {header + lines, JournalFault::OtherGroup},
        {JournalText(journal, beyondAscii), JournalFault::OtherGroup},
    };
    for (const auto& [other, expected] : cases)
        EXPECT_EQ(fault(other), expected) << other;
    EXPECT_EQ(fault(text, {0x12c, 1}), JournalFault::OtherGroup);
}

TEST(InOutError, TextsOfTheErrorNumbers)
{
    const std::pair<unsigned, const char*> cases[] = {
        {2, "File not found"},     {3, "Invalid filename"},  {4, "Too many open files"},
        {5, "File access denied"}, {101, "Disk full"},       {112, "I/O error 112"},
        {0, "I/O error 0"},        {32, "I/O error 32"},
    };
    for (const auto& [code, text] : cases) {
        const InOutError error(code);
        EXPECT_STREQ(error.what(), text) << code;
        EXPECT_EQ(error.Code(), code);
    }
}

}  // namespace
}  // namespace lumora
