// Win and draw detection after every move.
#include "main/Gridlark.hpp"
#include "main/frmDarIzoDiv2.hpp"
#include "notice/frmMessage.hpp"

namespace gridlark {

void frmDarIzoDiv2::CheckWin() {
    const rules::Board cells = board();
    if (const rules::Line* won = rules::winningLine(cells, Turn().caption())) {
        Line2(won->strike).setVisible(true);
        AnnounceWinner();
    }
    // Any visible line means a won game, which is never also a draw.
    for (int k = 0; k <= 7; ++k)
        if (Line2(k).visible()) return;

    if (!rules::full(cells)) return;

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
