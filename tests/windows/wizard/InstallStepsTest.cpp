#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "InstallTestSupport.h"
#include "base/UiTexts.h"
#include "settings/CmnFunc2.h"
#include "settings/ExitCodes.h"
#include "settings/ExtractionFolder.h"
#include "settings/Globals.h"
#include "support/ApplicationTest.h"
#include "support/BoxWatcher.h"
#include "framework/Registry.h"
#include "wizard/InfoFile.h"
#include "wizard/InstallJournal.h"
#include "wizard/InstallSteps.h"
#include "wizard/UninstallRegistry.h"
#include "wizard/UninstallValues.h"

namespace lumora::test {
namespace {

std::string Text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

TEST(InfoFile, TwoLinesEndedByCrLfReplacingWhatWasThere)
{
    ScratchFolder folder("info");
    const std::string path = folder / "name.nfo";
    WriteBytes(path, Pattern(500, 1));
    WriteInfoFile(path, "name.scr", "C:\\WINDOWS");
    EXPECT_EQ(Text(*ReadBytes(path)), "name.scr\r\nC:\\WINDOWS\r\n");
}

TEST(InfoFile, FailuresRaiseTheErrorOfTheFirstFailingOperation)
{
    ScratchFolder folder("info-failures");
    EXPECT_EQ(ErrorOf([&] { WriteInfoFile(folder / "missing\\name.nfo", "name.scr", "C:\\WINDOWS"); }),
              "Invalid filename");

    // A folder of that name cannot be opened as a file.
    EXPECT_EQ(ErrorOf([&] { WriteInfoFile(folder.Path(), "name.scr", "C:\\WINDOWS"); }), "File access denied");

    // A full disk refuses the first line (the host's /dev/full on drive Z:).
    EXPECT_EQ(ErrorOf([&] { WriteInfoFile("Z:\\dev\\full", "name.scr", "C:\\WINDOWS"); }), "I/O error 112");
}

// Counts the dialog boxes this thread activates and notes the processes
// started by the first; closes them itself when asked (for tests that
// expect none, which must not hang on one).
struct BoxSpy {
    static inline int boxes = 0;
    static inline unsigned processesAtFirstBox = 0;
    static inline bool closeBoxes = false;
    // Called when the first box shows, to see what is done by then.
    static inline std::function<void()> atFirstBox;
    HHOOK hook;

    explicit BoxSpy(bool close) : hook(SetWindowsHookExA(WH_CBT, OnCbt, nullptr, GetCurrentThreadId()))
    {
        boxes = 0;
        closeBoxes = close;
        atFirstBox = nullptr;
    }
    ~BoxSpy() { UnhookWindowsHookEx(hook); }

    static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam)
    {
        const HWND window = reinterpret_cast<HWND>(wParam);
        char name[16] = {};
        if (code == HCBT_ACTIVATE && GetClassNameA(window, name, sizeof name) && std::string(name) == "#32770") {
            if (boxes++ == 0) {
                processesAtFirstBox = ProcessesStarted();
                if (atFirstBox)
                    atFirstBox();
            }
            if (closeBoxes)
                PostMessageA(window, WM_COMMAND, IDOK, 0);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
};

// The names in a folder, but for the recorder's file.
std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && std::string(found.cFileName) != "installer-record.txt")
            names.push_back(found.cFileName);
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

const std::string kEntryKey = std::string(kUninstallListKey) + "\\lumtest Uninstall";

std::string EntryValue(const char* name)
{
    return TRegistryKey::Open(HKEY_LOCAL_MACHINE, kEntryKey, KEY_READ).ReadString(name);
}

// The payload's files in an extraction folder of this run, and an empty
// target folder.
class InstallationSteps : public ApplicationTest {
protected:
    void SetUp() override
    {
        ApplicationTest::SetUp();
        CreateExtractionFolderIn(GetTempFolder(), false);
        extraction_ = ExtractionFolder();
        Globals.ScreenSaverFile = "lumtest.scr";
        WriteBytes(extraction_ + "lumtest.scr", screenSaver_);
        WriteBytes(extraction_ + "Lmunist.exe", uninstaller_);
        ASSERT_TRUE(CopyFileA(RecorderProgram().c_str(), (extraction_ + "Install.exe").c_str(), FALSE));
        RecordStartsInto(record_);
    }
    void TearDown() override
    {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kEntryKey.c_str());
        RemoveExtractionFolder();
        ApplicationTest::TearDown();
    }

    std::string extraction_;
    ScratchFolder target_{"target"};
    const std::string record_ = target_ / "installer-record.txt";
    const Bytes screenSaver_ = Pattern(20000, 5);
    const Bytes uninstaller_ = Pattern(9000, 6);
};

// The copies, the info file and the uninstall entry are complete before the
// caution shows and the two programs start, which nothing can call back.
TEST_F(InstallationSteps, CopiesInfoFileAndEntryBeforeTheCautionAndTheStarts)
{
    ASSERT_TRUE(IsWindowsNT());
    const std::string infoFile = target_ / "lumtest.nfo";
    int calls = 0;
    bool infoFileFirst = false;
    const unsigned startedBefore = ProcessesStarted();
    BoxSpy spy(false);
    ASSERT_TRUE(spy.hook);
    std::vector<std::string> filesAtCaution;
    int callsAtCaution = 0;
    BoxSpy::atFirstBox = [&] {
        filesAtCaution = FilesIn(target_.Path());
        callsAtCaution = calls;
    };
    BoxWatcher caution(IDOK);

    RunInstallationSteps(target_.Path(), [&] {
        ++calls;
        infoFileFirst = FileExists(infoFile);
    });

    EXPECT_EQ(ReadBytes(target_ / "lumtest.scr"), screenSaver_);
    EXPECT_EQ(ReadBytes(target_ / "lumtest.exe"), uninstaller_);
    EXPECT_EQ(Text(*ReadBytes(infoFile)), "lumtest.scr\r\n" + target_.Path() + "\r\n");
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(infoFileFirst);
    EXPECT_EQ(RunOutcome(), ExitCode::Installed);
    EXPECT_EQ(FilesIn(target_.Path()), (std::vector<std::string>{"lumtest.exe", "lumtest.nfo", "lumtest.scr"}));

    const BoxView& box = caution.Result();
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.caption, "Warning");
    EXPECT_EQ(box.text, Text(TextId::MessageActivexCaution));
    EXPECT_EQ(box.buttons, std::vector<std::string>{"OK"});
    EXPECT_EQ(box.icon, LoadIconA(nullptr, IDI_EXCLAMATION));
    EXPECT_EQ(box.helpContext, 512u);
    // The caution comes once everything is in place and before anything is
    // started; then the ActiveX installer and rundll32 start.
    EXPECT_EQ(filesAtCaution, (std::vector<std::string>{"lumtest.exe", "lumtest.nfo", "lumtest.scr"}));
    EXPECT_EQ(callsAtCaution, 1);
    EXPECT_EQ(BoxSpy::boxes, 1);
    EXPECT_EQ(BoxSpy::processesAtFirstBox, startedBefore);
    EXPECT_EQ(ProcessesStarted(), startedBefore + 2);

    const std::optional<Record> installer = WaitForRecord(record_);
    ASSERT_TRUE(installer);
    EXPECT_TRUE(SameText(installer->module, extraction_ + "Install.exe")) << installer->module;
    EXPECT_EQ(installer->arguments, "");
    EXPECT_TRUE(SameText(installer->folder, "c:\\")) << installer->folder;
}

// An upgrade that cannot be completed leaves the version installed before,
// whole: its programs, its info file and its uninstall entry, kept or put
// back; no temporary file stays, and nothing after the failing step runs.
TEST_F(InstallationSteps, AnUpgradeThatCannotBeCompletedLeavesTheInstalledVersion)
{
    const Bytes oldSaver = Pattern(30000, 7);
    const Bytes oldUninstaller = Pattern(100, 8);
    const Bytes oldInfo = Pattern(40, 9);
    // How the screensaver's place is taken, a file is held or the entry
    // fails.
    enum class Place { Plain, UninstallerHeld, SaverFolder, SaverReadOnly, InfoFileHeld, EntryFails };
    struct Case {
        const char* what;
        bool uninstallerInPayload;
        Place place;
        std::string error;
        ExitCode outcome;
    };
    const Case cases[] = {
        {"the payload lacks the uninstaller", false, Place::Plain, "Cannot open file " + extraction_ + "Lmunist.exe",
         ExitCode::CopyFailed},
        {"the installed uninstaller is held open", true, Place::UninstallerHeld,
         "Cannot create file " + (target_ / "lumtest.exe"), ExitCode::CopyFailed},
        // An administrator's protection, refused as a copy over it is.
        {"a folder in the screensaver's place", true, Place::SaverFolder,
         "Cannot create file " + (target_ / "lumtest.scr"), ExitCode::CopyFailed},
        {"a read-only screensaver", true, Place::SaverReadOnly, "Cannot create file " + (target_ / "lumtest.scr"),
         ExitCode::CopyFailed},
        // Once the programs are in place, they go back.
        {"the installed info file is held open", true, Place::InfoFileHeld, "File access denied",
         ExitCode::OtherFailure},
        {"the uninstall entry fails half written", true, Place::EntryFails, "Failed to set data for 'Publisher'",
         ExitCode::OtherFailure},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteFileA((target_ / "lumtest.scr").c_str());
        if (c.place == Place::SaverFolder)
            ASSERT_TRUE(CreateDirectoryA((target_ / "lumtest.scr").c_str(), nullptr));
        else
            WriteBytes(target_ / "lumtest.scr", oldSaver);
        if (c.place == Place::SaverReadOnly)
            SetFileAttributesA((target_ / "lumtest.scr").c_str(), FILE_ATTRIBUTE_READONLY);
        WriteBytes(target_ / "lumtest.exe", oldUninstaller);
        WriteBytes(target_ / "lumtest.nfo", oldInfo);
        WriteUninstallEntry("lumtest.scr", target_.Path(), {"Lumtest 1", "", "1.0.0", ""});
        if (c.uninstallerInPayload)
            WriteBytes(extraction_ + "Lmunist.exe", uninstaller_);
        else
            DeleteFileA((extraction_ + "Lmunist.exe").c_str());
        const char* const heldFile = c.place == Place::UninstallerHeld ? "lumtest.exe"
                                     : c.place == Place::InfoFileHeld  ? "lumtest.nfo"
                                                                       : nullptr;
        constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE;
        const HANDLE held = heldFile ? CreateFileA((target_ / heldFile).c_str(), GENERIC_READ, kShare, nullptr,
                                                   OPEN_EXISTING, 0, nullptr)
                                     : INVALID_HANDLE_VALUE;
        int calls = 0;
        const unsigned startedBefore = ProcessesStarted();
        BoxSpy spy(true);

        EXPECT_EQ(ErrorOf([&] {
                      RunInstallationSteps(target_.Path(), [&] {
                          ++calls;
                          if (c.place != Place::EntryFails)
                              return;
                          WriteUninstallEntry("lumtest.scr", target_.Path(), {"Lumtest 2", "", "2.0.0", ""});
                          throw Error("Failed to set data for 'Publisher'");
                      });
                  }),
                  c.error);
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);

        EXPECT_EQ(ReadBytes(target_ / "lumtest.exe"), oldUninstaller);
        EXPECT_EQ(ReadBytes(target_ / "lumtest.nfo"), oldInfo);
        EXPECT_EQ(EntryValue("DisplayName"), "Lumtest 1");
        EXPECT_EQ(InstalledVersion("lumtest.scr"), "1.0.0");
        // Files only: a folder in the screensaver's place is no file.
        const std::vector<std::string> files = FilesIn(target_.Path());
        if (c.place == Place::SaverFolder)
            EXPECT_EQ(files, (std::vector<std::string>{"lumtest.exe", "lumtest.nfo"}));
        else
            EXPECT_EQ(files, (std::vector<std::string>{"lumtest.exe", "lumtest.nfo", "lumtest.scr"}));
        if (c.place == Place::SaverFolder) {
            EXPECT_TRUE(RemoveDirectoryA((target_ / "lumtest.scr").c_str()));
        } else {
            SetFileAttributesA((target_ / "lumtest.scr").c_str(), FILE_ATTRIBUTE_NORMAL);
            EXPECT_EQ(ReadBytes(target_ / "lumtest.scr"), oldSaver);
        }
        EXPECT_EQ(calls, c.place == Place::EntryFails ? 1 : 0);
        EXPECT_EQ(BoxSpy::boxes, 0);
        EXPECT_EQ(ProcessesStarted(), startedBefore);
        EXPECT_EQ(RunOutcome(), c.outcome);
        EXPECT_FALSE(TRegistryKey::Open(HKEY_LOCAL_MACHINE, kKeptEntriesKey, KEY_READ)) << "the entry's copy stays";
    }
}

// A run killed half way through its moves left the screensaver moved in,
// the other new files beside their targets, copies of the old files, its
// journal and an entry it had begun to change; the next run undoes that
// group before its own copies, and removes what earlier runs left beside
// the targets. A journal that a live run holds stops the next run before it
// changes anything.
TEST_F(InstallationSteps, WhatAKilledRunLeftIsUndoneBeforeTheCopies)
{
    const Bytes oldSaver = Pattern(3000, 7);
    const Bytes oldUninstaller = Pattern(100, 8);
    const Bytes oldInfo = Pattern(40, 9);
    WriteBytes(target_ / "lumtest.scr", oldSaver);
    WriteBytes(target_ / "lumtest.exe", oldUninstaller);
    WriteBytes(target_ / "lumtest.nfo", oldInfo);
    WriteUninstallEntry("lumtest.scr", target_.Path(), {"Lumtest 1", "", "1.0.0", ""});

    // The killed run's first group, of process 1234.
    const auto beside = [&](const char* target, std::uint32_t place, Leftover kind) {
        return target_ / (target + LeftoverSuffix({1234, 0, place, kind}));
    };
    WriteBytes(beside("lumtest.scr", 0, Leftover::SetAside), oldSaver);
    WriteBytes(beside("lumtest.exe", 1, Leftover::SetAside), oldUninstaller);
    WriteBytes(beside("lumtest.nfo", 2, Leftover::SetAside), oldInfo);
    WriteBytes(beside("lumtest.exe", 1, Leftover::Staged), Pattern(200, 10));
    WriteBytes(beside("lumtest.nfo", 2, Leftover::Staged), Pattern(20, 11));
    const LeftoverName killed{1234, 0};
    ASSERT_EQ(KeepUninstallEntry("lumtest Uninstall", KeptEntryName("lumtest Uninstall", killed)), TargetBefore::Kept);
    const std::string journal = beside("lumtest.scr", 0, Leftover::Journal);
    using B = TargetBefore;
    const std::string text = JournalText({killed, {B::Kept, B::Kept, B::Kept}, {B::Kept}},
                                         {{"lumtest.scr", "lumtest.exe", "lumtest.nfo"}, {"lumtest Uninstall"}});
    WriteBytes(journal, Bytes(text.begin(), text.end()));
    WriteBytes(target_ / "lumtest.scr", screenSaver_);
    WriteUninstallEntry("lumtest.scr", target_.Path(), {"Lumtest 2", "", "2.0.0", ""});
    // Left by runs of an earlier version: a new file, a copy of an old file
    // whose target is there. And a file of another name.
    WriteBytes(target_ / ("lumtest.exe" + LeftoverSuffix({99, 3, 1, Leftover::Staged})), Pattern(10, 1));
    WriteBytes(target_ / ("lumtest.scr" + LeftoverSuffix({99, 3, 0, Leftover::SetAside})), Pattern(10, 2));
    WriteBytes(target_ / "lumtest.scr.backup", Pattern(10, 3));
    const std::vector<std::string> left = FilesIn(target_.Path());

    const HANDLE live = CreateFileA(journal.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(live, INVALID_HANDLE_VALUE);
    EXPECT_EQ(ErrorOf([&] { RunInstallationSteps(target_.Path(), [] {}, true); }),
              "Cannot create file " + (target_ / "lumtest.scr"));
    CloseHandle(live);
    EXPECT_EQ(FilesIn(target_.Path()), left);
    EXPECT_EQ(InstalledVersion("lumtest.scr"), "2.0.0");

    // This run's own copies fail (its payload lacks the uninstaller) after
    // it has settled what the killed run left.
    DeleteFileA((extraction_ + "Lmunist.exe").c_str());
    EXPECT_EQ(ErrorOf([&] { RunInstallationSteps(target_.Path(), [] {}, true); }),
              "Cannot open file " + extraction_ + "Lmunist.exe");
    EXPECT_EQ(RunOutcome(), ExitCode::CopyFailed);
    EXPECT_EQ(ReadBytes(target_ / "lumtest.scr"), oldSaver);
    EXPECT_EQ(ReadBytes(target_ / "lumtest.exe"), oldUninstaller);
    EXPECT_EQ(ReadBytes(target_ / "lumtest.nfo"), oldInfo);
    EXPECT_EQ(EntryValue("DisplayName"), "Lumtest 1");
    EXPECT_EQ(InstalledVersion("lumtest.scr"), "1.0.0");
    EXPECT_EQ(FilesIn(target_.Path()),
              (std::vector<std::string>{"lumtest.exe", "lumtest.nfo", "lumtest.scr", "lumtest.scr.backup"}));
    EXPECT_FALSE(TRegistryKey::Open(HKEY_LOCAL_MACHINE, kKeptEntriesKey, KEY_READ));
}

// A target that is there is replaced only when an earlier installation of
// the product names it: its entry or the info file this installer writes.
// Any other file stops the run before anything changes.
TEST_F(InstallationSteps, OnlyFilesOfAnEarlierInstallationAreReplaced)
{
    const Bytes other = Pattern(700, 3);
    const std::string infoFile = target_ / "lumtest.nfo";
    struct Case {
        const char* what;
        std::function<void()> plant;
        const char* refused;  // the file named, or none
    };
    const Case cases[] = {
        {"another program in the uninstaller's place", [&] { WriteBytes(target_ / "lumtest.exe", other); },
         "lumtest.exe"},
        {"the product's entry of another folder",
         [&] {
             WriteBytes(target_ / "lumtest.scr", other);
             WriteUninstallEntry("lumtest.scr", "C:\\elsewhere", {});
         },
         "lumtest.scr"},
        {"an info file of another folder",
         [&] {
             WriteBytes(target_ / "lumtest.exe", other);
             WriteInfoFile(infoFile, "lumtest.scr", "C:\\elsewhere");
         },
         "lumtest.exe"},
        {"the info file this installer writes",
         [&] {
             for (const char* name : {"lumtest.scr", "lumtest.exe"})
                 WriteBytes(target_ / name, other);
             WriteInfoFile(infoFile, "lumtest.scr", target_.Path());
         },
         nullptr},
        {"the entry's uninstaller, an entry of five values",
         [&] {
             WriteBytes(target_ / "lumtest.exe", other);
             WriteBytes(infoFile, other);
             WriteUninstallEntry("lumtest.scr", target_.Path(), {});
             TRegistryKey::Open(HKEY_LOCAL_MACHINE, kEntryKey, KEY_ALL_ACCESS).DeleteValue("DisplayIcon");
         },
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const char* name : {"lumtest.scr", "lumtest.exe", "lumtest.nfo"})
            DeleteFileA((target_ / name).c_str());
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kEntryKey.c_str());
        c.plant();
        const std::vector<std::string> files = FilesIn(target_.Path());
        const std::string entry = EntryValue("DisplayName");
        const std::string error = ErrorOf([&] { RunInstallationSteps(target_.Path(), [] {}, true); });
        if (!c.refused) {
            EXPECT_EQ(error, "");
            EXPECT_EQ(ReadBytes(target_ / "lumtest.exe"), uninstaller_);
            continue;
        }
        EXPECT_EQ(error, "Cannot replace " + (target_ / c.refused) +
                             ": it is not a file of an earlier installation of this screensaver");
        EXPECT_EQ(RunOutcome(), ExitCode::CopyFailed);
        EXPECT_EQ(FilesIn(target_.Path()), files);
        EXPECT_EQ(ReadBytes(target_ / c.refused), other);
        EXPECT_EQ(EntryValue("DisplayName"), entry);
    }
}

// A screensaver named as its uninstaller copy (B.exe) gives way to it, as
// one copy after the other would; a relative target is named in full when it
// cannot be written.
TEST_F(InstallationSteps, AScreensaverNamedAsItsUninstallerCopyGivesWayToIt)
{
    Globals.ScreenSaverFile = "lumtest.exe";
    WriteBytes(extraction_ + "lumtest.exe", screenSaver_);
    WriteBytes(target_ / "lumtest.exe", Pattern(50, 3));
    WriteInfoFile(target_ / "lumtest.nfo", "lumtest.exe", target_.Path());
    RunInstallationSteps(target_.Path(), [] {}, true);
    EXPECT_EQ(ReadBytes(target_ / "lumtest.exe"), uninstaller_);
    EXPECT_EQ(Text(*ReadBytes(target_ / "lumtest.nfo")), "lumtest.exe\r\n" + target_.Path() + "\r\n");
    EXPECT_EQ(FilesIn(target_.Path()), (std::vector<std::string>{"lumtest.exe", "lumtest.nfo"}));
    EXPECT_EQ(RunOutcome(), ExitCode::Installed);

    Globals.ScreenSaverFile = "lumtest.scr";
    char current[MAX_PATH];
    ASSERT_TRUE(GetCurrentDirectoryA(MAX_PATH, current));
    EXPECT_EQ(ErrorOf([&] { RunInstallationSteps("No Such Folder", [] {}); }),
              std::string("Cannot create file ") + EnsureBackslash(current) + "No Such Folder\\lumtest.scr");
}

}  // namespace
}  // namespace lumora::test
