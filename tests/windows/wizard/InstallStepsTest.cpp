#include <gtest/gtest.h>

#include <algorithm>

#include "InstallTestSupport.h"
#include "settings/CmnFunc2.h"
#include "settings/ExitCodes.h"
#include "settings/ExtractionFolder.h"
#include "settings/Globals.h"
#include "support/ApplicationTest.h"
#include "support/BoxWatcher.h"
#include "wizard/CopiesIntoPlace.h"
#include "wizard/InfoFile.h"
#include "wizard/InstallSteps.h"

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
    HHOOK hook;

    explicit BoxSpy(bool close) : hook(SetWindowsHookExA(WH_CBT, OnCbt, nullptr, GetCurrentThreadId()))
    {
        boxes = 0;
        closeBoxes = close;
    }
    ~BoxSpy() { UnhookWindowsHookEx(hook); }

    static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam)
    {
        const HWND window = reinterpret_cast<HWND>(wParam);
        char name[16] = {};
        if (code == HCBT_ACTIVATE && GetClassNameA(window, name, sizeof name) && std::string(name) == "#32770") {
            if (boxes++ == 0)
                processesAtFirstBox = ProcessesStarted();
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
        RemoveExtractionFolder();
        ApplicationTest::TearDown();
    }

    std::string extraction_;
    ScratchFolder target_{"target"};
    const std::string record_ = target_ / "installer-record.txt";
    const Bytes screenSaver_ = Pattern(20000, 5);
    const Bytes uninstaller_ = Pattern(9000, 6);
};

TEST_F(InstallationSteps, CopyCautionStartsInfoFileThenTheUninstallEntry)
{
    ASSERT_TRUE(IsWindowsNT());
    const std::string infoFile = target_ / "lumtest.nfo";
    int calls = 0;
    bool infoFileFirst = false;
    const unsigned startedBefore = ProcessesStarted();
    BoxSpy spy(false);
    ASSERT_TRUE(spy.hook);
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
    EXPECT_EQ(box.text, kActiveXCaution);
    EXPECT_EQ(box.buttons, std::vector<std::string>{"OK"});
    EXPECT_EQ(box.icon, LoadIconA(nullptr, IDI_EXCLAMATION));
    EXPECT_EQ(box.helpContext, 512u);
    // The caution comes before anything is started; then the ActiveX
    // installer and rundll32 start.
    EXPECT_EQ(BoxSpy::boxes, 1);
    EXPECT_EQ(BoxSpy::processesAtFirstBox, startedBefore);
    EXPECT_EQ(ProcessesStarted(), startedBefore + 2);

    const std::optional<Record> installer = WaitForRecord(record_);
    ASSERT_TRUE(installer);
    EXPECT_TRUE(SameText(installer->module, extraction_ + "Install.exe")) << installer->module;
    EXPECT_EQ(installer->arguments, "");
    EXPECT_TRUE(SameText(installer->folder, "c:\\")) << installer->folder;
}

// An upgrade whose copies cannot all be put in place keeps the version
// installed before, whole, and leaves no temporary file; nothing after the
// copies runs.
TEST_F(InstallationSteps, CopiesThatCannotAllBePutInPlaceKeepTheInstalledVersion)
{
    const Bytes oldSaver = Pattern(30000, 7);
    const Bytes oldUninstaller = Pattern(100, 8);
    // How the screensaver's place is taken or the uninstaller's is held.
    enum class Place { Plain, UninstallerHeld, SaverFolder, SaverReadOnly };
    struct Case {
        const char* what;
        bool uninstallerInPayload;
        Place place;
        std::string error;
    };
    const Case cases[] = {
        {"the payload lacks the uninstaller", false, Place::Plain, "Cannot open file " + extraction_ + "Lmunist.exe"},
        {"the installed uninstaller is held open", true, Place::UninstallerHeld,
         "Cannot create file " + (target_ / "lumtest.exe")},
        // An administrator's protection, refused as a copy over it is.
        {"a folder in the screensaver's place", true, Place::SaverFolder,
         "Cannot create file " + (target_ / "lumtest.scr")},
        {"a read-only screensaver", true, Place::SaverReadOnly, "Cannot create file " + (target_ / "lumtest.scr")},
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
        if (c.uninstallerInPayload)
            WriteBytes(extraction_ + "Lmunist.exe", uninstaller_);
        else
            DeleteFileA((extraction_ + "Lmunist.exe").c_str());
        const HANDLE held = c.place == Place::UninstallerHeld
                                ? CreateFileA((target_ / "lumtest.exe").c_str(), GENERIC_READ,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr)
                                : INVALID_HANDLE_VALUE;
        int calls = 0;
        const unsigned startedBefore = ProcessesStarted();
        BoxSpy spy(true);

        EXPECT_EQ(ErrorOf([&] { RunInstallationSteps(target_.Path(), [&] { ++calls; }); }), c.error);
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);

        EXPECT_EQ(ReadBytes(target_ / "lumtest.exe"), oldUninstaller);
        // Files only: a folder in the screensaver's place is no file.
        const std::vector<std::string> files = FilesIn(target_.Path());
        if (c.place == Place::SaverFolder)
            EXPECT_EQ(files, std::vector<std::string>{"lumtest.exe"});
        else
            EXPECT_EQ(files, (std::vector<std::string>{"lumtest.exe", "lumtest.scr"}));
        if (c.place == Place::SaverFolder) {
            EXPECT_TRUE(RemoveDirectoryA((target_ / "lumtest.scr").c_str()));
        } else {
            SetFileAttributesA((target_ / "lumtest.scr").c_str(), FILE_ATTRIBUTE_NORMAL);
            EXPECT_EQ(ReadBytes(target_ / "lumtest.scr"), oldSaver);
        }
        EXPECT_EQ(calls, 0);
        EXPECT_EQ(BoxSpy::boxes, 0);
        EXPECT_EQ(ProcessesStarted(), startedBefore);
        EXPECT_EQ(RunOutcome(), ExitCode::CopyFailed);
    }
}

// A screensaver named as its uninstaller copy (B.exe) is replaced by it, as
// one copy after the other would; the messages are processed after each
// copy; a relative target is named in full when it cannot be written.
TEST_F(InstallationSteps, CopiesInTheirOrderEachFollowedByTheMessages)
{
    WriteBytes(extraction_ + "lumtest.exe", screenSaver_);
    std::vector<std::vector<std::string>> seen;
    CopyFilesIntoPlace({{extraction_ + "lumtest.exe", target_ / "lumtest.exe"},
                        {extraction_ + "Lmunist.exe", target_ / "lumtest.exe"}},
                       [&] { seen.push_back(FilesIn(target_.Path())); });
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].size(), 1u);  // the first copy, staged beside its target
    EXPECT_EQ(ReadBytes(target_ / "lumtest.exe"), uninstaller_);
    EXPECT_EQ(FilesIn(target_.Path()), std::vector<std::string>{"lumtest.exe"});

    char current[MAX_PATH];
    ASSERT_TRUE(GetCurrentDirectoryA(MAX_PATH, current));
    EXPECT_EQ(ErrorOf([&] { RunInstallationSteps("No Such Folder", [] {}); }),
              std::string("Cannot create file ") + EnsureBackslash(current) + "No Such Folder\\lumtest.scr");
}

}  // namespace
}  // namespace lumora::test
