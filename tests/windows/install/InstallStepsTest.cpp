#include <gtest/gtest.h>

#include "InstallTestSupport.h"
#include "launcher/CmnFunc2.h"
#include "launcher/Globals.h"
#include "support/ApplicationTest.h"
#include "support/BoxWatcher.h"
#include "wizard/InOutError.h"
#include "wizard/InfoFile.h"
#include "wizard/InstallSteps.h"

namespace lumora::test {
namespace {

std::string Text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// The number of the InOutError that `call` throws; 0 when it throws none.
template <class Call>
unsigned InOutErrorOf(Call call)
{
    try {
        call();
    } catch (const InOutError& error) {
        return error.Code();
    }
    return 0;
}

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
    EXPECT_EQ(InOutErrorOf([&] { WriteInfoFile(folder / "missing\\name.nfo", "name.scr", "C:\\WINDOWS"); }), 3u);

    // A folder of that name cannot be opened as a file.
    EXPECT_EQ(InOutErrorOf([&] { WriteInfoFile(folder.Path(), "name.scr", "C:\\WINDOWS"); }), 5u);

    // A full disk refuses the first line (the host's /dev/full on drive Z:).
    EXPECT_EQ(InOutErrorOf([&] { WriteInfoFile("Z:\\dev\\full", "name.scr", "C:\\WINDOWS"); }),
              static_cast<unsigned>(ERROR_DISK_FULL));
}

// Counts the dialog boxes this thread activates and the processes started
// by then; closes them itself when asked (for tests that expect none).
class BoxSpy {
public:
    explicit BoxSpy(bool closeBoxes)
    {
        spy_ = this;
        closeBoxes_ = closeBoxes;
        hook_ = SetWindowsHookExA(WH_CBT, OnCbt, nullptr, GetCurrentThreadId());
    }
    ~BoxSpy()
    {
        UnhookWindowsHookEx(hook_);
        spy_ = nullptr;
    }
    bool Installed() const { return hook_ != nullptr; }
    int boxes = 0;
    unsigned processesAtFirstBox = 0;

private:
    static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam)
    {
        char name[16] = {};
        const HWND window = reinterpret_cast<HWND>(wParam);
        if (code == HCBT_ACTIVATE && spy_ && GetClassNameA(window, name, sizeof name) &&
            std::string(name) == "#32770") {
            if (spy_->boxes++ == 0)
                spy_->processesAtFirstBox = ProcessesStarted();
            if (closeBoxes_)
                PostMessageA(window, WM_COMMAND, IDOK, 0);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static inline BoxSpy* spy_ = nullptr;
    static inline bool closeBoxes_ = false;
    HHOOK hook_ = nullptr;
};

// The payload's files in the real extraction folder of this prefix, and an
// empty target folder.
class InstallationSteps : public ApplicationTest {
protected:
    void SetUp() override
    {
        ApplicationTest::SetUp();
        extraction_ = GetTempFolder();
        Globals.ScreenSaverFile = "lumtest.scr";
        WriteBytes(extraction_ + "lumtest.scr", screenSaver_);
        WriteBytes(extraction_ + "Lmunist.exe", uninstaller_);
        ASSERT_TRUE(CopyFileA(RecorderProgram().c_str(), (extraction_ + "Install.exe").c_str(), FALSE));
        RecordStartsInto(record_);
    }
    void TearDown() override
    {
        for (const char* name : {"lumtest.scr", "Lmunist.exe", "Install.exe"})
            DeleteFileA((extraction_ + name).c_str());
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
    ASSERT_TRUE(spy.Installed());
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

    const BoxView& box = caution.Result();
    ASSERT_TRUE(box.found);
    EXPECT_EQ(box.caption, "Warning");
    EXPECT_EQ(box.text, kActiveXCaution);
    EXPECT_NE(box.text.find("work  correctly"), std::string::npos);
    EXPECT_EQ(box.buttons, std::vector<std::string>{"OK"});
    EXPECT_EQ(box.icon, LoadIconA(nullptr, IDI_EXCLAMATION));
    EXPECT_EQ(box.helpContext, 512u);
    // The caution comes before anything is started; then the ActiveX
    // installer and rundll32 start.
    EXPECT_EQ(spy.boxes, 1);
    EXPECT_EQ(spy.processesAtFirstBox, startedBefore);
    EXPECT_EQ(ProcessesStarted(), startedBefore + 2);

    const std::optional<Record> installer = WaitForRecord(record_);
    ASSERT_TRUE(installer);
    EXPECT_TRUE(SameText(installer->module, extraction_ + "Install.exe")) << installer->module;
    EXPECT_EQ(ArgumentsOf(installer->command), "");
    EXPECT_TRUE(SameText(installer->folder, "c:\\")) << installer->folder;
}

TEST_F(InstallationSteps, AMissingUninstallerStopsTheStepsAfterTheFirstCopy)
{
    DeleteFileA((extraction_ + "Lmunist.exe").c_str());
    int calls = 0;
    const unsigned startedBefore = ProcessesStarted();
    BoxSpy spy(true);
    ASSERT_TRUE(spy.Installed());

    try {
        RunInstallationSteps(target_.Path(), [&] { ++calls; });
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), ("Cannot open file " + extraction_ + "Lmunist.exe").c_str());
    }

    EXPECT_EQ(ReadBytes(target_ / "lumtest.scr"), screenSaver_);
    EXPECT_FALSE(FileExists(target_ / "lumtest.exe"));
    EXPECT_FALSE(FileExists(target_ / "lumtest.nfo"));
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(spy.boxes, 0);
    EXPECT_EQ(ProcessesStarted(), startedBefore);
}

}  // namespace
}  // namespace lumora::test
