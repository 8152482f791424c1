// The program: its two forms, created on first use, and the version module. Each form reaches
// the other through this object alone.
#pragma once

#include "main/modOSversion.hpp"
#include "platform/Form.hpp"

namespace gridlark {

class frmDarIzoDiv2;
class frmMessage;

class Gridlark {
public:
    explicit Gridlark(tk::Platform& platform);
    ~Gridlark();
    Gridlark(const Gridlark&) = delete;
    Gridlark& operator=(const Gridlark&) = delete;

    gridlark::frmDarIzoDiv2& frmDarIzoDiv2();
    gridlark::frmMessage& frmMessage();
    bool mainLoaded() const;
    bool noticeLoaded() const;

    // What the notice needs of the main window: where it stands, and a fresh game.
    tk::Form& mainWindow();
    void ResetGame();

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
