#include "main/Gridlark.hpp"

#include "main/frmDarIzoDiv2.hpp"
#include "notice/frmMessage.hpp"

namespace gridlark {

Gridlark::Gridlark(tk::Platform& platform)
    : platform_(platform)
    , main_([this] { return std::make_unique<gridlark::frmDarIzoDiv2>(platform_, *this); })
    , notice_([this] { return std::make_unique<gridlark::frmMessage>(platform_, *this); }) {}

Gridlark::~Gridlark() = default;

frmDarIzoDiv2& Gridlark::frmDarIzoDiv2() {
    return main_();
}

frmMessage& Gridlark::frmMessage() {
    return notice_();
}

bool Gridlark::mainLoaded() const {
    return main_.loaded();
}

bool Gridlark::noticeLoaded() const {
    return notice_.loaded();
}

tk::Form& Gridlark::mainWindow() {
    return main_();
}

void Gridlark::ResetGame() {
    main_().ResetGame();
}

WindowsVersion Gridlark::GetWindowsVersion() {
    return osVersion_.GetWindowsVersion(platform_.windowsApi());
}

void Gridlark::start() {
    main_().show();
}

} // namespace gridlark
