#include "platform/Controls.hpp"

#include "platform/Form.hpp"

#include <algorithm>
#include <cmath>

namespace tk {

namespace {

// Where no font has the letters, the marks are drawn as strokes so that they stay told apart;
// other texts are left to the window system's boxes.
bool strokeText(Canvas& canvas, const RectPx& box, std::string_view text, const Font& font,
                Rgb colour, Align align) {
    if (text != "X" && text != "O") return false;
    const double size = font.pixelSize() * 0.7;
    const int width = std::max(2, font.pixelSize() / 8);
    const double x = box.x + (align == Align::Center ? (box.width - size) / 2 : 0);
    const double y = box.y + font.pixelSize() * 0.2;
    if (text == "X") {
        canvas.drawLine(x, y, x + size, y + size, colour, width);
        canvas.drawLine(x + size, y, x, y + size, colour, width);
        return true;
    }
    // A twelve-sided ring, its corners every 30 degrees: from a table, so the page's WebAssembly
    // carries no sine and cosine code (5 KB of it).
    constexpr double h = 0.86602540378443865; // the sine of 60 degrees
    constexpr double cosines[12] = {1, h, 0.5, 0, -0.5, -h, -1, -h, -0.5, 0, 0.5, h};
    const double r = size / 2, cx = x + r, cy = y + r;
    for (int i = 0; i < 12; ++i) {
        const int j = (i + 1) % 12;
        canvas.drawLine(cx + r * cosines[i], cy + r * cosines[(i + 9) % 12], cx + r * cosines[j],
                        cy + r * cosines[(j + 9) % 12], colour, width);
    }
    return true;
}

RectPx widened(RectPx box, double margin) {
    return {box.x - margin, box.y - margin, box.width + 2 * margin, box.height + 2 * margin};
}

} // namespace

Control::Control(Form& form, const ControlDesign& d)
    : form_(form)
    , name_(d.name)
    , index_(d.index)
    , kind_(d.kind)
    , left_(d.left)
    , top_(d.top)
    , width_(d.width)
    , height_(d.height)
    , visible_(d.visible)
    , enabled_(d.enabled)
    , tabIndex_(d.tabIndex) {}

void Control::setVisible(bool v) {
    if (visible_ == v) return;
    visible_ = v;
    changed();
}

void Control::changed() {
    form_.controlChanged(*this);
}

RectPx Control::paintedArea() const {
    return widened(pixelArea(), 1); // antialiased edges
}

void Control::resize(int width, int height) {
    width_ = width;
    height_ = height;
}

Label::Label(Form& form, const ControlDesign& d)
    : Control(form, d)
    , caption_(d.caption)
    , font_(d.font)
    , foreColour_(d.foreColour)
    , backColour_(d.backColour)
    , transparent_(d.transparent)
    , alignment_(d.alignment)
    , autoSize_(d.autoSize) {
    fitCaption();
}

void Label::setCaption(std::string_view text) {
    if (caption_ == text) return;
    changed(); // where the old caption was
    caption_ = text;
    fitCaption();
    changed();
}

void Label::fitCaption() {
    if (!autoSize_) return;
    const SizePx size = form().platform().backend().measureText(font_, caption_);
    resize(pixelsToTwips(size.width), pixelsToTwips(size.height));
}

void Label::paint(Canvas& canvas) const {
    const Platform& platform = form().platform();
    if (!transparent_) canvas.fillRect(pixelArea(), platform.resolve(backColour_));
    const Rgb fore = platform.resolve(foreColour_);
    if (caption_.empty() || platform.backend().hasGlyphs(font_, caption_) ||
        !strokeText(canvas, pixelArea(), caption_, font_, fore, alignment_))
        canvas.drawText(pixelArea(), caption_, font_, fore, alignment_);
}

RectPx Label::paintedArea() const {
    // Text is not clipped: a caption wider or taller than its box still shows.
    RectPx box = pixelArea();
    const SizePx text = form().platform().backend().measureText(font_, caption_);
    if (text.height > box.height) box.height = text.height;
    if (text.width > box.width) {
        const double extra = text.width - box.width;
        if (alignment_ == Align::Center) box.x -= extra / 2;
        box.width = text.width;
    }
    return widened(box, 1 + 2); // antialiased edges; glyphs may overhang their advance
}

// A line has no box (left, top, width and height stay zero): it is painted and repainted from
// its end points, and the hit test passes over it.
Line::Line(Form& form, const ControlDesign& d)
    : Control(form, d)
    , x1_(d.x1)
    , y1_(d.y1)
    , x2_(d.x2)
    , y2_(d.y2)
    , colour_(d.foreColour)
    , borderWidth_(d.borderWidth) {}

void Line::paint(Canvas& canvas) const {
    canvas.drawLine(twipsToPixels(x1_), twipsToPixels(y1_), twipsToPixels(x2_), twipsToPixels(y2_),
                    form().platform().resolve(colour_), borderWidth_);
}

RectPx Line::paintedArea() const {
    const double x1 = twipsToPixels(x1_), y1 = twipsToPixels(y1_);
    const double x2 = twipsToPixels(x2_), y2 = twipsToPixels(y2_);
    // Antialiased edges, and round caps that reach past the end points.
    return widened({std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1), std::abs(y2 - y1)},
                   1 + borderWidth_ / 2.0);
}

Shape::Shape(Form& form, const ControlDesign& d)
    : Control(form, d)
    , colour_(d.foreColour)
    , borderWidth_(d.borderWidth) {}

void Shape::paint(Canvas& canvas) const {
    canvas.drawFrame(pixelArea(), form().platform().resolve(colour_), borderWidth_);
}

CheckBox::CheckBox(Form& form, const ControlDesign& d)
    : Control(form, d)
    , caption_(d.caption)
    , font_(d.font)
    , value_(d.value)
    , backColour_(d.backColour)
    , foreColour_(d.foreColour) {}

void CheckBox::setValue(int value) {
    if (value_ == value) return;
    value_ = value;
    changed();
    form().raise(name(), Event::Click, {index()});
}

std::optional<NativeChild> CheckBox::nativeForm() const {
    const Platform& platform = form().platform();
    NativeChild n;
    n.kind = NativeChild::Kind::CheckBox;
    n.caption = caption_;
    n.font = font_;
    n.checked = value_ == 1;
    n.back = platform.resolve(backColour_);
    n.fore = platform.resolve(foreColour_);
    return n;
}

void CheckBox::setBackColour(Colour c) {
    backColour_ = c;
    changed();
}

CommandButton::CommandButton(Form& form, const ControlDesign& d)
    : Control(form, d)
    , caption_(d.caption)
    , font_(d.font)
    , backColour_(d.backColour) {}

std::optional<NativeChild> CommandButton::nativeForm() const {
    NativeChild n;
    n.kind = NativeChild::Kind::PushButton;
    n.caption = caption_;
    n.font = font_;
    n.back = form().platform().resolve(backColour_);
    return n;
}

void CommandButton::setBackColour(Colour c) {
    backColour_ = c;
    changed();
}

void CommandButton::click() {
    form().raise(name(), Event::Click, {index()});
}

Timer::Timer(Form& form, const ControlDesign& d)
    : Control(form, d)
    , interval_(d.interval) {
    if (enabled()) restart();
}

Timer::~Timer() {
    stop();
}

void Timer::setEnabled(bool on) {
    if (on == enabled()) return;
    setEnabledState(on);
    if (on)
        restart();
    else
        stop();
}

void Timer::restart() {
    stop();
    if (!enabled() || interval_ <= 0) return;
    // The tick goes through the form by name: by the time it runs this control may be gone.
    Form* owner = &form();
    std::string timerName = name();
    service_ = &form().platform().timers();
    timerId_ =
        service_->start(interval_, [owner, timerName] { owner->raise(timerName, Event::Timer); });
}

void Timer::stop() {
    if (timerId_ == 0) return;
    service_->stop(timerId_);
    timerId_ = 0;
}

} // namespace tk
