// The notice window: its look, its place, its countdown from the load, "OK", and the "CPU" box.
#include "tests/support/Fixture.hpp"

namespace gridlark::testing {
namespace {

using tk::testing::Key;

class NoticeTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        plat.seams.screenSize = tk::SizePx{1280, 1024};
        start();
        main().setLeft(1500);
        main().setTop(3000);
    }
    void tickCpu() { driver->clickControl(main(), "Check1"); }
    bool noticeUp() { return app->noticeLoaded(); }
};

TEST_F(NoticeTest, TickingCpuShowsTheDesignedNoticeDirectlyAboveTheMainWindow) {
    tickCpu();
    ASSERT_TRUE(noticeUp());
    EXPECT_TRUE(notice().visible());
    EXPECT_EQ(notice().lbl2().caption(), " AI enabled.");
    EXPECT_EQ(notice().lbl1().caption(), "Game will now reset");
    EXPECT_EQ(notice().Label2().caption(), "Gridlark by Fernwick");
    EXPECT_EQ(notice().left(), 1500);
    EXPECT_EQ(notice().top(), 3000 - 870);
    EXPECT_EQ(driver->clientSize(notice()), (tk::SizePx{188, 58}));
    EXPECT_FALSE(driver->framed(notice()));
    EXPECT_FALSE(driver->inTaskbar(notice()));
    EXPECT_EQ(notice().backColour(), tk::rgb(103, 113, 113));
    EXPECT_EQ(notice().cmdMain().backColour(), tk::rgb(103, 113, 113));
    EXPECT_EQ(driver->focusedControl(notice()), "cmdMain");

    // The labels stand in one column; a longer text grows to the right.
    EXPECT_EQ(notice().lbl2().left(), 120);
    EXPECT_EQ(notice().lbl1().top(), 360);
    EXPECT_EQ(notice().Label2().top(), 600);
    const int width = notice().lbl1().width();
    notice().lbl1().setCaption("Game will now reset, and then some more");
    EXPECT_GT(notice().lbl1().width(), width);
    EXPECT_EQ(notice().lbl1().left(), 120);

    const auto img = driver->grab(notice());
    EXPECT_EQ(img.at(5, 50), (tk::Rgb{103, 113, 113}));
    int green = 0;
    for (int y = 8; y < 21; ++y)
        for (int x = 8; x < 80; ++x)
            green += img.at(x, y) == tk::Rgb{0, 255, 0};
    EXPECT_GT(green, 20); // " AI enabled." in green
}

TEST_F(NoticeTest, TheCountdownResetsTheGameAndClosesTheNotice) {
    clickCell(4);
    clickCell(0);
    tickCpu();
    clock.advance(1499);
    EXPECT_TRUE(noticeUp());
    EXPECT_EQ(board(), "O...X....");
    random.values.push_back(0.75f);
    clock.advance(1);
    EXPECT_FALSE(noticeUp());
    EXPECT_EQ(board(), ".........");
    EXPECT_EQ(main().Turn().caption(), "O");
    EXPECT_EQ(main().Check1().value(), 1); // the computer plays in the new game
    EXPECT_EQ(clock.running(), 0u);
    EXPECT_FALSE(quitAsked());
}

TEST_F(NoticeTest, UntickingDoesNothing) {
    tickCpu();
    driver->clickControl(notice(), "cmdMain");
    clickCell(4);
    tickCpu(); // unticks
    EXPECT_EQ(main().Check1().value(), 0);
    EXPECT_FALSE(noticeUp());
    clock.advance(5000);
    EXPECT_NE(board(), ".........");
}

TEST_F(NoticeTest, OkClosesAtOnceWithoutAReset) {
    for (Key key : {Key::Enter, Key::Space}) {
        setBoard("XX.OO....");
        main().Line2(3).setVisible(true);
        main().Check1().setValue(0);
        tickCpu();
        ASSERT_TRUE(noticeUp());
        driver->key(notice(), key);
        EXPECT_FALSE(noticeUp());
        clock.advance(3000);
        EXPECT_EQ(board(), "XX.OO....");
        EXPECT_EQ(visibleLines(), std::vector<int>{3});
        EXPECT_EQ(main().Check1().value(), 1);
    }
    // And with the mouse.
    main().Check1().setValue(0);
    tickCpu();
    driver->clickControl(notice(), "cmdMain");
    EXPECT_FALSE(noticeUp());
}

TEST_F(NoticeTest, GoesBelowWhenTheMainWindowsTopIsNotMoreThanItsHeight) {
    // Never above the screen, wherever the main window was dragged.
    for (auto [top, expected] : {std::pair{870, 870 + 3600}, {885, 15}, {0, 3600}, {-4500, 0}}) {
        main().setTop(top);
        main().setLeft(0);
        tickCpu();
        EXPECT_EQ(notice().top(), expected) << top;
        EXPECT_EQ(notice().left(), 0);
        driver->clickControl(notice(), "cmdMain");
        main().Check1().setValue(0);
    }
}

TEST_F(NoticeTest, ASecondNoticeKeepsTheFirstCountdownAndPlace) {
    tickCpu();
    clock.advance(1000);
    main().setLeft(6000);
    main().setTop(6000);
    // X wins on the top row while the CPU notice is up; the computer's picks stay low.
    main().Check1().setValue(0);
    setBoard("XX.OO....");
    main().Turn().setCaption("X");
    clickCell(2);
    EXPECT_EQ(notice().lbl1().caption(), "X wins!");
    EXPECT_EQ(notice().lbl2().caption(), "Game will now reset");
    EXPECT_EQ(notice().left(), 1500);
    EXPECT_EQ(notice().top(), 2130);
    // Ticking "CPU" again now only shows what is up.
    tickCpu();
    EXPECT_EQ(notice().lbl1().caption(), "X wins!");
    clock.advance(499);
    EXPECT_TRUE(noticeUp());
    clock.advance(1);
    EXPECT_FALSE(noticeUp());
    EXPECT_EQ(board(), ".........");

    // The next notice starts from the design again, placed anew.
    main().Check1().setValue(0);
    tickCpu();
    EXPECT_EQ(notice().lbl1().caption(), "Game will now reset");
    EXPECT_EQ(notice().lbl2().caption(), " AI enabled.");
    EXPECT_EQ(notice().left(), 6000);
    EXPECT_EQ(notice().top(), 6000 - 870);
}

TEST_F(NoticeTest, ResetWhileANoticeIsUpClearsNowAndAgainOnTheTick) {
    tickCpu();
    clickCell(4);
    driver->clickControl(main(), "Reset");
    EXPECT_EQ(board(), ".........");
    main().Check1().setValue(0);
    tickCpu(); // still up: nothing new
    clickCell(0);
    const int draws = random.draws;
    clock.advance(1500);
    EXPECT_EQ(board(), ".........");
    EXPECT_EQ(random.draws, draws + 1);
}

TEST_F(NoticeTest, MovingTheMainWindowLeavesTheNoticeWhereItWas) {
    tickCpu();
    main().setLeft(9000);
    main().setTop(9000);
    EXPECT_EQ(notice().left(), 1500);
    EXPECT_EQ(notice().top(), 2130);
}

// A notice outlives the main window when Yes is given while it is up. Its tick must not bring
// the main window back, and the program must end once the notice is gone.
TEST_F(NoticeTest, ANoticeThatOutlivesTheMainWindowEndsTheProgramWithoutReloadingIt) {
    tickCpu();
    answer = tk::msgbox::Answer::Yes;
    driver->click(main(), tk::mouse::Right, {100, 178});
    EXPECT_FALSE(app->mainLoaded());
    EXPECT_TRUE(noticeUp());
    EXPECT_FALSE(quitAsked());
    const int draws = random.draws;
    clock.advance(1500);
    EXPECT_FALSE(noticeUp());
    EXPECT_FALSE(app->mainLoaded());
    EXPECT_EQ(random.draws, draws); // no reset ran
    EXPECT_TRUE(quitAsked());
}

TEST_F(NoticeTest, OkOnANoticeThatOutlivesTheMainWindowEndsTheProgram) {
    tickCpu();
    driver->closeWindow(main());
    EXPECT_FALSE(quitAsked());
    driver->clickControl(notice(), "cmdMain");
    EXPECT_FALSE(app->mainLoaded());
    EXPECT_TRUE(quitAsked());
}

} // namespace
} // namespace gridlark::testing
