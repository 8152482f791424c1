// The window has no frame, so it moves itself: drag by the background, snap to the screen's
// edges on release (keeping the taskbar's strip free), minimise on a double click.
#include "main/Gridlark.hpp"
#include "main/frmDarIzoDiv2.hpp"

#include <algorithm>

namespace gridlark {

namespace {

constexpr int kEdgeZone = 400;

// The limits are compared as single-precision values.
bool atOrBeyond(int limit, int position) {
    return static_cast<double>(static_cast<float>(limit)) <= position;
}

} // namespace

void frmDarIzoDiv2::Form_MouseMove(int Button, int Shift, float X, float Y) {
    (void)Button;
    (void)Shift;
    if (windowState() == tk::WindowState::Maximized || !IsDragging) return;
    const double x = double(X) * double(unitX());
    const double y = double(Y) * double(unitY());
    setTop(static_cast<int>(std::lround(top() - (DragStartY - y))));
    setLeft(static_cast<int>(std::lround(left() - (DragStartX - x))));
}

void frmDarIzoDiv2::Form_MouseUp(int Button, int Shift, float X, float Y) {
    (void)Button;
    (void)Shift;
    (void)X;
    (void)Y;
    IsDragging = false;
    // A minimised or maximised window cannot be moved; the release that ends a double click
    // can arrive after the minimise.
    if (windowState() != tk::WindowState::Normal) return;

    const tk::SizePx screen = platform().screenSize();
    const int SW = tk::pixelsToTwips(screen.width);
    const int SH = tk::pixelsToTwips(screen.height);

    if (left() <= kEdgeZone) setLeft(0);
    if (atOrBeyond(SW - kEdgeZone - width(), left())) setLeft(SW - width());
    if (top() <= kEdgeZone) setTop(0);

    // Windows 7's taskbar is taller. On a screen too short for the rule the top stays on it.
    if (app_.GetWindowsVersion().Name.find('7') != std::string::npos) {
        if (atOrBeyond(SH - 1000 - height(), top())) setTop(std::max(0, SH - 600 - height()));
    } else {
        if (atOrBeyond(SH - 800 - height(), top())) setTop(std::max(0, SH - 400 - height()));
    }
}

void frmDarIzoDiv2::Form_DblClick() {
    setWindowState(windowState() == tk::WindowState::Normal ? tk::WindowState::Minimized
                                                            : tk::WindowState::Normal);
}

} // namespace gridlark
