// Moves and the computer's answer.
#include "tests/support/Fixture.hpp"

#include <array>

namespace gridlark::testing {
namespace {

class MovesTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        start(); // X to play
    }
    void computerOn() {
        main().Check1().setValue(1); // the notice it opens waits on the test's clock
    }
};

TEST_F(MovesTest, OnlyALeftPressOnAFreeCellMoves) {
    clickCell(4, tk::mouse::Right);
    clickCell(4, tk::mouse::Middle);
    EXPECT_EQ(board(), ".........");
    EXPECT_EQ(main().Turn().caption(), "X");
    driver->click(main(), tk::mouse::Left, cellCentre(4), tk::keys::Shift | tk::keys::Ctrl);
    EXPECT_EQ(board(), "....X....");
    EXPECT_EQ(main().Turn().caption(), "O");
}

TEST_F(MovesTest, AnOccupiedCellChangesNothingAndGetsNoAnswer) {
    computerOn();
    random.values = {0.3f}; // the computer's pick for the first click: cell 2
    for (int i = 0; i < 3; ++i)
        clickCell(4);
    EXPECT_EQ(board(), "..O.X....");
    EXPECT_EQ(main().Turn().caption(), "X");
    EXPECT_EQ(random.draws, 2); // the start's and one pick
}

TEST_F(MovesTest, TheComputerTakesAFreePickAndReseedsBeforeEachDraw) {
    computerOn();
    const int reseeds = random.reseeds;
    random.values = {0.999f, 0.5f};
    clickCell(8);
    EXPECT_EQ(board(), ".......OX");
    clickCell(0);
    EXPECT_EQ(board(), "X...O..OX");
    EXPECT_EQ(random.reseeds, reseeds + 2);
    EXPECT_EQ(main().Turn().caption(), "X");
}

TEST_F(MovesTest, AFirstMoveInCellEightIsAnsweredInCellsZeroToSeven) {
    computerOn();
    for (float u : {0.0f, 0.124f, 0.125f, 0.6f, 0.99999994f}) {
        setBoard(".........");
        main().Turn().setCaption("X");
        random.values = {u};
        clickCell(8);
        const int expected = static_cast<int>(u * 8);
        EXPECT_EQ(main().Toe(expected).caption(), "O") << u;
        EXPECT_EQ(board().find('O'), static_cast<std::size_t>(expected));
    }
}

TEST_F(MovesTest, ATakenPickFallsBackToTheHighestFreeCell) {
    computerOn();
    random.values = {0.0f}; // picks cell 0, which the human just took
    clickCell(0);
    EXPECT_EQ(board(), "X.......O");

    setBoard("XO.O....X");
    main().Turn().setCaption("X");
    random.values = {0.2f}; // picks cell 1, taken; cell 8 is taken too
    clickCell(6);
    EXPECT_EQ(board(), "XO.O..XOX");
}

TEST_F(MovesTest, WithoutTheComputerMarksAlternate) {
    for (int cell : {0, 1, 2, 3})
        clickCell(cell);
    EXPECT_EQ(board(), "XOXO.....");
    EXPECT_EQ(random.draws, 1);
}

TEST_F(MovesTest, NoAnswerWhenTheHumanFillsTheBoard) {
    computerOn();
    setBoard("XOXXOOO.X");
    main().Turn().setCaption("X");
    const int draws = random.draws;
    clickCell(7);
    EXPECT_EQ(board(), "XOXXOOOXX");
    EXPECT_EQ(random.draws, draws);
    EXPECT_EQ(main().Turn().caption(), "O");
}

TEST_F(MovesTest, TheComputerStillAnswersAWinningMove) {
    computerOn();
    setBoard("XX.OO....");
    main().Turn().setCaption("X");
    random.values = {0.7f}; // cell 5: O completes the middle row as well
    clickCell(2);
    EXPECT_EQ(board(), "XXXOOO...");
    EXPECT_EQ(visibleLines(), (std::vector<int>{0, 1}));
    EXPECT_EQ(notice().lbl1().caption(), "O wins!");
    EXPECT_EQ(main().Turn().caption(), "X");
}

// Each free cell of 0..7 gets 1/8 from the draw; the highest free cell also gets k/8, k being
// the taken cells among 0..7. Here k = 3 and cell 8 is the highest free one.
TEST_F(MovesTest, TheHighestFreeCellTakesTheShareOfTheTakenPicks) {
    computerOn();
    plat.seams.random = nullptr;
    std::array<int, 9> taken{};
    constexpr int kTrials = 4000;
    for (int t = 0; t < kTrials; ++t) {
        setBoard("XO.......");
        main().Turn().setCaption("X");
        clickCell(2);
        const std::string b = board();
        for (int i = 3; i < 9; ++i)
            taken[static_cast<std::size_t>(i)] += b[static_cast<std::size_t>(i)] == 'O';
    }
    EXPECT_NEAR(taken[8] / double(kTrials), 3.0 / 8, 0.04);
    for (int i = 3; i < 8; ++i)
        EXPECT_NEAR(taken[static_cast<std::size_t>(i)] / double(kTrials), 1.0 / 8, 0.03) << i;
}

} // namespace
} // namespace gridlark::testing
