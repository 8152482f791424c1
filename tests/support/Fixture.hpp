// A fresh application per test, on the real backend, with every seam in the test's hands.
#pragma once

#include "main/Gridlark.hpp"
#include "main/frmDarIzoDiv2.hpp"
#include "notice/frmMessage.hpp"
#include "tests/support/Driver.hpp"
#include "tests/support/ManualClock.hpp"
#include "tests/support/Wrapped.hpp"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace gridlark::testing {

// Set up by the test main: the platform runs on the real backend, wrapped.
tk::Platform& platform();
tk::testing::WrappedBackend& backend();
// The code the program asked to end with since the last look, if it did: its loop would return
// at once with it.
std::optional<int> exitCode();

// Hands out the numbers a test lines up; counts the re-seeds.
class ScriptedRandom final : public tk::Random {
public:
    void reseedFromClock() override { ++reseeds; }
    float next() override {
        ++draws;
        if (values.empty()) return 0.0f;
        const float v = values.front();
        values.pop_front();
        return v;
    }
    std::deque<float> values;
    int reseeds = 0;
    int draws = 0;
};

class FakeWindowsApi final : public tk::WindowsApi {
public:
    struct Call {
        std::string operation, file;
        bool noParameters, noDirectory;
        int show;
    };
    void InitCommonControls() override { ++initCalls; }
    int GetVersionExA(tk::win::OSVERSIONINFOA* info) override {
        sizesSeen.push_back(info->dwOSVersionInfoSize);
        if (!versionAnswers) return 0;
        info->dwMajorVersion = major;
        info->dwMinorVersion = minor;
        info->dwPlatformId = platformId;
        return 1;
    }
    std::intptr_t ShellExecuteA(tk::win::HWND owner, const char* operation, const char* file,
                                const char* parameters, const char* directory, int show) override {
        EXPECT_EQ(owner, nullptr);
        shellCalls.push_back({operation, file, parameters == nullptr, directory == nullptr, show});
        return 42;
    }
    int initCalls = 0;
    bool versionAnswers = false;
    std::uint32_t major = 0, minor = 0, platformId = 0;
    std::vector<std::uint32_t> sizesSeen;
    std::vector<Call> shellCalls;
};

struct Prompt {
    std::string text;
    tk::msgbox::Icon icon;
    std::vector<tk::msgbox::Answer> answers; // the default first, Escape's last
    std::string title;
};

class AppTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the main window and shows it, as the program's start does.
    void start();
    frmDarIzoDiv2& main() { return app->frmDarIzoDiv2(); }
    frmMessage& notice() { return app->frmMessage(); }

    // Centre of a cell, in pixels of the main window.
    tk::PointPx cellCentre(int i);
    void clickCell(int i, int button = tk::mouse::Left);
    // The board as nine characters, '.' for a free cell.
    std::string board();
    void setBoard(std::string_view cells); // '.' free, 'X', 'O'
    std::vector<int> visibleLines();
    void settle() { driver->processEvents(); }
    bool quitAsked() { return exitCode() == 0; }

    tk::Platform& plat = platform();
    std::unique_ptr<tk::testing::Driver> driver;
    tk::testing::ManualClock clock;
    ScriptedRandom random;
    FakeWindowsApi windows;
    std::vector<Prompt> prompts;
    tk::msgbox::Answer answer = tk::msgbox::Answer::No;
    std::unique_ptr<Gridlark> app;
};

} // namespace gridlark::testing
