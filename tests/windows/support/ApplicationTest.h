#pragma once
// Fixture for tests that use the application object: each test starts with
// no forms and no pending request to terminate, and leaves none behind.
#include <windows.h>

#include <gtest/gtest.h>

#include "framework/Application.h"

namespace lumora::test {

class ApplicationTest : public ::testing::Test {
protected:
    static constexpr const char* kTitle = "Lumora Test Program";

    void SetUp() override { Reset(); }
    void TearDown() override
    {
        Application.DestroyForms();
        Reset();
    }

private:
    static void Reset()
    {
        MSG quit;
        while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        Application.Initialize();
        Application.Title = kTitle;
    }
};

// A plain form of the framework, for tests.
class TTestForm : public TForm {
public:
    explicit TTestForm(TComponent* owner) : TForm(owner, "TestForm", "TTestForm") {}
};

}  // namespace lumora::test
