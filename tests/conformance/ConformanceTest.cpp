// What only a real window system shows, on each real backend: native children and their keys,
// the real message box and its modality, its close command, ticks of the real clock, text
// measured with real fonts, and the window as its assistive technology reads it. The headless
// backend has none of these to show.
#include "tests/support/Fixture.hpp"

#include <algorithm>
#include <chrono>

namespace gridlark::testing {
namespace {

using tk::testing::Key;

class ConformanceTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        plat.seams.screenSize = tk::SizePx{1280, 1024};
    }
    void tickCpu() { driver->clickControl(main(), "Check1"); }
    bool noticeUp() { return app->noticeLoaded(); }
};

// Measured with the backend's own fonts: every caption the layouts mean to fit stays clear of
// its neighbour. The link's caption is wider than its place in any face, as designed.
TEST_F(ConformanceTest, CaptionsFitTheRoomTheLayoutsGiveThem) {
    start();
    const auto right = [&](tk::Label& l, std::string_view text) {
        return l.left() + tk::pixelsToTwips(plat.backend().measureText(l.font(), text).width);
    };
    tk::Label& lbl1 = notice().lbl1();
    tk::Label& lbl2 = notice().lbl2();
    const int ok = notice().button("cmdMain").left();
    for (std::string_view text : {"X wins!", "O wins!", "Draw!", "Game will now reset"})
        EXPECT_LE(right(lbl1, text), ok) << text;
    for (std::string_view text : {"Game will now reset", " AI enabled."})
        EXPECT_LE(right(lbl2, text), ok) << text;
    for (std::string_view mark : {"X", "O"})
        EXPECT_LE(right(main().Turn(), mark), main().Label13().left()) << mark;
    EXPECT_LE(right(main().Label13(), "'s turn"), main().Reset().left());
    // The check box's own mark takes about 17 pixels before its caption.
    const tk::CheckBox& box = main().Check1();
    EXPECT_LE(tk::pixelsToTwips(17 + plat.backend().measureText(box.font(), box.caption()).width),
              box.width());
}

TEST_F(ConformanceTest, ResetHoldsTheFocusSoEnterAndSpacePressIt) {
    start();
    EXPECT_EQ(driver->focusedControl(main()), "Reset");
    for (Key key : {Key::Enter, Key::Space}) {
        clickCell(4);
        ASSERT_EQ(board(), "....X....");
        random.values.push_back(0.75f);
        driver->key(main(), key);
        EXPECT_EQ(board(), ".........");
        EXPECT_EQ(main().Turn().caption(), "O");
        main().Turn().setCaption("X");
    }
}

TEST_F(ConformanceTest, TheRealPromptAnswersNoToEscapeAndYesToEnter) {
    plat.seams.messageBox = nullptr;
    start();
    clickCell(0);
    driver->answerNextMessageBox(Key::Escape);
    driver->click(main(), tk::mouse::Right, {100, 178});
    const auto seen = driver->lastMessageBox();
    EXPECT_EQ(seen.title, "Attention");
    EXPECT_EQ(seen.text, "Are you sure you want to Quit the game?\n"
                         "All Game progress will get lost if you proceed!");
    EXPECT_TRUE(seen.information);
    EXPECT_EQ(seen.buttons.size(), 2u);
    EXPECT_TRUE(main().loaded());
    EXPECT_EQ(board(), "X........");

    driver->answerNextMessageBox(Key::Enter);
    driver->click(main(), tk::mouse::Right, {100, 178});
    EXPECT_FALSE(main().loaded());
    EXPECT_TRUE(quitAsked());
}

TEST_F(ConformanceTest, TheWindowSystemsCloseUnloadsWithoutAsking) {
    start();
    driver->closeWindow(main());
    EXPECT_TRUE(prompts.empty());
    EXPECT_FALSE(main().loaded());
    EXPECT_TRUE(quitAsked());
}

TEST_F(ConformanceTest, ClicksWhileTheQuitPromptIsOpenGoNowhere) {
    plat.seams.messageBox = nullptr;
    start();
    driver->answerNextMessageBox(Key::Escape, [this] {
        clickCell(4);
        driver->click(main(), tk::mouse::Right, {100, 178});
        driver->clickControl(main(), "Reset");
        driver->click(main(), tk::mouse::Left, {140, 196}); // the link
    });
    driver->click(main(), tk::mouse::Right, {100, 178});
    EXPECT_EQ(driver->lastMessageBox().title, "Attention");
    EXPECT_EQ(board(), ".........");
    EXPECT_EQ(random.draws, 1); // no reset
    EXPECT_TRUE(windows.shellCalls.empty());
    EXPECT_TRUE(main().loaded());
    clickCell(4); // and the game goes on
    EXPECT_EQ(board(), "....X....");
}

TEST_F(ConformanceTest, OnTheRealClockTheResetComesAfterAboutOneAndAHalfSeconds) {
    plat.seams.clock = nullptr;
    start();
    clickCell(4);
    const auto begin = std::chrono::steady_clock::now();
    tickCpu();
    while (noticeUp() && std::chrono::steady_clock::now() - begin < std::chrono::seconds(5))
        settle();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - begin)
                        .count();
    EXPECT_FALSE(noticeUp());
    EXPECT_EQ(board(), ".........");
    EXPECT_GE(ms, 1490);
    EXPECT_LT(ms, 1800);
}

// Ticks run inside the message box's own loop: the notice's countdown ends while the quit prompt
// is up.
TEST_F(ConformanceTest, TheClockTicksWhileTheQuitPromptIsUp) {
    if (!driver->meanwhileMayWait()) GTEST_SKIP() << "the driver cannot wait while the box is up";
    plat.seams.clock = nullptr;
    plat.seams.messageBox = nullptr;
    start();
    clickCell(4);
    tickCpu();
    ASSERT_TRUE(noticeUp());
    driver->answerNextMessageBox(Key::Escape, [this] {
        const auto begin = std::chrono::steady_clock::now();
        while (noticeUp() && std::chrono::steady_clock::now() - begin < std::chrono::seconds(5))
            settle();
    });
    driver->click(main(), tk::mouse::Right, {100, 178});
    EXPECT_EQ(driver->lastMessageBox().title, "Attention");
    EXPECT_FALSE(noticeUp());
    EXPECT_EQ(board(), ".........");
    EXPECT_TRUE(main().loaded());
}

// The core's tree reaches the platform's own accessibility interface, and follows the game.
TEST_F(ConformanceTest, AssistiveTechnologyReadsTheBoardAndTheControlsAsPlayed) {
    start();
    clickCell(4);
    const auto shows = [&](std::vector<std::string> expected) {
        const auto view = driver->accessibleView(main());
        for (const auto& line : expected)
            EXPECT_TRUE(std::find(view.begin(), view.end(), line) != view.end())
                << line << " is not among:\n"
                << ::testing::PrintToString(view);
    };
    shows({"table: Board", "cell: top left = empty", "cell: top middle = empty",
           "cell: top right = empty", "cell: middle left = empty", "cell: centre = X",
           "cell: middle right = empty", "cell: bottom left = empty", "cell: bottom middle = empty",
           "cell: bottom right = empty", "button: Reset", "check box: CPU"});
    tickCpu();
    shows({"check box: CPU (checked)"});
}

} // namespace
} // namespace gridlark::testing
