#include "main/frmDarIzoDiv2.hpp"

#include <cmath>
#include <string>

namespace gridlark {

frmDarIzoDiv2::frmDarIzoDiv2(tk::Platform& platform, Gridlark& app)
    : tk::Form(platform, frmDarIzoDiv2Design)
    , app_(app) {
    using tk::Event;
    const auto form = tk::kFormEvents;
    on(form, Event::Initialize, [this](const tk::EventArgs&) { Form_Initialize(); });
    on(form, Event::Load, [this](const tk::EventArgs&) { Form_Load(); });
    on(form, Event::Unload, [this](const tk::EventArgs&) { Form_Unload(); });
    on(form, Event::MouseDown,
       [this](const tk::EventArgs& e) { Form_MouseDown(e.button, e.shift, e.x, e.y); });
    on(form, Event::MouseMove,
       [this](const tk::EventArgs& e) { Form_MouseMove(e.button, e.shift, e.x, e.y); });
    on(form, Event::MouseUp,
       [this](const tk::EventArgs& e) { Form_MouseUp(e.button, e.shift, e.x, e.y); });
    on(form, Event::DblClick, [this](const tk::EventArgs&) { Form_DblClick(); });
    on("Reset", Event::Click, [this](const tk::EventArgs&) { Reset_Click(); });
    on("Check1", Event::Click, [this](const tk::EventArgs&) { Check1_Click(); });
    on("Toe", Event::MouseDown,
       [this](const tk::EventArgs& e) { Toe_MouseDown(e.index, e.button, e.shift, e.x, e.y); });
    on("Label1", Event::MouseDown,
       [this](const tk::EventArgs& e) { Label1_MouseDown(e.button, e.shift, e.x, e.y); });
    presentToAssistiveTechnology();
}

void frmDarIzoDiv2::presentToAssistiveTechnology() {
    using Role = tk::Presentation::Role;
    // Tab goes Reset, CPU, the board, the link.
    present("Turn", -1, {.role = Role::Text, .joins = "Label13", .live = true});
    present("Label1", -1, {.role = Role::Link, .tabIndex = 8});
    presentGrid("Board", 7);
    for (int i = 0; i <= 8; ++i) {
        const int row = i / 3, column = i % 3;
        present("Toe", i,
                {.role = Role::Cell,
                 .name = std::string(rules::kCellNames[std::size_t(i)]),
                 .row = row,
                 .column = column});
    }
    for (int k = 0; k <= 7; ++k)
        present(
            "Line2", k,
            {.role = Role::Mark, .name = std::string(rules::struckBy(k).name) + " struck through"});
}

void frmDarIzoDiv2::clearVariables() {
    DragStartX = 0;
    DragStartY = 0;
    IsDragging = false;
}

void frmDarIzoDiv2::Form_Initialize() {
    platform().windowsApi().InitCommonControls();
}

void frmDarIzoDiv2::Form_Load() {
    Reset().setBackColour(tk::rgb(103, 113, 113));
    Check1().setBackColour(Reset().backColour());
    Reset_Click();
}

void frmDarIzoDiv2::Form_MouseDown(int Button, int Shift, float X, float Y) {
    (void)Shift;
    if (Button == tk::mouse::Left) {
        DragStartX = static_cast<std::int32_t>(std::nearbyint(double(X) * double(unitX())));
        DragStartY = static_cast<std::int32_t>(std::nearbyint(double(Y) * double(unitY())));
        IsDragging = true;
        return;
    }
    if (Button != tk::mouse::Right) return;

    bool empty = true;
    for (int i = 0; i <= 8; ++i)
        if (Toe(i).caption() != "") empty = false;
    std::string prompt = "Are you sure you want to Quit the game?";
    if (!empty) prompt += "\r\nAll Game progress will get lost if you proceed!";
    using namespace tk::msgbox;
    platform().messageBox(prompt, {Buttons::YesNo, Icon::Information}, "Attention",
                          [this](Answer answer) {
                              if (answer == Answer::Yes) unload();
                          });
}

// Closing the main window leaves an open notice alone; the program ends with its last window.
void frmDarIzoDiv2::Form_Unload() {}

} // namespace gridlark
