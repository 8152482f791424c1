#include "Gridlark.hpp"

namespace gridlark {

Gridlark::Gridlark(tk::Platform& platform)
    : platform_(platform)
    , main_([this] { return std::make_unique<gridlark::frmDarIzoDiv2>(platform_, *this); })
    , notice_([this] { return std::make_unique<gridlark::frmMessage>(platform_, *this); }) {}

Gridlark::~Gridlark() = default;

WindowsVersion Gridlark::GetWindowsVersion() {
    return osVersion_.GetWindowsVersion(platform_.windowsApi());
}

void Gridlark::start() {
    frmDarIzoDiv2().show();
}

} // namespace gridlark
