#include "platform/Controls.hpp"

#include "platform/Form.hpp"

namespace tk {

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

Shape::Shape(Form& form, const ControlDesign& d)
    : Control(form, d)
    , colour_(d.foreColour)
    , borderWidth_(d.borderWidth) {}

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

void CheckBox::setBackColour(Colour c) {
    backColour_ = c;
    changed();
}

CommandButton::CommandButton(Form& form, const ControlDesign& d)
    : Control(form, d)
    , caption_(d.caption)
    , font_(d.font)
    , backColour_(d.backColour) {}

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
