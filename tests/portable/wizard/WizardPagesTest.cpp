#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "wizard/WizardPages.h"

namespace lumora {
namespace {

const char kWindows[] = "C:\\Windows";

// The wizard as plain fields. Effects that are not state (the summary, the
// installation, the question, the end) are logged in order, the
// installation with the page and forward caption it finds.
struct FakeWizard : WizardView {
    std::string page, forward, leave, target = "Test File";
    bool answerYes = false;
    std::vector<std::string> log;

    std::string ActivePage() const override { return page; }
    void SetActivePage(const std::string& p) override { page = p; }
    std::string ForwardCaption() const override { return forward; }
    void SetForwardCaption(const std::string& c) override { forward = c; }
    std::string LeaveCaption() const override { return leave; }
    void SetLeaveCaption(const std::string& c) override { leave = c; }
    void ShowTargetFolder() override { target = kWindows; }
    void FillMemoBox() override { log.push_back("fill"); }
    void RunInstallation() override { log.push_back("install on " + page + " " + forward); }
    bool ConfirmLeave() override
    {
        log.push_back("confirm");
        return answerYes;
    }
    void ProcessMessages() override { log.push_back("process"); }
    void EndApplication() override { log.push_back("end"); }
};

struct State {
    std::string page, forward, leave;
};

const State kStatements{"1", "&Yes", "&No"};
const State kFolder{"2", "&Next >", "&Cancel"};
const State kFolderUnset{"2", "&Yes", "&No"};  // ShowReadMe neither "True" nor "False"
const State kSummary{"4", "&Next >", "&Cancel"};
const State kFinish{"5", "&Finish", "&Cancel"};

enum Button { Forward, Back, Leave };

struct Step {
    const char* what;
    State from;
    Button button;
    std::string showReadMe;
    bool answerYes;
    State to;
    std::vector<std::string> log;
    bool targetIsWindows;  // Label4 reads the Windows folder afterwards
};

std::ostream& operator<<(std::ostream& out, const Step& s) { return out << s.what; }

class Navigation : public ::testing::TestWithParam<Step> {};

TEST_P(Navigation, FollowsTheTable)
{
    const Step& s = GetParam();
    FakeWizard w;
    w.page = s.from.page;
    w.forward = s.from.forward;
    w.leave = s.from.leave;
    w.answerYes = s.answerYes;
    switch (s.button) {
    case Forward: ForwardClick(w); break;
    case Back: BackClick(w, s.showReadMe); break;
    case Leave: LeaveClick(w); break;
    }
    EXPECT_EQ(w.page, s.to.page);
    EXPECT_EQ(w.forward, s.to.forward);
    EXPECT_EQ(w.leave, s.to.leave);
    EXPECT_EQ(w.log, s.log);
    EXPECT_EQ(w.target, s.targetIsWindows ? kWindows : "Test File");
}

INSTANTIATE_TEST_SUITE_P(
    EveryPageAndButton, Navigation,
    ::testing::Values(
        Step{"forward on 1 shows the folder", kStatements, Forward, "True", false, kFolder, {}, true},
        Step{"forward on 2 shows the summary", kFolder, Forward, "False", false, kSummary, {"fill"}, false},
        Step{"forward on 2 keeps Yes and No", kFolderUnset, Forward, "true", false,
             {"4", "&Yes", "&No"}, {"fill"}, false},
        Step{"forward on 4 installs on the final page", kSummary, Forward, "True", false, kFinish,
             {"install on 5 &Finish"}, false},
        Step{"forward on 5 ends", kFinish, Forward, "True", false, kFinish, {"end"}, false},
        Step{"back on 1 does nothing", kStatements, Back, "True", false, kStatements, {}, false},
        Step{"back on 2 without statements does nothing", kFolder, Back, "False", false, kFolder, {}, false},
        Step{"back on 2 to the statements", kFolder, Back, "True", false, kStatements, {}, false},
        Step{"back on 2 with ShowReadMe true", kFolderUnset, Back, "true", false, kStatements, {}, false},
        Step{"back on 2 with another ShowReadMe", kFolder, Back, "other", false, kStatements, {}, false},
        Step{"back on 4 rewrites the summary", kSummary, Back, "False", false, kFolder, {"fill"}, false},
        Step{"back on 5 leaves the summary", kFinish, Back, "False", false, kSummary, {}, false},
        Step{"No ends at once", kStatements, Leave, "True", false, kStatements, {"end"}, false},
        Step{"No on page 2 ends at once", kFolderUnset, Leave, "other", false, kFolderUnset, {"end"}, false},
        Step{"Cancel answered No on 2", kFolder, Leave, "False", false, kFolder, {"confirm"}, false},
        Step{"Cancel answered No on 5", kFinish, Leave, "False", false, kFinish, {"confirm"}, false},
        Step{"Cancel answered Yes on 4", kSummary, Leave, "False", true, kSummary,
             {"confirm", "process", "end"}, false}));

TEST(FirstPage, ChosenByShowReadMeComparedExactly)
{
    const struct {
        const char* showReadMe;
        State state;
        bool targetIsWindows;
    } cases[] = {
        {"True", kStatements, false},
        {"False", kFolder, true},
        {"true", kFolderUnset, false},
        {"other", kFolderUnset, false},
        {"", kFolderUnset, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.showReadMe);
        FakeWizard w;
        w.page = "2";
        w.forward = "&Yes";
        w.leave = "&No";
        OpenFirstPage(w, c.showReadMe);
        EXPECT_EQ(w.page, c.state.page);
        EXPECT_EQ(w.forward, c.state.forward);
        EXPECT_EQ(w.leave, c.state.leave);
        EXPECT_EQ(w.target, c.targetIsWindows ? kWindows : "Test File");
        EXPECT_TRUE(w.log.empty());
    }
}

}  // namespace
}  // namespace lumora
