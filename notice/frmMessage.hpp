// The notice window: two lines above or below the main window; resets the game on its timer.
#pragma once

#include "platform/Form.hpp"

namespace gridlark {

class Gridlark;

extern const tk::FormDesign frmMessageDesign;

class frmMessage final : public tk::Form {
public:
    frmMessage(tk::Platform& platform, Gridlark& app);

    tk::Label& lbl1() { return label("lbl1"); }
    tk::Label& lbl2() { return label("lbl2"); }
    tk::Label& Label2() { return label("Label2"); }
    tk::CommandButton& cmdMain() { return button("cmdMain"); }
    tk::Timer& Timer1() { return timer("Timer1"); }

    void Form_Load();
    void Timer1_Timer();
    void cmdMain_Click();

private:
    Gridlark& app_;
};

} // namespace gridlark
