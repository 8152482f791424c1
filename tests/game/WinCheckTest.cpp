// Win and draw detection after each move.
#include "tests/support/Fixture.hpp"

namespace gridlark::testing {
namespace {

class WinCheckTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        start();
    }
    // X plays `cell` on `cells`.
    void play(std::string_view cells, int cell) {
        setBoard(cells);
        main().Turn().setCaption("X");
        clickCell(cell);
    }
};

TEST_F(WinCheckTest, EachLineStrikesItsOwnLine) {
    for (const rules::Line& line : rules::kLines) {
        main().ResetGame();
        std::string cells(9, '.');
        cells[static_cast<std::size_t>(line.cells[0])] = 'X';
        cells[static_cast<std::size_t>(line.cells[1])] = 'X';
        play(cells, line.cells[2]);
        EXPECT_EQ(visibleLines(), std::vector<int>{line.strike}) << line.name;
        EXPECT_EQ(notice().lbl1().caption(), "X wins!");
        EXPECT_EQ(notice().lbl2().caption(), "Game will now reset");
        EXPECT_TRUE(notice().visible());
        EXPECT_EQ(main().Turn().caption(), "O"); // the turn passes all the same
        driver->clickControl(notice(), "cmdMain");
    }
}

TEST_F(WinCheckTest, TwoLinesAtOnceStrikeOnlyTheFirstInTestOrder) {
    play(".XXX..X..", 0); // top row and left column
    EXPECT_EQ(visibleLines(), std::vector<int>{0});
    main().ResetGame();
    play("X.XX.XX.X", 4); // middle row and both diagonals
    EXPECT_EQ(visibleLines(), std::vector<int>{1});
    main().ResetGame();
    play("..X..XXX.", 8); // bottom row and right column
    EXPECT_EQ(visibleLines(), std::vector<int>{2});
    main().ResetGame();
    play("...XX.X.X", 0); // a diagonal before a column
    EXPECT_EQ(visibleLines(), std::vector<int>{6});
}

TEST_F(WinCheckTest, AWinOnTheLastCellIsNoDraw) {
    play("XOXOXOOX.", 8);
    EXPECT_EQ(visibleLines(), std::vector<int>{6});
    EXPECT_EQ(notice().lbl1().caption(), "X wins!");
}

TEST_F(WinCheckTest, AFullBoardWithoutALineIsADraw) {
    play("XOXXOOO.X", 7);
    EXPECT_TRUE(visibleLines().empty());
    EXPECT_EQ(notice().lbl1().caption(), "Draw!");
    EXPECT_EQ(notice().lbl2().caption(), "Game will now reset");
    EXPECT_TRUE(notice().visible());
}

TEST_F(WinCheckTest, NothingHappensWhileCellsAreFreeAndNoLineIsComplete) {
    play("XOXO.....", 5);
    EXPECT_TRUE(visibleLines().empty());
    EXPECT_FALSE(app->noticeLoaded());
}

TEST_F(WinCheckTest, OnlyTheMarkJustPlayedIsLookedFor) {
    play("OOO......", 4);
    EXPECT_TRUE(visibleLines().empty());
    EXPECT_FALSE(app->noticeLoaded());
}

TEST_F(WinCheckTest, AfterAWinTheBoardStaysLiveAndAVisibleLineSuppressesTheDraw) {
    play("XX.OO....", 2);
    ASSERT_EQ(visibleLines(), std::vector<int>{0});
    clickCell(5); // O completes the middle row: a second line, a second winner
    EXPECT_EQ(visibleLines(), (std::vector<int>{0, 1}));
    EXPECT_EQ(notice().lbl1().caption(), "O wins!");
    for (int cell : {6, 7, 8})
        clickCell(cell); // fills the board
    EXPECT_EQ(board(), "XXXOOOXOX");
    // X's last move finds X's top row again; a full board is never a draw here.
    EXPECT_EQ(notice().lbl1().caption(), "X wins!");
    EXPECT_EQ(visibleLines(), (std::vector<int>{0, 1}));
}

} // namespace
} // namespace gridlark::testing
