// Plain value types shared by the toolkit core, its backends and the application.
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tk {

// Windows colour values: 0x00BBGGRR, or 0x80000000 + n for system colour n.
using Colour = std::uint32_t;

constexpr Colour rgb(int r, int g, int b) {
    return static_cast<Colour>(r) | static_cast<Colour>(g) << 8 | static_cast<Colour>(b) << 16;
}
constexpr Colour systemColour(int n) {
    return 0x80000000u + static_cast<Colour>(n);
}
constexpr bool isSystemColour(Colour c) {
    return (c & 0x80000000u) != 0;
}

namespace sys {
constexpr Colour WindowText = systemColour(8);
constexpr Colour AppWorkspace = systemColour(12);
constexpr Colour HighlightText = systemColour(14);
constexpr Colour BtnFace = systemColour(15);
} // namespace sys

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(Rgb, Rgb) = default;
};

constexpr Rgb toRgb(Colour c) {
    return {static_cast<std::uint8_t>(c & 0xFF), static_cast<std::uint8_t>(c >> 8 & 0xFF),
            static_cast<std::uint8_t>(c >> 16 & 0xFF)};
}

// The classic Windows scheme, for window systems that have no system colours of their own.
Rgb defaultSystemColour(int n);

struct Font {
    std::string_view name = {}; // the layouts name every font; empty: the system's own
    float points = 8.25f;
    bool bold = false;
    bool underline = false;
    // Faces to use where `name` is missing, with its metrics, so texts keep their room: a list
    // separated by ", ".
    std::string_view fallback = {};

    // Fonts are laid out for 96 dpi, whatever the screen says, so the layout never shifts.
    int pixelSize() const { return static_cast<int>(std::lround(points * 96.0 / 72.0)); }
};

enum class Align { Left, Center };

// A picture in two densities: the name the build gives its files (no format; the dense one adds
// "@2x") and the numbers of its Windows resources.
struct PictureDesign {
    std::string_view name = {};
    int resource = 0, denseResource = 0;
};

// The one to draw, with `density` of its pixels to a logical one.
struct PictureChoice {
    std::string name;
    int resource = 0;
    int density = 1;
};

// The artwork whose density is nearest the screen's `ratio`, so that it is scaled least.
PictureChoice choosePicture(const PictureDesign& picture, double ratio);

constexpr int kTwipsPerPixel = 15;

constexpr double twipsToPixels(double twips) {
    return twips / kTwipsPerPixel;
}
inline int twipsToWholePixels(double twips) {
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}
constexpr int pixelsToTwips(int px) {
    return px * kTwipsPerPixel;
}

struct PointPx {
    int x = 0, y = 0;
    friend bool operator==(PointPx, PointPx) = default;
};
struct SizePx {
    int width = 0, height = 0;
    friend bool operator==(SizePx, SizePx) = default;
};
struct RectPx {
    double x = 0, y = 0, width = 0, height = 0;
};

// A mouse button as a backend reports it, or the set of those held while the mouse moves.
enum class MouseButton { None = 0, Left = 1, Right = 2, Middle = 4 };

constexpr MouseButton operator|(MouseButton a, MouseButton b) {
    return static_cast<MouseButton>(static_cast<int>(a) | static_cast<int>(b));
}
constexpr MouseButton operator&(MouseButton a, MouseButton b) {
    return static_cast<MouseButton>(static_cast<int>(a) & static_cast<int>(b));
}
constexpr MouseButton operator~(MouseButton a) {
    return static_cast<MouseButton>(~static_cast<int>(a) & 7);
}
constexpr MouseButton& operator|=(MouseButton& a, MouseButton b) {
    return a = a | b;
}
constexpr MouseButton& operator&=(MouseButton& a, MouseButton b) {
    return a = a & b;
}

// Mouse buttons and key masks as the handlers see them: the design's integers.
namespace mouse {
constexpr int Left = static_cast<int>(MouseButton::Left);
constexpr int Right = static_cast<int>(MouseButton::Right);
constexpr int Middle = static_cast<int>(MouseButton::Middle);
} // namespace mouse
namespace keys {
constexpr int Shift = 1;
constexpr int Ctrl = 2;
constexpr int Alt = 4;
} // namespace keys

// The message box: what it asks, as the program asks it, and the answer it gets.
namespace msgbox {
enum class Buttons { YesNo };
enum class Icon { None, Information };
enum class Answer { Yes, No };
struct Style {
    Buttons buttons = Buttons::YesNo;
    Icon icon = Icon::None;
};
// What a backend shows: the answers in the order of their buttons, the first the default one,
// the last the one Escape and closing give.
struct Request {
    std::string_view prompt, title;
    Style style;
    std::vector<Answer> answers;
    Answer escape() const { return answers.back(); }
};
Request request(std::string_view prompt, Style style, std::string_view title);
} // namespace msgbox

enum class WindowState { Normal, Minimized, Maximized };

// A stable sort for the few items of one form (its tab stops, its lines of text): an insertion
// sort is all the code that takes.
template <class It, class Less> void sortFew(It first, It last, Less less) {
    for (It i = first; i != last; ++i)
        for (It j = i; j != first && less(*j, *(j - 1)); --j)
            std::swap(*j, *(j - 1));
}

} // namespace tk
