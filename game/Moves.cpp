// A move on a cell, and the computer's answer: a random cell among 0 to 7, or else the free
// cell with the highest index. No strategy, and no lock once a game is over.
#include "main/frmDarIzoDiv2.hpp"

#include <cmath>
#include <cstdint>
#include <string>

namespace gridlark {

void frmDarIzoDiv2::Toe_MouseDown(int Index, int Button, int Shift, float X, float Y) {
    (void)Shift;
    (void)X;
    (void)Y;
    if (Button != tk::mouse::Left) return;
    if (Toe(Index).caption() != "") return;

    Toe(Index).setCaption(Turn().caption());
    CheckWin();
    SwitchTurn();

    std::string freeCells;
    for (int i = 0; i <= 8; ++i)
        if (Toe(i).caption() == "") freeCells += static_cast<char>('0' + i);
    if (freeCells.empty()) return;
    if (Check1().value() != 1) return;

    tk::Random& random = platform().random();
    random.reseedFromClock();
    const auto pick = static_cast<std::int16_t>(std::floor(double(random.next()) * 8.0));

    auto cell = static_cast<std::uint8_t>(pick);
    if (Toe(pick).caption() != "") {
        for (int j = 0; j <= 8; ++j)
            if (Toe(j).caption() == "") cell = static_cast<std::uint8_t>(j);
    }
    Toe(cell).setCaption(Turn().caption());
    CheckWin();
    SwitchTurn();
}

} // namespace gridlark
