#include "game/Rules.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace gridlark::rules {

const Line* winningLine(const Board& board, std::string_view mark) {
    for (const Line& line : kLines)
        if (std::all_of(line.cells.begin(), line.cells.end(),
                        [&](int c) { return board[std::size_t(c)] == mark; }))
            return &line;
    return nullptr;
}

bool full(const Board& board) {
    return std::none_of(board.begin(), board.end(), [](const std::string& c) { return c.empty(); });
}

int computerPick(const Board& board, float r) {
    // The draw is widened before scaling and truncated to 16 bits, as the game always has.
    const auto pick = static_cast<std::int16_t>(std::floor(double(r) * 8.0));
    int cell = pick;
    if (!board[std::size_t(pick)].empty()) {
        for (int j = 0; j <= 8; ++j)
            if (board[std::size_t(j)].empty()) cell = j;
    }
    return cell;
}

} // namespace gridlark::rules
