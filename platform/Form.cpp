#include "platform/Form.hpp"

#include "platform/Fault.hpp"

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
    fault("unknown control kind");
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
    link_ = std::make_unique<WindowLink>(platform_, *this);
    native_ = platform_.backend().createWindow(
        {design_.name,
         design_.caption,
         {twipsToWholePixels(design_.width), twipsToWholePixels(design_.height)},
         design_.showInTaskbar,
         design_.blankIcon},
        *link_);
    controls_.reserve(design_.controls.size());
    for (const auto& d : design_.controls)
        controls_.push_back(makeControl(*this, d));
    for (const auto& c : controls_)
        if (const auto child = describe(*c)) native_->syncChild(*child);
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
    if (link_->busy()) {
        // Inside one of the window's own events, which goes on using the window once we return.
        link_->retire(std::move(native_));
        platform_.retire(std::move(link_));
    } else {
        native_.reset();
        link_.reset();
    }
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
    fault<std::out_of_range>("no control " + std::string(name) + "(" + std::to_string(index) +
                             ") on " + std::string(design_.name));
}

Control& Form::find(std::string_view name, int index, ControlKind kind) {
    Control& c = find(name, index);
    if (c.kind() != kind)
        fault(std::string(design_.name) + "." + std::string(name) + ": not a control of that kind");
    return c;
}

bool Form::knows(std::string_view control) const {
    return control == kFormEvents ||
           std::any_of(design_.controls.begin(), design_.controls.end(),
                       [control](const ControlDesign& d) { return d.name == control; });
}

// A misspelt name would leave its handler silently unused: fail where the wiring is.
void Form::on(std::string_view control, Event event, Handler handler) {
    const std::string where = std::string(design_.name) + "." + std::string(control);
    if (!knows(control)) fault(where + ": no such control in the design");
    for (const auto& b : handlers_)
        if (b.event == event && b.control == control)
            fault(where + ": a second handler for one event");
    handlers_.push_back({std::string(control), event, std::move(handler)});
}

void Form::present(std::string_view control, int index, Presentation how) {
    if (!knows(control))
        fault(std::string(design_.name) + "." + std::string(control) +
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
        fault(std::string(design_.name) + "." + std::string(control) +
              ": no such control in the design");
}

const Control* Form::hitTest(double x, double y) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        const Control& c = **it;
        if (c.takesMouse() && c.containsTwips(x, y)) return &c;
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

std::optional<NativeChild> Form::describe(const Control& c) const {
    std::optional<NativeChild> child = c.nativeForm();
    if (!child) return child;
    NativeChild& n = *child;
    n.id = idOf(c);
    n.name = c.name();
    n.position = {twipsToWholePixels(c.left()), twipsToWholePixels(c.top())};
    n.size = {twipsToWholePixels(c.width()), twipsToWholePixels(c.height())};
    n.enabled = c.enabled();
    n.visible = c.visible();
    n.focusable = c.tabIndex() >= 0;
    return child;
}

void Form::paint(Canvas& canvas) const {
    canvas.fill(platform_.resolve(backColour_));
    if (!design_.picture.name.empty())
        canvas.drawPicture(choosePicture(design_.picture, canvas.ratio()));
    for (const auto& c : controls_)
        if (c->painted() && c->visible()) c->paint(canvas);
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
    controls_[static_cast<std::size_t>(id)]->nativeClicked(); // raises its Click
}

void Form::closeRequested() {
    unload();
}

void Form::controlChanged(const Control& control) {
    if (!native_ || loading_) return;
    if (control.painted())
        native_->invalidate(control.paintedArea());
    else if (const auto child = describe(control))
        native_->syncChild(*child);
    else
        return;
    noteChanges();
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
