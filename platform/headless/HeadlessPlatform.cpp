#include "platform/headless/HeadlessPlatform.hpp"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <utility>

namespace tk::headless {

// ---- The clock ----

// ---- Text: no font library, so plain metrics and blocks for letters ----

namespace {

// Advance widths in thousandths of the font's size, close to the common sans-serif faces.
int advance(char c) {
    if (c >= '0' && c <= '9') return 556;
    switch (c) {
    case ' ':
    case '!':
    case ',':
    case '.':
    case ':':
    case ';':
    case '/':
    case 'I':
    case 'f':
    case 't':
        return 278;
    case 'i':
    case 'j':
    case 'l':
        return 222;
    case '\'':
        return 191;
    case '(':
    case ')':
    case '-':
    case 'r':
        return 333;
    case 'J':
        return 500;
    case 'L':
        return 556;
    case 'F':
    case 'T':
    case 'Z':
        return 611;
    case 'C':
    case 'D':
    case 'H':
    case 'N':
    case 'R':
    case 'U':
    case 'w':
        return 722;
    case 'G':
    case 'O':
    case 'Q':
        return 778;
    case 'M':
    case 'm':
        return 833;
    case 'W':
        return 944;
    case 'c':
    case 'k':
    case 's':
    case 'v':
    case 'x':
    case 'y':
    case 'z':
        return 500;
    default:
        return c >= 'A' && c <= 'Z' ? 667 : 556;
    }
}

// Above and below the baseline, in the font's size, as the common sans-serif faces have them.
std::pair<double, double> extent(const Font&) {
    return {0.905, 0.212};
}

// Each letter's left edge in pixels, and the end.
std::vector<double> letterEdges(const Font& font, std::string_view text) {
    const double scale = font.pixelSize() * (font.bold ? 1.1 : 1.0) / 1000.0;
    std::vector<double> edges{0};
    for (const char c : text) {
        if ((static_cast<unsigned char>(c) & 0xC0) == 0x80) continue; // inside a UTF-8 letter
        edges.push_back(edges.back() + advance(c) * scale);
    }
    return edges;
}

} // namespace

SizePx HeadlessPlatform::measureText(const Font& font, std::string_view text) {
    const auto [ascent, descent] = extent(font);
    const double size = font.pixelSize();
    return {static_cast<int>(std::lround(letterEdges(font, text).back())),
            static_cast<int>(std::lround(ascent * size) + std::lround(descent * size))};
}

// ---- Painting ----

namespace {

// Draws in logical pixels onto a bitmap of `ratio` device pixels a pixel.
class HeadlessCanvas final : public Canvas {
public:
    HeadlessCanvas(Bitmap& bitmap, int ratio, HeadlessPlatform& platform)
        : b_(bitmap)
        , ratio_(ratio)
        , platform_(platform) {}

    double ratio() const override { return ratio_; }
    void fill(Rgb colour) override { std::ranges::fill(b_.pixels, colour); }
    void drawPicture(const PictureChoice& picture) override {
        const Bitmap& p = platform_.picture(picture.name, picture.density, ratio_);
        for (int y = 0; y < std::min(p.height, b_.height); ++y)
            for (int x = 0; x < std::min(p.width, b_.width); ++x)
                b_.at(x, y) = p.at(x, y);
    }
    void drawText(const RectPx& box, std::string_view text, const Font& font, Rgb colour,
                  Align align) override {
        const std::vector<double> edges = letterEdges(font, text);
        const double width = edges.back(), size = font.pixelSize();
        const double left = align == Align::Left ? box.x : box.x + (box.width - width) / 2;
        const double baseline = box.y + std::round(extent(font).first * size);
        std::size_t i = 0;
        for (const char c : text) {
            if ((static_cast<unsigned char>(c) & 0xC0) == 0x80) continue;
            const double x0 = left + edges[i], x1 = left + edges[i + 1];
            ++i;
            if (c == ' ') continue;
            // A block as tall as a capital or a small letter, with room either side.
            const bool tall = !(c >= 'a' && c <= 'z') || c == 'b' || c == 'd' || c == 'f' ||
                              c == 'h' || c == 'k' || c == 'l' || c == 't';
            const double top = baseline - size * (tall ? 0.72 : 0.52);
            const double gap = std::max(1.0, (x1 - x0) * 0.15);
            fillRect({x0 + gap, top, x1 - x0 - 2 * gap, baseline - top}, colour);
        }
        if (font.underline) fillRect({left, baseline + 1, width, 1}, colour);
    }
    void drawLine(double x1, double y1, double x2, double y2, Rgb colour, int width) override {
        // Every pixel whose centre lies within half the width of the segment: round caps, hard
        // edges. Centres are nudged up and left so that a line on a pixel edge takes the pixels
        // below and right of it, not both sides.
        const double r = ratio_, half = std::max(width, 1) * r / 2;
        const double ax = x1 * r, ay = y1 * r, bx = x2 * r, by = y2 * r;
        const double dx = bx - ax, dy = by - ay, length2 = dx * dx + dy * dy;
        const int left = std::max(0, int(std::floor(std::min(ax, bx) - half)));
        const int right = std::min(b_.width - 1, int(std::ceil(std::max(ax, bx) + half)));
        const int top = std::max(0, int(std::floor(std::min(ay, by) - half)));
        const int bottom = std::min(b_.height - 1, int(std::ceil(std::max(ay, by) + half)));
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x) {
                const double px = x + 0.49, py = y + 0.49;
                const double t =
                    length2 > 0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / length2, 0.0, 1.0)
                                : 0.0;
                const double ex = px - (ax + t * dx), ey = py - (ay + t * dy);
                if (ex * ex + ey * ey < half * half) b_.at(x, y) = colour;
            }
    }
    void drawFrame(const RectPx& box, Rgb colour, int width) override {
        const double w = width;
        fillRect({box.x, box.y, box.width, w}, colour);
        fillRect({box.x, box.y + box.height - w, box.width, w}, colour);
        fillRect({box.x, box.y, w, box.height}, colour);
        fillRect({box.x + box.width - w, box.y, w, box.height}, colour);
    }
    void fillRect(const RectPx& box, Rgb colour) override {
        const auto device = [this](double v) { return static_cast<int>(std::lround(v * ratio_)); };
        const int x0 = std::max(0, device(box.x)),
                  x1 = std::min(b_.width, device(box.x + box.width));
        const int y0 = std::max(0, device(box.y));
        const int y1 = std::min(b_.height, device(box.y + box.height));
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                b_.at(x, y) = colour;
    }

private:
    Bitmap& b_;
    int ratio_;
    HeadlessPlatform& platform_;
};

// A native child as a plain desktop style would draw it.
void paintChild(Canvas& canvas, const Child& c, const HeadlessPlatform& platform) {
    const RectPx box{double(c.position.x), double(c.position.y), double(c.size.width),
                     double(c.size.height)};
    const Rgb grey = platform.systemColour(17);
    if (c.kind == NativeChild::Kind::PushButton) {
        canvas.fillRect(box, platform.systemColour(15));
        canvas.drawFrame(box, platform.systemColour(16), 1);
        const double y = box.y + (box.height - c.font.pixelSize() * 1.15) / 2;
        canvas.drawText({box.x, y, box.width, box.height}, c.caption, c.font,
                        c.enabled ? platform.systemColour(18) : grey, Align::Center);
        return;
    }
    canvas.fillRect(box, c.back);
    const RectPx mark{box.x, box.y + (box.height - 13) / 2, 13, 13};
    canvas.fillRect(mark, {255, 255, 255});
    canvas.drawFrame(mark, grey, 1);
    if (c.checked) {
        canvas.drawLine(mark.x + 3, mark.y + 6, mark.x + 5, mark.y + 9, {0, 0, 0}, 2);
        canvas.drawLine(mark.x + 5, mark.y + 9, mark.x + 10, mark.y + 3, {0, 0, 0}, 2);
    }
    const double y = box.y + (box.height - c.font.pixelSize() * 1.15) / 2;
    canvas.drawText({box.x + 17, y, box.width - 17, box.height}, c.caption, c.font,
                    c.enabled ? c.fore : grey, Align::Left);
}

std::uint32_t le(const std::string& b, std::size_t at, int size) {
    std::uint32_t v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = v << 8 | static_cast<std::uint8_t>(b[at + static_cast<std::size_t>(i)]);
    return v;
}

// An 8-bit bitmap, uncompressed or run-length encoded, as the artwork is stored; empty for
// anything else.
Bitmap readBitmap(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string b{std::istreambuf_iterator<char>(in), {}};
    if (b.size() < 54 || !b.starts_with("BM") || le(b, 28, 2) != 8) return {};
    const auto width = static_cast<std::int32_t>(le(b, 18, 4));
    const auto height = static_cast<std::int32_t>(le(b, 22, 4));
    const std::uint32_t compression = le(b, 30, 4), pixels = le(b, 10, 4);
    const std::size_t table = 14 + le(b, 14, 4), colours = le(b, 46, 4) ? le(b, 46, 4) : 256;
    const int rows = std::abs(height);
    if (width <= 0 || width > 16384 || rows > 16384 || colours > 256 || compression > 1 ||
        table + 4 * colours > pixels || pixels > b.size())
        return {};
    std::vector<Rgb> palette;
    for (std::size_t i = 0; i < colours; ++i)
        palette.push_back({static_cast<std::uint8_t>(b[table + 4 * i + 2]),
                           static_cast<std::uint8_t>(b[table + 4 * i + 1]),
                           static_cast<std::uint8_t>(b[table + 4 * i])});
    Bitmap out{width, rows, std::vector<Rgb>(static_cast<std::size_t>(width * rows))};
    // Rows are stored bottom-up unless the height is negative.
    const auto put = [&](int x, int row, std::uint8_t index) {
        if (x < 0 || x >= width || row < 0 || row >= rows || index >= colours) return;
        out.at(x, height < 0 ? row : rows - 1 - row) = palette[index];
    };
    const auto byte = [&b](std::size_t i) {
        return i < b.size() ? static_cast<std::uint8_t>(b[i]) : std::uint8_t{0};
    };
    if (compression == 0) {
        const std::size_t stride = (static_cast<std::size_t>(width) + 3) & ~std::size_t{3};
        for (int row = 0; row < rows; ++row)
            for (int x = 0; x < width; ++x)
                put(x, row, byte(pixels + stride * std::size_t(row) + std::size_t(x)));
        return out;
    }
    int x = 0, row = 0;
    for (std::size_t i = pixels; i + 1 < b.size();) {
        const std::uint8_t count = byte(i), value = byte(i + 1);
        i += 2;
        if (count > 0) { // a run of one colour
            for (int k = 0; k < count; ++k)
                put(x++, row, value);
        } else if (value == 0) { // end of the row
            x = 0;
            ++row;
        } else if (value == 1) { // end of the picture
            break;
        } else if (value == 2) { // skip right and down
            x += byte(i);
            row += byte(i + 1);
            i += 2;
        } else { // that many colours as they are, padded to an even count
            for (int k = 0; k < value; ++k)
                put(x++, row, byte(i + std::size_t(k)));
            i += value + (value & 1u);
        }
    }
    return out;
}

Bitmap scaled(const Bitmap& from, int factor) {
    Bitmap out{from.width * factor, from.height * factor, {}};
    out.pixels.reserve(static_cast<std::size_t>(out.width * out.height));
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x)
            out.pixels.push_back(from.at(x / factor, y / factor));
    return out;
}

} // namespace

const Bitmap& HeadlessPlatform::picture(const std::string& name, int density, int ratio) {
    const std::string key = name + '@' + std::to_string(ratio);
    auto it = pictures_.find(key);
    if (it == pictures_.end())
        it = pictures_
                 .emplace(key, scaled(readBitmap(artwork_ + '/' + name + ".bmp"),
                                      std::max(1, ratio / density)))
                 .first;
    return it->second;
}

// ---- Windows ----

HeadlessWindow::HeadlessWindow(HeadlessPlatform& platform, const WindowTraits& traits,
                               WindowHost& host)
    : platform_(platform)
    , host_(host)
    , name_(traits.name)
    , client_(traits.client)
    , showInTaskbar_(traits.showInTaskbar) {
    platform_.attach(this);
}

HeadlessWindow::~HeadlessWindow() {
    platform_.detach(this);
}

void HeadlessWindow::show() {
    visible_ = true;
    const int initial = host_.initialFocus();
    if (initial >= 0) focus_ = children_.contains(initial) ? initial : -1;
}

void HeadlessWindow::syncChild(const NativeChild& c) {
    children_[c.id] = {c.kind,
                       std::string(c.name),
                       std::string(c.caption),
                       c.font,
                       c.position,
                       c.size,
                       c.checked,
                       c.back,
                       c.fore,
                       c.enabled,
                       c.visible,
                       c.focusable};
}

const Child* HeadlessWindow::child(int id) const {
    const auto it = children_.find(id);
    return it == children_.end() ? nullptr : &it->second;
}

int HeadlessWindow::childAt(PointPx at) const {
    for (const auto& [id, c] : children_)
        if (c.visible && at.x >= c.position.x && at.x < c.position.x + c.size.width &&
            at.y >= c.position.y && at.y < c.position.y + c.size.height)
            return id;
    return -1;
}

Bitmap HeadlessWindow::render(int ratio) const {
    Bitmap b{
        client_.width * ratio, client_.height * ratio,
        std::vector<Rgb>(static_cast<std::size_t>(client_.width * client_.height * ratio * ratio))};
    HeadlessCanvas canvas(b, ratio, platform_);
    host_.paint(canvas);
    for (const auto& [id, c] : children_)
        if (c.visible) paintChild(canvas, c, platform_);
    return b;
}

namespace {
// Only the buttons the core knows; the window system keeps the others (back, forward).
bool known(int button) {
    return button == mouse::Left || button == mouse::Right || button == mouse::Middle;
}
} // namespace

// A press over a native child goes to the child, unless the window has the mouse already: a
// left press focuses the child, and its release over the child clicks it.
void HeadlessWindow::mouseDown(int button, int shift, PointPx at) {
    if (platform_.modal() || !known(button)) return;
    const int id = held_ ? -1 : childAt(at);
    if (id >= 0) {
        const Child& c = children_.at(id);
        if (button != mouse::Left || !c.enabled) return;
        childPress_ = id;
        if (c.focusable && focus_ != id) {
            focus_ = id;
            host_.focusChanged(id);
        }
        return;
    }
    held_ |= button;
    host_.mouseDown(MouseButton(button), shift, at.x, at.y);
}

void HeadlessWindow::mouseUp(int button, int shift, PointPx at) {
    if (platform_.modal()) return;
    if (childPress_ >= 0 && button == mouse::Left) {
        const int pressed = std::exchange(childPress_, -1);
        if (childAt(at) == pressed) host_.childClicked(pressed);
        return;
    }
    if (!(held_ & button)) return; // the press went elsewhere
    held_ &= ~button;
    host_.mouseUp(MouseButton(button), shift, at.x, at.y);
}

void HeadlessWindow::mouseMove(int buttons, PointPx at) {
    if (platform_.modal() || (!held_ && childAt(at) >= 0)) return;
    host_.mouseMove(MouseButton(buttons & (mouse::Left | mouse::Right | mouse::Middle)), 0, at.x,
                    at.y);
}

void HeadlessWindow::secondPress(int button, PointPx at) {
    if (platform_.modal() || !known(button)) return;
    if (held_ || childAt(at) >= 0) return mouseDown(button, 0, at);
    held_ |= button;
    host_.doubleClick(MouseButton(button), 0, at.x, at.y);
}

// Keys go to the focused child first: a push button takes Enter and Space, a check box Space.
void HeadlessWindow::key(std::optional<Key> key, int shift) {
    if (platform_.modal() || !key) return;
    if (const Child* c = child(focus_); c && *key != Key::Tab && c->enabled) {
        if (*key == Key::Space || (*key == Key::Enter && c->kind == NativeChild::Kind::PushButton))
            return host_.childClicked(focus_);
    }
    host_.keyDown(*key, shift);
}

void HeadlessWindow::captureLost() {
    held_ = 0;
    childPress_ = -1;
    host_.mouseCaptureLost();
}

void HeadlessWindow::close() {
    host_.closeRequested();
}

// ---- The platform ----

HeadlessPlatform::HeadlessPlatform(std::string artwork)
    : artwork_(std::move(artwork)) {}

std::unique_ptr<NativeWindow> HeadlessPlatform::createWindow(const WindowTraits& traits,
                                                             WindowHost& host) {
    return std::make_unique<HeadlessWindow>(*this, traits, host);
}

void HeadlessPlatform::detach(HeadlessWindow* window) {
    std::erase(windows_, window);
}

void HeadlessPlatform::setScreen(SizePx size, int ratio) {
    screen_ = size;
    ratio_ = ratio;
    const std::vector<HeadlessWindow*> windows = windows_;
    for (HeadlessWindow* w : windows)
        if (std::ranges::find(windows_, w) != windows_.end()) w->host().screenChanged();
}

void HeadlessPlatform::lineUpAnswer(bool escape, std::function<void()> meanwhile) {
    answers_.push_back({escape, std::move(meanwhile)});
}

void HeadlessPlatform::messageBox(const msgbox::Request& box,
                                  std::function<void(msgbox::Answer)> answered) {
    shown_ = {std::string(box.title),
              std::string(box.prompt),
              box.style.icon == msgbox::Icon::Information,
              {}};
    for (std::string::size_type at; (at = shown_.text.find("\r\n")) != std::string::npos;)
        shown_.text.replace(at, 2, "\n");
    for (msgbox::Answer a : box.answers)
        shown_.buttons.push_back(a == msgbox::Answer::Yes ? "Yes" : "No");
    // The box takes the mouse from every window, and their input until it closes.
    const std::vector<HeadlessWindow*> windows = windows_;
    for (HeadlessWindow* w : windows)
        if (std::ranges::find(windows_, w) != windows_.end()) w->captureLost();
    if (answers_.empty()) return answered(box.answers.front());
    Answer answer = std::move(answers_.front());
    answers_.pop_front();
    const bool wasModal = std::exchange(modal_, true);
    if (answer.meanwhile) answer.meanwhile();
    modal_ = wasModal;
    answered(answer.escape ? box.escape() : box.answers.front());
}

void HeadlessPlatform::processPending() {
    while (!posted_.empty()) {
        const auto call = std::move(posted_.front());
        posted_.pop_front();
        call();
    }
}

// Time jumps to the next tick: nothing else can happen without a window system.
int HeadlessPlatform::exec() {
    while (!exitCode_) {
        processPending();
        const std::optional<std::int64_t> due = clock_.nextDue();
        if (!due) break; // nothing left that could ever happen
        clock_.advance(*due - clock_.now());
    }
    return std::exchange(exitCode_, std::nullopt).value_or(0);
}

} // namespace tk::headless

int tk::runBackend(int, char**, std::string_view, const std::function<int(Backend&)>& body) {
    tk::headless::HeadlessPlatform platform(TK_ARTWORK);
    return body(platform);
}
