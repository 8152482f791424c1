#include "notice/frmMessage.hpp"

#include "main/Gridlark.hpp"

#include <algorithm>

namespace gridlark {

frmMessage::frmMessage(tk::Platform& platform, Gridlark& app)
    : tk::Form(platform, frmMessageDesign)
    , app_(app) {
    using tk::Event;
    on(tk::kFormEvents, Event::Load, [this](const tk::EventArgs&) { Form_Load(); });
    on("Timer1", Event::Timer, [this](const tk::EventArgs&) { Timer1_Timer(); });
    on("cmdMain", Event::Click, [this](const tk::EventArgs&) { cmdMain_Click(); });
    // A result in lbl1 is read first, though the line above it is painted first.
    using Role = tk::Presentation::Role;
    present("lbl1", -1, {.role = Role::Text, .lead = true});
    present("lbl2", -1, {.role = Role::Text});
    present("Label2", -1, {.role = Role::Text});
    presentAsAlert();
}

void frmMessage::Form_Load() {
    setBackColour(tk::rgb(103, 113, 113));
    cmdMain().setBackColour(backColour());

    // Directly above the main window, or below it when there is no room above.
    tk::Form& main = app_.mainWindow();
    const int T = main.top();
    const int H = main.height();
    const int h = height();
    if (T > h)
        setTop(T - h);
    else
        setTop(std::max(0, T + H)); // never above the screen
    setLeft(main.left());

    Timer1().setEnabled(true);
}

void frmMessage::Timer1_Timer() {
    // A notice can outlive the main window; it must not bring that window back.
    if (app_.mainLoaded()) app_.ResetGame();
    unload();
}

void frmMessage::cmdMain_Click() {
    unload();
}

} // namespace gridlark
