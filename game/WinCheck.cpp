// Win and draw detection after every move.
#include "main/Gridlark.hpp"
#include "main/frmDarIzoDiv2.hpp"
#include "notice/frmMessage.hpp"

#include <array>

namespace gridlark {

namespace {

struct LineTest {
    std::array<int, 3> cells;
    int line; // the Line2 element that strikes it through
};

// Rows, then diagonals, then columns: the first complete one wins the strike-through.
constexpr std::array<LineTest, 8> kTests{{
    {{0, 1, 2}, 0},
    {{3, 4, 5}, 1},
    {{6, 7, 8}, 2},
    {{0, 4, 8}, 6},
    {{2, 4, 6}, 7},
    {{0, 3, 6}, 3},
    {{1, 4, 7}, 4},
    {{2, 5, 8}, 5},
}};

} // namespace

void frmDarIzoDiv2::CheckWin() {
    for (const LineTest& test : kTests) {
        bool complete = true;
        for (int cell : test.cells)
            if (Toe(cell).caption() != Turn().caption()) complete = false;
        if (complete) {
            Line2(test.line).setVisible(true);
            AnnounceWinner();
            break;
        }
    }
    // Any visible line means a won game, which is never also a draw.
    for (int k = 0; k <= 7; ++k)
        if (Line2(k).visible()) return;

    bool full = true;
    for (int i = 0; i <= 8; ++i)
        if (Toe(i).caption() == "") full = false;
    if (!full) return;

    gridlark::frmMessage& notice = app_.frmMessage();
    notice.lbl1().setCaption("Draw!");
    notice.lbl2().setCaption("Game will now reset");
    notice.show();
}

void frmDarIzoDiv2::AnnounceWinner() {
    gridlark::frmMessage& notice = app_.frmMessage();
    notice.lbl1().setCaption(Turn().caption() + " wins!");
    notice.lbl2().setCaption("Game will now reset");
    notice.show();
}

} // namespace gridlark
