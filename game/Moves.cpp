// A move on a cell, and the computer's answer: a random cell among 0 to 7, or else the free
// cell with the highest index. No strategy, and no lock once a game is over.
#include "main/frmDarIzoDiv2.hpp"

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

    if (rules::full(board())) return;
    if (Check1().value() != 1) return;

    tk::Random& random = platform().random();
    random.reseedFromClock();
    const int cell = rules::computerPick(board(), random.next());
    Toe(cell).setCaption(Turn().caption());
    CheckWin();
    SwitchTurn();
}

} // namespace gridlark
