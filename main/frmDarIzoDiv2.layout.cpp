// The main window as designed: 188 x 240 pixels, controls in stored (painting) order.
#include "main/frmDarIzoDiv2.hpp"

#include <array>

namespace gridlark {

namespace {

using tk::Align;
using tk::ControlDesign;
using tk::ControlKind;
using tk::rgb;

// The design's faces are rarely installed; free faces with the same metrics keep every caption in
// the room the layout gives it (the usual substitute is much wider).
constexpr std::string_view kSansMetrics = "Liberation Sans, Arial";
constexpr std::string_view kSansSerif = "MS Sans Serif";
constexpr tk::Font kSans{.name = kSansSerif, .fallback = kSansMetrics};
constexpr tk::Font kVerdana24{.name = "Verdana", .points = 24.0f, .fallback = "DejaVu Sans"};
constexpr tk::Font kBold{.name = kSansSerif, .bold = true, .fallback = kSansMetrics};
constexpr tk::Font kUnderlined{.name = kSansSerif, .underline = true, .fallback = kSansMetrics};

constexpr ControlDesign cell(int index, int left, int top) {
    return {.kind = ControlKind::Label,
            .name = "Toe",
            .index = index,
            .left = left,
            .top = top,
            .width = index == 0 ? 616 : 615,
            .height = 600,
            .font = kVerdana24,
            .foreColour = rgb(255, 255, 255),
            .backColour = rgb(64, 64, 64),
            .transparent = true,
            .alignment = Align::Center};
}

constexpr ControlDesign strike(int index, int x1, int y1, int x2, int y2) {
    return {.kind = ControlKind::Line,
            .name = "Line2",
            .index = index,
            .x1 = x1,
            .y1 = y1,
            .x2 = x2,
            .y2 = y2,
            .foreColour = rgb(192, 0, 0),
            .borderWidth = 5};
}

constexpr int kColumn[] = {246, 1108, 1971};
constexpr int kRow[] = {240, 1080, 1920};
constexpr ControlDesign cellAt(int index) {
    return cell(index, kColumn[index % 3], kRow[index / 3]);
}

const std::array<ControlDesign, 24> kControls{{
    {.kind = ControlKind::CheckBox,
     .name = "Check1",
     .left = 240,
     .top = 3285,
     .width = 735,
     .height = 255,
     .caption = "CPU",
     .font = kSans,
     .foreColour = rgb(224, 224, 224),
     .backColour = rgb(128, 128, 128),
     .tabIndex = 6},
    {.kind = ControlKind::CommandButton,
     .name = "Reset",
     .left = 1016,
     .top = 2820,
     .width = 735,
     .height = 375,
     .caption = "Reset",
     .font = kSans,
     .tabIndex = 4},
    cellAt(6),
    cellAt(2),
    cellAt(8),
    cellAt(5),
    cellAt(4),
    cellAt(3),
    cellAt(7),
    cellAt(1),
    cellAt(0),
    {.kind = ControlKind::Shape,
     .name = "Shape1",
     .left = 15,
     .top = 0,
     .width = 2789,
     .height = 3585,
     .foreColour = tk::sys::AppWorkspace,
     .borderWidth = 3},
    {.kind = ControlKind::Label,
     .name = "Label1",
     .left = 1920,
     .top = 2880,
     .width = 810,
     .height = 195,
     .caption = "More at Fernwick",
     .font = kUnderlined,
     .foreColour = rgb(255, 255, 255),
     .transparent = true,
     .autoSize = true},
    {.kind = ControlKind::Line, .name = "Line1", .x1 = 2760, .y1 = 2760, .x2 = 0, .y2 = 2760},
    strike(7, 2400, 360, 360, 2400),
    strike(6, 330, 315, 2400, 2400),
    strike(5, 2248, 240, 2248, 2520),
    strike(4, 1401, 240, 1401, 2520),
    strike(3, 585, 240, 585, 2520),
    strike(2, 240, 2190, 2602, 2190),
    strike(1, 240, 1410, 2520, 1410),
    strike(0, 240, 570, 2520, 570),
    {.kind = ControlKind::Label,
     .name = "Label13",
     .left = 360,
     .top = 2880,
     .width = 420,
     .height = 195,
     .caption = "'s turn",
     .font = kSans,
     .foreColour = tk::sys::BtnFace,
     .transparent = true,
     .autoSize = true},
    {.kind = ControlKind::Label,
     .name = "Turn",
     .left = 195,
     .top = 2880,
     .width = 105,
     .height = 195,
     .font = kBold,
     .foreColour = tk::sys::HighlightText,
     .transparent = true,
     .alignment = Align::Center,
     .autoSize = true},
}};

} // namespace

const tk::FormDesign frmDarIzoDiv2Design{
    .name = "frmDarIzoDiv2",
    .caption = "DarIzoDiv",
    .width = 2820,
    .height = 3600,
    .backColour = tk::sys::AppWorkspace,
    .picture = {"background", 101, 102}, // as resources/Gridlark.rc numbers them
    .blankIcon = true,
    .showInTaskbar = true,
    .scaleWidth = 183,
    .scaleHeight = 240,
    .controls = kControls,
};

} // namespace gridlark
