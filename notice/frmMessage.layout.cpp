// The notice window as designed: a 188 x 58 pixel strip with two lines, a credit and "OK".
#include "notice/frmMessage.hpp"

#include <array>

namespace gridlark {

namespace {

using tk::ControlDesign;
using tk::ControlKind;

// Free faces with the design's metrics, where its own is missing.
constexpr tk::Font kSans{.name = "MS Sans Serif", .fallback = "Liberation Sans, Arial"};
constexpr tk::Font kBold{.name = kSans.name, .bold = true, .fallback = kSans.fallback};

const std::array<ControlDesign, 5> kControls{{
    {.kind = ControlKind::Timer, .name = "Timer1", .enabled = false, .interval = 1500},
    {.kind = ControlKind::CommandButton,
     .name = "cmdMain",
     .left = 1860,
     .top = 120,
     .width = 855,
     .height = 375,
     .caption = "OK",
     .font = kSans,
     .tabIndex = 0},
    {.kind = ControlKind::Label,
     .name = "lbl2",
     .left = 120,
     .top = 120,
     .width = 1050,
     .height = 195,
     .caption = " AI enabled.",
     .font = kBold,
     .foreColour = tk::rgb(0, 255, 0),
     .transparent = true,
     .autoSize = true},
    {.kind = ControlKind::Label,
     .name = "lbl1",
     .left = 120,
     .top = 360,
     .width = 1410,
     .height = 195,
     .caption = "Game will now reset",
     .font = kSans,
     .foreColour = tk::sys::HighlightText,
     .transparent = true,
     .autoSize = true},
    {.kind = ControlKind::Label,
     .name = "Label2",
     .left = 120,
     .top = 600,
     .caption = "Gridlark by Fernwick",
     .font = kSans,
     .foreColour = tk::sys::BtnFace,
     .transparent = true,
     .autoSize = true},
}};

} // namespace

const tk::FormDesign frmMessageDesign{
    .name = "frmMessage",
    .caption = "AI enabled",
    .width = 2820,
    .height = 870,
    .backColour = tk::sys::BtnFace,
    .showInTaskbar = false,
    .controls = kControls,
};

} // namespace gridlark
