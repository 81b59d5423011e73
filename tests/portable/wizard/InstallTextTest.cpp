#include <gtest/gtest.h>

#include <tuple>

#include "base/PathEncoding.h"
#include "wizard/InOutError.h"
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
TEST(InfoFileLines, EightBitAsEverAndUtf8BehindAByteOrderMarkOnlyBeyondAscii)
{
    EXPECT_EQ(InfoFileLines("name.scr", "C:\\WINDOWS"), (std::array<std::string, 2>{"name.scr", "C:\\WINDOWS"}));
    const AuthorEncodingScope scope(AuthorEncoding::Utf8);
    EXPECT_EQ(InfoFileLines("\xD0\xA1.scr", "C:\\WINDOWS"),
              (std::array<std::string, 2>{"\xEF\xBB\xBF\xD0\xA1.scr", "C:\\WINDOWS"}));
    EXPECT_EQ(InfoFileLines("Aurora.scr", "C:\\WINDOWS"), (std::array<std::string, 2>{"Aurora.scr", "C:\\WINDOWS"}));
    EXPECT_EQ(InfoFileLines("Aurora.scr", "C:\\W\xC3\xAFN"),
              (std::array<std::string, 2>{"\xEF\xBB\xBF" "Aurora.scr", "C:\\W\xC3\xAFN"}));
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
    EXPECT_EQ(UninstallExtraValues("Aurora Deluxe.scr", "C:\\WINDOWS")[0].second,
              "\"C:\\WINDOWS\\Aurora Deluxe.exe\" /S");
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

// A journal read back is the one written; a journal cut short, longer or
// changed in any way is none.
TEST(InstallJournal, ReadsBackWhatItWroteAndNothingElse)
{
    const Journal journals[] = {{3, 0b011, true}, {3, 0, false}, {1, 1, false}, {8, 0xa5, true}};
    for (const Journal& journal : journals) {
        const std::string text = JournalText(journal);
        EXPECT_LE(text.size(), kJournalLimit);
        const std::optional<Journal> read = ParseJournal(text);
        ASSERT_TRUE(read) << text;
        EXPECT_EQ(read->targets, journal.targets);
        EXPECT_EQ(read->keepsOld, journal.keepsOld);
        EXPECT_EQ(read->entryExisted, journal.entryExisted);
    }
    EXPECT_EQ(JournalText({3, 0b011, true}), "LMJOURNAL 1 110 1\r\n");

    const char* const others[] = {
        "",
        "LMJOURNAL 1 110 1",          // cut short
        "LMJOURNAL 1 110 1\r",
        "LMJOURNAL 1 110 1\r\n\r\n",  // more behind
        "LMJOURNAL 1 110 1\n",
        "LMJOURNAL 2 110 1\r\n",
        "lmjournal 1 110 1\r\n",
        "LMJOURNAL 1  1\r\n",         // no target
        "LMJOURNAL 1 1 1\r",
        "LMJOURNAL 1 120 1\r\n",
        "LMJOURNAL 1 110 2\r\n",
        "LMJOURNAL 1 110  1\r\n",
        "LMJOURNAL 1 110\r\n",
        "LMJOURNAL 1 111111111 1\r\n",  // nine targets
        "LMJOURNAL 1 1 0 1\r\n",
    };
    for (const char* other : others)
        EXPECT_FALSE(ParseJournal(other)) << other;
    EXPECT_FALSE(ParseJournal(std::string_view("LMJOURNAL 1 1\0 1\r\n", 18)));
    EXPECT_FALSE(ParseJournal(std::string(1000, '1')));
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
