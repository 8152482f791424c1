// The main window: the board, the turn, "CPU", "Reset" and the link, on a frameless window
// that moves itself.
#pragma once

#include "game/Rules.hpp"
#include "platform/Form.hpp"

#include <cstdint>

namespace gridlark {

class Gridlark;

extern const tk::FormDesign frmDarIzoDiv2Design;

class frmDarIzoDiv2 final : public tk::Form {
public:
    frmDarIzoDiv2(tk::Platform& platform, Gridlark& app);

    tk::Label& Toe(int index) { return label("Toe", index); }
    tk::Line& Line2(int index) { return line("Line2", index); }
    tk::Label& Turn() { return label("Turn"); }
    tk::Label& Label1() { return label("Label1"); }
    tk::Label& Label13() { return label("Label13"); }
    tk::CheckBox& Check1() { return checkBox("Check1"); }
    tk::CommandButton& Reset() { return button("Reset"); }

    // game/Board.cpp: a fresh game; the notice window asks for one through the program.
    void ResetGame();

    // main/frmDarIzoDiv2.cpp: start-up and the quit prompt.
    void Form_Initialize();
    void Form_Load();
    void Form_MouseDown(int Button, int Shift, float X, float Y);
    void Form_Unload();

    // main/Dragging.cpp: dragging, snapping and the minimise toggle.
    void Form_MouseMove(int Button, int Shift, float X, float Y);
    void Form_MouseUp(int Button, int Shift, float X, float Y);
    void Form_DblClick();
    std::int32_t DragStartX = 0;
    std::int32_t DragStartY = 0;
    bool IsDragging = false;

    // game/Board.cpp, game/Moves.cpp, game/Check1.cpp: the game.
    void Reset_Click();
    void Toe_MouseDown(int Index, int Button, int Shift, float X, float Y);
    void Check1_Click();

    // main/WebLink.cpp: the link to the maker's page.
    void Label1_MouseDown(int Button, int Shift, float X, float Y);

protected:
    void clearVariables() override;

private:
    void presentToAssistiveTechnology();
    rules::Board board();  // game/Board.cpp: the cells' captions now
    void SwitchTurn();     // game/Board.cpp
    void CheckWin();       // game/WinCheck.cpp
    void AnnounceWinner(); // game/WinCheck.cpp

    Gridlark& app_;
};

} // namespace gridlark
