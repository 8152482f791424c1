#include "platform/Types.hpp"

#include <array>

namespace tk {

Rgb defaultSystemColour(int n) {
    // Windows' default scheme, indexed by system colour number.
    static constexpr std::array<Rgb, 31> scheme{{
        {200, 200, 200}, {0, 0, 0},       {153, 180, 209}, {191, 205, 219}, {240, 240, 240},
        {255, 255, 255}, {100, 100, 100}, {0, 0, 0},       {0, 0, 0},       {0, 0, 0},
        {180, 180, 180}, {244, 247, 252}, {171, 171, 171}, {51, 153, 255},  {255, 255, 255},
        {240, 240, 240}, {160, 160, 160}, {109, 109, 109}, {0, 0, 0},       {67, 78, 84},
        {255, 255, 255}, {105, 105, 105}, {227, 227, 227}, {0, 0, 0},       {255, 255, 225},
        {0, 0, 0},       {0, 102, 204},   {185, 209, 234}, {215, 228, 242}, {51, 153, 255},
        {240, 240, 240},
    }};
    if (n < 0 || n >= static_cast<int>(scheme.size())) return {};
    return scheme[static_cast<std::size_t>(n)];
}

namespace msgbox {

Request request(std::string_view prompt, Style style, std::string_view title) {
    Request r{prompt, title, style, {}};
    switch (style.buttons) {
    case Buttons::YesNo:
        r.answers = {Answer::Yes, Answer::No};
        break;
    }
    return r;
}

} // namespace msgbox

PictureChoice choosePicture(const PictureDesign& picture, double ratio) {
    if (ratio > 1.5) return {std::string(picture.name) + "@2x", picture.denseResource, 2};
    return {std::string(picture.name), picture.resource, 1};
}

} // namespace tk
