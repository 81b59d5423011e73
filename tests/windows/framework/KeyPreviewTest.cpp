#include <gtest/gtest.h>

#include <vector>

#include "support/ApplicationTest.h"

namespace lumora::test {
namespace {

// Alt held: the context bit of the key data (bit 29), as the system sets it.
constexpr LPARAM kAltKeyData = 0x20000001;
constexpr LPARAM kPlainKeyData = 0x00000001;

// A child window that notes the keys dispatched to it, then handles them as
// any window does (Alt+F4 there asks the top-level window to close).
struct KeyProbe {
    static std::vector<WPARAM>& Received()
    {
        static std::vector<WPARAM> keys;
        return keys;
    }
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)
            Received().push_back(wParam);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    static HWND Create(HWND parent)
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "LumoraKeyProbe";
        RegisterClassA(&wc);
        return CreateWindowExA(0, "LumoraKeyProbe", "", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, parent, nullptr,
                               wc.hInstance, nullptr);
    }
};

struct Seen {
    std::uint16_t key;
    bool alt;
};

class KeyPreview : public ApplicationTest {
protected:
    void SetUp() override
    {
        ApplicationTest::SetUp();
        KeyProbe::Received().clear();
        Application.CreateForm(form_);
        form_->KeyPreview = true;
        form_->OnKeyDown = [this](TObject*, std::uint16_t& key, TShiftState shift) {
            seen_.push_back({key, shift.Contains(ssAlt)});
            if (key == VK_F4 && shift.Contains(ssAlt))
                key = 0;
        };
        form_->OnClose = [this](TObject*, TCloseAction& action) {
            ++closes_;
            action = caNone;
        };
        probe_ = KeyProbe::Create(form_->Handle());
        ASSERT_NE(probe_, nullptr);
    }

    void Press(UINT message, WPARAM key, LPARAM keyData)
    {
        PostMessageA(probe_, message, key, keyData);
        // Handles the key and whatever it posts in turn (SC_CLOSE, WM_CLOSE).
        Application.ProcessMessages();
    }

    TTestForm* form_ = nullptr;
    HWND probe_ = nullptr;
    std::vector<Seen> seen_;
    int closes_ = 0;
};

TEST_F(KeyPreview, TheFormSwallowsAltF4BeforeAnyWindowSeesIt)
{
    Press(WM_SYSKEYDOWN, VK_F4, kAltKeyData);
    ASSERT_EQ(seen_.size(), 1u);
    EXPECT_EQ(seen_[0].key, VK_F4);
    EXPECT_TRUE(seen_[0].alt);
    EXPECT_TRUE(KeyProbe::Received().empty());
    EXPECT_EQ(closes_, 0);
}

TEST_F(KeyPreview, OtherKeysReachTheirWindowAfterThePreview)
{
    Press(WM_KEYDOWN, VK_F4, kPlainKeyData);
    Press(WM_SYSKEYDOWN, VK_F5, kAltKeyData);
    Press(WM_KEYDOWN, 'A', kPlainKeyData);
    ASSERT_EQ(seen_.size(), 3u);
    EXPECT_FALSE(seen_[0].alt);
    EXPECT_TRUE(seen_[1].alt);
    EXPECT_EQ(KeyProbe::Received(), (std::vector<WPARAM>{VK_F4, VK_F5, 'A'}));
    EXPECT_EQ(closes_, 0);
}

// Without the preview the same Alt+F4 closes the window: the swallowing
// above is what keeps it open.
TEST_F(KeyPreview, WithoutPreviewAltF4ClosesTheWindow)
{
    form_->KeyPreview = false;
    Press(WM_SYSKEYDOWN, VK_F4, kAltKeyData);
    EXPECT_TRUE(seen_.empty());
    EXPECT_EQ(KeyProbe::Received(), std::vector<WPARAM>{VK_F4});
    EXPECT_EQ(closes_, 1);
}

}  // namespace
}  // namespace lumora::test
