// The rules alone: boards written as nine characters, '.' for a free cell; no window.
#include "game/Rules.hpp"

#include <gtest/gtest.h>

namespace gridlark::rules {
namespace {

Board boardOf(std::string_view cells) {
    Board b;
    for (std::size_t i = 0; i < b.size(); ++i)
        if (cells[i] != '.') b[i] = std::string(1, cells[i]);
    return b;
}

TEST(RulesTest, AWinIsTheFirstCompleteLineInCheckingOrderWithItsStrikeAndName) {
    struct Case {
        std::string_view cells;
        int strike;
        std::string_view name;
    };
    for (const Case& c : {Case{"XXX.O.O..", 0, "top row"},
                          {"O..XXX..O", 1, "middle row"},
                          {"O.O...XXX", 2, "bottom row"},
                          {"X..XO.XO.", 3, "left column"},
                          {".X..XO.XO", 4, "middle column"},
                          {"O.X.OX..X", 5, "right column"},
                          {"X.O.X.O.X", 6, "diagonal from top left"},
                          {"O.X.X.X.O", 7, "diagonal from top right"},
                          {"XXXX..X..", 0, "top row"},                   // before the left column
                          {"X.XXXXX.X", 1, "middle row"},                // before both diagonals
                          {"..X..XXXX", 2, "bottom row"},                // before the right column
                          {"X..XX.X.X", 6, "diagonal from top left"}}) { // before a column
        const Line* won = winningLine(boardOf(c.cells), "X");
        ASSERT_NE(won, nullptr) << c.cells;
        EXPECT_EQ(won->strike, c.strike) << c.cells;
        EXPECT_EQ(won->name, c.name) << c.cells;
        EXPECT_EQ(&struckBy(c.strike), won);
    }
    // Only the mark asked for completes a line.
    EXPECT_EQ(winningLine(boardOf("OOOXX...."), "X"), nullptr);
    EXPECT_EQ(winningLine(boardOf("XOXXOOOXX"), "X"), nullptr);
}

TEST(RulesTest, AnyCaptionTakesACell) {
    EXPECT_TRUE(full(boardOf("XOXXOOOXX")));
    EXPECT_TRUE(full(boardOf("XOXX?OOxX")));
    EXPECT_FALSE(full(boardOf("XOXXOOO.X")));
    EXPECT_FALSE(full(boardOf("........X")));
}

// One draw r picks floor(r * 8); a taken pick falls to the highest free cell.
TEST(RulesTest, TheComputerPicksAmongTheFirstEightOrTheHighestFreeCell) {
    for (auto [r, cell] : {std::pair{0.0f, 0}, {0.124f, 0}, {0.125f, 1}, {0.99999994f, 7}})
        EXPECT_EQ(computerPick(boardOf("........X"), r), cell) << r;
    EXPECT_EQ(computerPick(boardOf("X........"), 0.0f), 8);
    EXPECT_EQ(computerPick(boardOf("XO.O....X"), 0.2f), 7);
    EXPECT_EQ(computerPick(boardOf("XOX.O.XXO"), 0.99f), 5); // 7 taken, 5 the highest free
}

} // namespace
} // namespace gridlark::rules
