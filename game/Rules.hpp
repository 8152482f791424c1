// The game's rules without a window: the board as a value, its lines and their names, and what
// follows from a board. The forms keep the game in their controls; a Board is a snapshot of them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace gridlark::rules {

// Each cell's caption, row by row: "" is a free cell. Any caption is a mark, as on the form.
using Board = std::array<std::string, 9>;

// Bytes and plain pointers: the table sits in every program's read-only data.
struct Line {
    std::array<std::uint8_t, 3> cells;
    std::uint8_t strike; // the Line2 element that strikes it through
    const char* name;    // what assistive technology calls it
};

// Rows, then diagonals, then columns: a move that completes two lines strikes the first.
inline constexpr std::array<Line, 8> kLines{{
    {{0, 1, 2}, 0, "top row"},
    {{3, 4, 5}, 1, "middle row"},
    {{6, 7, 8}, 2, "bottom row"},
    {{0, 4, 8}, 6, "diagonal from top left"},
    {{2, 4, 6}, 7, "diagonal from top right"},
    {{0, 3, 6}, 3, "left column"},
    {{1, 4, 7}, 4, "middle column"},
    {{2, 5, 8}, 5, "right column"},
}};

inline constexpr std::array<const char*, 9> kCellNames{
    "top left",     "top middle",  "top right",     "middle left", "centre",
    "middle right", "bottom left", "bottom middle", "bottom right"};

// The line that Line2(element) strikes through.
constexpr const Line& struckBy(int element) {
    for (const Line& line : kLines)
        if (line.strike == element) return line;
    return kLines[0]; // elements run 0 to 7, each struck by one line
}

// The first line, in checking order, whose three cells all read `mark`; nullptr if none.
const Line* winningLine(const Board& board, std::string_view mark);

bool full(const Board& board);

// The computer's cell for one draw `r` in [0, 1): a cell among 0 to 7, or, when that one is
// taken, the free cell with the highest index.
int computerPick(const Board& board, float r);

} // namespace gridlark::rules
