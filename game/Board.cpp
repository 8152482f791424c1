// The board, the turn and the reset. The board is nothing but the nine cells' captions.
#include "main/frmDarIzoDiv2.hpp"

#include <cmath>

namespace gridlark {

void frmDarIzoDiv2::ResetGame() {
    tk::Random& random = platform().random();
    random.reseedFromClock();
    const float u = random.next();
    const int r = static_cast<int>(std::floor(2.0f * u)) + 1;
    Turn().setCaption(r == 1 ? "X" : "O");
    // Cells and lines alternately; there are nine cells but only eight lines.
    for (int i = 0; i <= 8; ++i) {
        Toe(i).setCaption("");
        if (i < 8) Line2(i).setVisible(false);
    }
}

void frmDarIzoDiv2::Reset_Click() {
    ResetGame();
}

rules::Board frmDarIzoDiv2::board() {
    rules::Board b;
    for (int i = 0; i <= 8; ++i)
        b[std::size_t(i)] = Toe(i).caption();
    return b;
}

void frmDarIzoDiv2::SwitchTurn() {
    Turn().setCaption(Turn().caption() == "X" ? "O" : "X");
}

} // namespace gridlark
