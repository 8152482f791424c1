// The application: its two forms, created on first use, and the version module.
#pragma once

#include "frmDarIzoDiv2.hpp"
#include "modOSversion.hpp"
#include "notice/frmMessage.hpp"

namespace gridlark {

class Gridlark {
public:
    explicit Gridlark(tk::Platform& platform);
    ~Gridlark();
    Gridlark(const Gridlark&) = delete;
    Gridlark& operator=(const Gridlark&) = delete;

    gridlark::frmDarIzoDiv2& frmDarIzoDiv2() { return main_(); }
    gridlark::frmMessage& frmMessage() { return notice_(); }
    bool mainLoaded() const { return main_.loaded(); }
    bool noticeLoaded() const { return notice_.loaded(); }

    // The version module asks through the platform's current Windows calls.
    WindowsVersion GetWindowsVersion();

    // Creates the start-up window and shows it.
    void start();

    tk::Platform& platform() const { return platform_; }

private:
    tk::Platform& platform_;
    modOSversion osVersion_{};
    // The notice goes first at the end: its window may refer to the main one.
    tk::FormRef<gridlark::frmDarIzoDiv2> main_;
    tk::FormRef<gridlark::frmMessage> notice_;
};

} // namespace gridlark
