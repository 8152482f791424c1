// Design-time layouts: a form and its controls as data, read when the form loads.
#pragma once

#include "platform/Types.hpp"

#include <span>
#include <string_view>

namespace tk {

enum class ControlKind { Label, Line, Shape, CheckBox, CommandButton, Timer };

struct ControlDesign {
    ControlKind kind = ControlKind::Label;
    std::string_view name{};
    int index = -1; // element of a control array, or -1

    // Twips, relative to the form's client area. Lines use x1..y2 instead.
    int left = 0, top = 0, width = 0, height = 0;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;

    std::string_view caption{};
    Font font{};
    Colour foreColour = sys::WindowText;
    Colour backColour = sys::BtnFace;
    bool transparent = false;
    Align alignment = Align::Left;
    bool autoSize = false;
    int borderWidth = 1; // pixels
    bool visible = true;
    bool enabled = true;
    int tabIndex = -1; // -1: takes no keyboard focus
    int interval = 0;  // timers, milliseconds
    int value = 0;     // check boxes
};

struct FormDesign {
    std::string_view name{};
    std::string_view caption{};
    int width = 0, height = 0; // twips, client area
    Colour backColour = sys::BtnFace;
    PictureDesign picture{}; // the background picture; no name for none
    bool blankIcon = false;  // a fully transparent window icon instead of none
    bool showInTaskbar = true;
    // The form's own user scale for its mouse events: units across and down the client area.
    float scaleWidth = 0, scaleHeight = 0;
    std::span<const ControlDesign> controls{};
};

} // namespace tk
