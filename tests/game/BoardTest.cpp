// The board, the turn and the reset.
#include "tests/support/Fixture.hpp"

#include <chrono>

namespace gridlark::testing {
namespace {

using BoardTest = AppTest;

TEST_F(BoardTest, ResetDrawsTheStartingMarkAfterReseeding) {
    start();
    EXPECT_EQ(random.reseeds, 1);
    EXPECT_EQ(random.draws, 1);
    for (auto [u, mark] : {std::pair{0.0f, "X"}, {0.4999f, "X"}, {0.5f, "O"}, {0.99999994f, "O"}}) {
        random.values.push_back(u);
        main().ResetGame();
        EXPECT_EQ(main().Turn().caption(), mark) << u;
    }
    EXPECT_EQ(random.reseeds, 5);
    EXPECT_EQ(random.draws, 5);
}

TEST_F(BoardTest, ResetClearsMarksAndLinesButLeavesTheComputerSwitch) {
    start();
    setBoard("XOXOXOXOX");
    for (int k = 0; k < 8; ++k)
        main().Line2(k).setVisible(true);
    main().Check1().setValue(1);
    driver->clickControl(main(), "Reset");
    EXPECT_EQ(board(), ".........");
    EXPECT_TRUE(visibleLines().empty());
    EXPECT_EQ(main().Check1().value(), 1);
}

TEST_F(BoardTest, ClicksOnFreeCellsAlternateTheMarks) {
    start();
    random.values.push_back(0.9f);
    main().ResetGame(); // O starts
    for (int cell : {4, 0, 8})
        clickCell(cell);
    EXPECT_EQ(board(), "X...O...O");
    EXPECT_EQ(main().Turn().caption(), "X");
}

TEST_F(BoardTest, SwitchTurnMakesXOfAnythingButX) {
    start();
    for (auto [turn, next] : {std::pair{"x", "X"}, {"", "X"}, {"O", "X"}, {"X", "O"}}) {
        setBoard(".........");
        main().Turn().setCaption(turn);
        clickCell(2);
        EXPECT_EQ(main().Toe(2).caption(), turn);
        EXPECT_EQ(main().Turn().caption(), next) << '"' << turn << '"';
    }
}

TEST_F(BoardTest, BothMarksStartAboutEquallyOftenWithTheClockSeededGenerator) {
    start();
    plat.seams.random = nullptr;
    int x = 0;
    constexpr int kResets = 4000;
    for (int i = 0; i < kResets; ++i) {
        // Each reset at a new reading of the clock, as a player's are: a browser's clock is
        // coarse enough for two resets in a row to share one.
        const auto last = std::chrono::high_resolution_clock::now();
        while (std::chrono::high_resolution_clock::now() == last) {
        }
        main().ResetGame();
        x += main().Turn().caption() == "X";
    }
    // Five standard deviations either side of one half.
    EXPECT_NEAR(x, kResets / 2, 160);
}

} // namespace
} // namespace gridlark::testing
