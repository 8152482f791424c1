// The "CPU" box: ticking it announces the computer and, through the notice, a fresh game.
#include "main/Gridlark.hpp"
#include "main/frmDarIzoDiv2.hpp"
#include "notice/frmMessage.hpp"

namespace gridlark {

void frmDarIzoDiv2::Check1_Click() {
    if (Check1().value() == 1) app_.frmMessage().show();
}

} // namespace gridlark
