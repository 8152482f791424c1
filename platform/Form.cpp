#include "platform/Form.hpp"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

namespace tk {

namespace {

std::unique_ptr<Control> makeControl(Form& form, const ControlDesign& d) {
    switch (d.kind) {
    case ControlKind::Label:
        return std::make_unique<Label>(form, d);
    case ControlKind::Line:
        return std::make_unique<Line>(form, d);
    case ControlKind::Shape:
        return std::make_unique<Shape>(form, d);
    case ControlKind::CheckBox:
        return std::make_unique<CheckBox>(form, d);
    case ControlKind::CommandButton:
        return std::make_unique<CommandButton>(form, d);
    case ControlKind::Timer:
        return std::make_unique<Timer>(form, d);
    }
    throw std::logic_error("unknown control kind");
}

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
    constexpr int kSides = 12;
    const double r = size / 2, cx = x + r, cy = y + r, step = 2 * 3.14159265358979 / kSides;
    for (int i = 0; i < kSides; ++i)
        canvas.drawLine(cx + r * std::cos(i * step), cy + r * std::sin(i * step),
                        cx + r * std::cos((i + 1) * step), cy + r * std::sin((i + 1) * step),
                        colour, width);
    return true;
}

} // namespace

Form::Form(Platform& platform, const FormDesign& design)
    : platform_(platform)
    , design_(design)
    , backColour_(design.backColour) {
    platform_.attach(*this);
}

Form::~Form() {
    platform_.detach(*this);
    if (loaded_) {
        teardown();
        platform_.formUnloaded(false);
    }
}

void Form::initialize() {
    raise(kFormEvents, Event::Initialize);
}

void Form::load() {
    if (loaded_) return;
    loaded_ = true;
    loading_ = true;
    backColour_ = design_.backColour;
    clearVariables();
    native_ = platform_.backend().createWindow(
        {design_.name,
         design_.caption,
         {twipsToWholePixels(design_.width), twipsToWholePixels(design_.height)},
         design_.showInTaskbar,
         design_.blankIcon},
        *this);
    controls_.reserve(design_.controls.size());
    for (const auto& d : design_.controls)
        controls_.push_back(makeControl(*this, d));
    for (const auto& c : controls_)
        if (c->nativeChild()) native_->syncChild(describe(*c));
    loading_ = false;
    platform_.formLoaded();
    raise(kFormEvents, Event::Load);
}

void Form::show() {
    ensureLoaded();
    if (!native_) return;
    const bool opening = !native_->isVisible();
    if (opening) {
        focus_ = initialFocus();
        // Nobody heard what changed before the window was there to see.
        std::erase_if(pending_, [](const AccessibleChange& c) {
            return c.kind == AccessibleChange::Kind::Announce;
        });
    }
    native_->show();
    if (opening) screen_ = platform_.screenSize();
    if (opening && alert_) {
        const std::string text = alertText();
        noteChanges();
        pending_.push_back({AccessibleChange::Kind::Alert, AccessibleNode::kWindow, text});
        native_->accessibleChanged();
        platform_.alerted(text.substr(0, text.find('\n')));
    }
}

void Form::unload() {
    if (!loaded_) return;
    raise(kFormEvents, Event::Unload);
    if (!loaded_) return; // the handler unloaded it already
    teardown();
    platform_.formUnloaded(true);
}

void Form::teardown() {
    loaded_ = false;
    captured_ = false;
    capture_ = nullptr;
    pressed_ = MouseButton::None;
    focus_ = currentCell_ = -1;
    lastResult_.clear();
    reported_.reset();
    pending_.clear();
    controls_.clear(); // timers stop as they go
    native_.reset();
}

bool Form::visible() const {
    return native_ && native_->isVisible();
}

int Form::left() {
    ensureLoaded();
    return pixelsToTwips(native_->position().x);
}

void Form::setLeft(int twips) {
    ensureLoaded();
    native_->move({twipsToWholePixels(twips), native_->position().y});
}

int Form::top() {
    ensureLoaded();
    return pixelsToTwips(native_->position().y);
}

void Form::setTop(int twips) {
    ensureLoaded();
    native_->move({native_->position().x, twipsToWholePixels(twips)});
}

WindowState Form::windowState() {
    ensureLoaded();
    return native_->windowState();
}

void Form::setWindowState(WindowState state) {
    ensureLoaded();
    native_->setWindowState(state);
}

Colour Form::backColour() {
    ensureLoaded();
    return backColour_;
}

void Form::setBackColour(Colour c) {
    ensureLoaded();
    backColour_ = c;
    native_->invalidate();
}

float Form::unitX() const {
    return design_.scaleWidth > 0 ? static_cast<float>(design_.width) / design_.scaleWidth : 1.0f;
}

float Form::unitY() const {
    return design_.scaleHeight > 0 ? static_cast<float>(design_.height) / design_.scaleHeight
                                   : 1.0f;
}

Control& Form::find(std::string_view name, int index) {
    ensureLoaded();
    for (const auto& c : controls_)
        if (c->name() == name && c->index() == index) return *c;
    throw std::out_of_range("no control " + std::string(name) + "(" + std::to_string(index) +
                            ") on " + std::string(design_.name));
}

bool Form::knows(std::string_view control) const {
    return control == kFormEvents ||
           std::any_of(design_.controls.begin(), design_.controls.end(),
                       [control](const ControlDesign& d) { return d.name == control; });
}

// A misspelt name would leave its handler silently unused: fail where the wiring is.
void Form::on(std::string_view control, Event event, Handler handler) {
    const std::string where = std::string(design_.name) + "." + std::string(control);
    if (!knows(control)) throw std::logic_error(where + ": no such control in the design");
    for (const auto& b : handlers_)
        if (b.event == event && b.control == control)
            throw std::logic_error(where + ": a second handler for one event");
    handlers_.push_back({std::string(control), event, std::move(handler)});
}

void Form::present(std::string_view control, int index, Presentation how) {
    if (!knows(control))
        throw std::logic_error(std::string(design_.name) + "." + std::string(control) +
                               ": no such control in the design");
    presented_.push_back({std::string(control), index, std::move(how)});
}

const Control* Form::loadedControl(std::string_view name, int index) const {
    for (const auto& c : controls_)
        if (c->name() == name && c->index() == index) return c.get();
    return nullptr;
}

// Exactly what the mouse does, so the game cannot tell the two apart.
void Form::accessibleAction(int id) {
    if (!loaded_ || id < 0 || id >= static_cast<int>(controls_.size())) return;
    const Control& c = *controls_[static_cast<std::size_t>(id)];
    const RectPx box = c.pixelArea();
    const double x = box.x + box.width / 2, y = box.y + box.height / 2;
    if (hitTest(x * kTwipsPerPixel, y * kTwipsPerPixel) != &c) return;
    mouseDown(MouseButton::Left, 0, x, y);
    mouseUp(MouseButton::Left, 0, x, y);
}

void Form::raise(std::string_view control, Event event, const EventArgs& args) {
    for (const auto& b : handlers_) {
        if (b.event == event && b.control == control) {
            b.handler(args);
            return;
        }
    }
    if (!knows(control))
        throw std::logic_error(std::string(design_.name) + "." + std::string(control) +
                               ": no such control in the design");
}

const Control* Form::hitTest(double x, double y) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        const Control& c = **it;
        if (c.kind() == ControlKind::Label && c.visible() && c.enabled() && c.containsTwips(x, y))
            return &c;
    }
    return nullptr;
}

int Form::idOf(const Control& control) const {
    for (std::size_t i = 0; i < controls_.size(); ++i)
        if (controls_[i].get() == &control) return static_cast<int>(i);
    return -1;
}

int Form::initialFocus() const {
    const Control* best = nullptr;
    for (const auto& c : controls_) {
        if (c->tabIndex() < 0 || !c->visible() || !c->enabled()) continue;
        if (!best || c->tabIndex() < best->tabIndex()) best = c.get();
    }
    return best ? idOf(*best) : -1;
}

NativeChild Form::describe(const Control& c) const {
    NativeChild n;
    n.id = idOf(c);
    n.name = c.name();
    n.position = {twipsToWholePixels(c.left()), twipsToWholePixels(c.top())};
    n.size = {twipsToWholePixels(c.width()), twipsToWholePixels(c.height())};
    n.enabled = c.enabled();
    n.visible = c.visible();
    n.focusable = c.tabIndex() >= 0;
    if (c.kind() == ControlKind::CommandButton) {
        const auto& b = static_cast<const CommandButton&>(c);
        n.kind = NativeChild::Kind::PushButton;
        n.caption = b.caption();
        n.font = b.font();
        n.back = platform_.resolve(b.backColour());
    } else {
        const auto& b = dynamic_cast<const CheckBox&>(c);
        n.kind = NativeChild::Kind::CheckBox;
        n.caption = b.caption();
        n.font = b.font();
        n.checked = b.value() == 1;
        n.back = platform_.resolve(b.backColour());
        n.fore = platform_.resolve(b.foreColour());
    }
    return n;
}

void Form::paint(Canvas& canvas) const {
    canvas.fill(platform_.resolve(backColour_));
    if (!design_.picture.empty()) canvas.drawPicture(design_.picture);
    for (const auto& c : controls_) {
        if (!c->visible()) continue;
        switch (c->kind()) {
        case ControlKind::Label: {
            const auto& l = static_cast<const Label&>(*c);
            if (!l.transparent()) canvas.fillRect(l.pixelArea(), platform_.resolve(l.backColour()));
            const Rgb fore = platform_.resolve(l.foreColour());
            if (l.caption().empty() || platform_.backend().hasGlyphs(l.font(), l.caption()) ||
                !strokeText(canvas, l.pixelArea(), l.caption(), l.font(), fore, l.alignment()))
                canvas.drawText(l.pixelArea(), l.caption(), l.font(), fore, l.alignment());
            break;
        }
        case ControlKind::Line: {
            const auto& l = static_cast<const Line&>(*c);
            canvas.drawLine(twipsToPixels(l.x1()), twipsToPixels(l.y1()), twipsToPixels(l.x2()),
                            twipsToPixels(l.y2()), platform_.resolve(l.colour()), l.borderWidth());
            break;
        }
        case ControlKind::Shape: {
            const auto& s = static_cast<const Shape&>(*c);
            canvas.drawFrame(s.pixelArea(), platform_.resolve(s.colour()), s.borderWidth());
            break;
        }
        default:
            break; // native children paint themselves
        }
    }
    paintFocus(canvas);
}

EventArgs Form::mouseArgs(const Control* target, MouseButton button, int shift, double x,
                          double y) const {
    double tx = x * kTwipsPerPixel;
    double ty = y * kTwipsPerPixel;
    EventArgs a;
    if (target) {
        tx -= target->left();
        ty -= target->top();
        a.index = target->index();
    }
    a.button = static_cast<int>(button); // the handlers' Button is the design's integer
    a.shift = shift;
    a.x = static_cast<float>(tx / unitX());
    a.y = static_cast<float>(ty / unitY());
    return a;
}

void Form::send(const Control* target, Event event, const EventArgs& args) {
    // Copy the name: the handler may unload the form and with it the control.
    const std::string name = target ? target->name() : std::string(kFormEvents);
    raise(name, event, args);
}

void Form::mouseDown(MouseButton button, int shift, double x, double y) {
    if (!loaded_) return;
    const Control* target = hitTest(x * kTwipsPerPixel, y * kTwipsPerPixel);
    captured_ = true;
    capture_ = target;
    pressed_ |= button;
    seen(shift, x, y);
    send(target, Event::MouseDown, mouseArgs(target, button, shift, x, y));
}

void Form::mouseMove(MouseButton buttons, int shift, double x, double y) {
    if (!loaded_) return;
    const Control* target = captured_ ? capture_ : hitTest(x * kTwipsPerPixel, y * kTwipsPerPixel);
    seen(shift, x, y);
    send(target, Event::MouseMove, mouseArgs(target, buttons, shift, x, y));
}

void Form::mouseUp(MouseButton button, int shift, double x, double y) {
    if (!loaded_) return;
    const Control* target = captured_ ? capture_ : hitTest(x * kTwipsPerPixel, y * kTwipsPerPixel);
    const bool clicked = captured_;
    captured_ = false;
    capture_ = nullptr;
    pressed_ &= ~button;
    seen(shift, x, y);
    const std::string name = target ? target->name() : std::string(kFormEvents);
    const EventArgs args = mouseArgs(target, button, shift, x, y);
    raise(name, Event::MouseUp, args);
    if (clicked && loaded_ && button == MouseButton::Left) raise(name, Event::Click, {args.index});
}

void Form::doubleClick(MouseButton button, int shift, double x, double y) {
    if (!loaded_) return;
    const Control* target = hitTest(x * kTwipsPerPixel, y * kTwipsPerPixel);
    if (target || button != MouseButton::Left) {
        // Only the form's background knows double clicks; elsewhere it is a second press.
        mouseDown(button, shift, x, y);
        return;
    }
    captured_ = true;
    capture_ = nullptr;
    pressed_ |= button;
    seen(shift, x, y);
    raise(kFormEvents, Event::DblClick);
}

void Form::mouseCaptureLost() {
    if (!loaded_ || pressed_ == MouseButton::None) return;
    const Control* target = captured_ ? capture_ : nullptr;
    const std::string name = target ? target->name() : std::string(kFormEvents);
    const MouseButton buttons = std::exchange(pressed_, MouseButton::None);
    captured_ = false;
    capture_ = nullptr;
    // No click: the user did not release here.
    for (MouseButton button : {MouseButton::Left, MouseButton::Right, MouseButton::Middle})
        if ((buttons & button) != MouseButton::None && loaded_)
            raise(name, Event::MouseUp, mouseArgs(target, button, lastShift_, lastX_, lastY_));
}

void Form::seen(int shift, double x, double y) {
    lastShift_ = shift;
    lastX_ = x;
    lastY_ = y;
}

void Form::childClicked(int id) {
    if (!loaded_ || id < 0 || id >= static_cast<int>(controls_.size())) return;
    Control& c = *controls_[static_cast<std::size_t>(id)];
    if (auto* box = dynamic_cast<CheckBox*>(&c))
        box->setValue(box->value() == 1 ? 0 : 1); // raises the box's Click
    else
        send(&c, Event::Click, {c.index()});
}

void Form::closeRequested() {
    unload();
}

void Form::controlChanged(const Control& control) {
    if (!native_ || loading_) return;
    if (control.windowless())
        native_->invalidate(paintedArea(control));
    else if (control.nativeChild())
        native_->syncChild(describe(control));
    else
        return;
    noteChanges();
}

RectPx Form::paintedArea(const Control& control) const {
    RectPx box = control.pixelArea();
    double margin = 1; // antialiased edges
    if (control.kind() == ControlKind::Line) {
        const auto& l = static_cast<const Line&>(control);
        const double x1 = twipsToPixels(l.x1()), y1 = twipsToPixels(l.y1());
        const double x2 = twipsToPixels(l.x2()), y2 = twipsToPixels(l.y2());
        box = {std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1), std::abs(y2 - y1)};
        margin += l.borderWidth() / 2.0; // round caps reach past the end points
    } else if (control.kind() == ControlKind::Label) {
        // Text is not clipped: a caption wider or taller than its box still shows.
        const auto& l = static_cast<const Label&>(control);
        const SizePx text = platform_.backend().measureText(l.font(), l.caption());
        if (text.height > box.height) box.height = text.height;
        if (text.width > box.width) {
            const double extra = text.width - box.width;
            if (l.alignment() == Align::Center) box.x -= extra / 2;
            box.width = text.width;
        }
        margin += 2; // glyphs may overhang their advance
    }
    return {box.x - margin, box.y - margin, box.width + 2 * margin, box.height + 2 * margin};
}

namespace {

// A window this close to the far edge, or beyond it, was put there (snapped clear of a taskbar)
// and keeps its distance to that edge.
constexpr int kEdgeHold = 64;

int replaced(int at, int size, int before, int after) {
    const int gap = before - (at + size);
    if (gap <= kEdgeHold && gap < at) at = after - size - std::max(gap, 0);
    // Wholly inside, or at the start when the screen is too small for the window.
    return std::max(0, std::min(at, after - size));
}

} // namespace

void Form::screenChanged() {
    if (!native_ || native_->windowState() == WindowState::Maximized) return;
    const SizePx now = platform_.screenSize();
    const SizePx before = screen_.value_or(now);
    screen_ = now;
    if (now.width <= 0 || now.height <= 0) return; // no screen to come back to
    const PointPx at = native_->position();
    const SizePx size{twipsToWholePixels(design_.width), twipsToWholePixels(design_.height)};
    const PointPx to{replaced(at.x, size.width, before.width, now.width),
                     replaced(at.y, size.height, before.height, now.height)};
    if (to.x != at.x || to.y != at.y) native_->move(to);
}

} // namespace tk
