// Test driver for the headless backend: input into its in-memory windows, as the window system
// would deliver it, and their pictures painted afresh.
#include "platform/headless/HeadlessPlatform.hpp"
#include "tests/support/Driver.hpp"
#include "tests/support/Wrapped.hpp"

#include <stdexcept>

namespace tk::testing {

namespace {

using headless::HeadlessPlatform;
using headless::HeadlessWindow;

std::optional<tk::Key> backendKey(Key key) {
    switch (key) {
    case Key::Enter:
        return tk::Key::Enter;
    case Key::Space:
        return tk::Key::Space;
    case Key::Tab:
        return tk::Key::Tab;
    case Key::Left:
        return tk::Key::Left;
    case Key::Right:
        return tk::Key::Right;
    case Key::Up:
        return tk::Key::Up;
    case Key::Down:
        return tk::Key::Down;
    case Key::Home:
        return tk::Key::Home;
    case Key::End:
        return tk::Key::End;
    case Key::Escape:
        break;
    }
    return std::nullopt;
}

Image toImage(headless::Bitmap&& b) {
    return {b.width, b.height, std::move(b.pixels)};
}

class HeadlessDriver final : public Driver {
public:
    explicit HeadlessDriver(HeadlessPlatform& platform)
        : platform_(platform) {}

    // Input for a form that is not loaded has no window to go to.
    void press(Form& form, int button, int shift, PointPx at) override {
        if (HeadlessWindow* w = window(form)) w->mouseDown(button, shift, at);
        processEvents();
    }
    void release(Form& form, int button, int shift, PointPx at) override {
        if (HeadlessWindow* w = window(form)) w->mouseUp(button, shift, at);
        processEvents();
    }
    void move(Form& form, int buttons, PointPx at) override {
        if (HeadlessWindow* w = window(form)) w->mouseMove(buttons, at);
        processEvents();
    }
    // The window may go at any step: each finds it afresh.
    void doubleClick(Form& form, int button, PointPx at) override {
        click(form, button, at);
        if (HeadlessWindow* w = window(form)) w->secondPress(button, at);
        release(form, button, 0, at);
    }
    void clickControl(Form& form, std::string_view name) override {
        const headless::Child* c = shown(form).child(form.idOf(form.control<Control>(name)));
        if (!c) throw std::logic_error("no native child of that name");
        click(form, mouse::Left,
              {c->position.x + c->size.width / 2, c->position.y + c->size.height / 2});
    }
    void key(Form& form, Key key, int shift) override {
        shown(form).key(backendKey(key), shift);
        processEvents();
    }
    std::string focusedControl(Form& form) override {
        const int id = shown(form).focus();
        return id < 0 ? std::string() : form.controls()[static_cast<std::size_t>(id)]->name();
    }
    void closeWindow(Form& form) override {
        shown(form).close();
        processEvents();
    }
    bool inTaskbar(Form& form) override { return shown(form).inTaskbar(); }
    bool framed(Form& form) override { return shown(form).framed(); }
    SizePx clientSize(Form& form) override { return shown(form).clientSize(); }
    Image grab(Form& form) override { return toImage(shown(form).render(platform_.screenRatio())); }
    Image grabAt(Form& form, int ratio) override { return toImage(shown(form).render(ratio)); }
    // As the player sees it: the window with the control on it, clear of box and caption.
    Rgb controlBackground(Form& form, std::string_view name) override {
        const HeadlessWindow& w = shown(form);
        const headless::Child* c = w.child(form.idOf(form.control<Control>(name)));
        if (!c) throw std::logic_error("no native child of that name");
        return w.render(1).at(c->position.x + c->size.width - 2,
                              c->position.y + c->size.height - 2);
    }
    void processEvents() override {
        platform_.processPending();
        platform_.clock().advance(0);
    }
    bool realWindowSystem() const override { return false; }
    void answerNextMessageBox(Key key, std::function<void()> meanwhile) override {
        platform_.lineUpAnswer(key == Key::Escape, std::move(meanwhile));
    }
    MessageBoxSeen lastMessageBox() const override {
        const headless::MessageBoxShown& s = platform_.lastMessageBox();
        return {s.title, s.text, s.information, s.buttons};
    }

private:
    HeadlessWindow* window(Form& form) const { return form.loaded() ? ours(form) : nullptr; }
    HeadlessWindow& shown(Form& form) const {
        HeadlessWindow* w = ours(form);
        if (!w) throw std::logic_error("the form has no window");
        return *w;
    }
    // A test's own backend may wrap the window; the form is still the host of ours.
    HeadlessWindow* ours(Form& form) const { return backendWindow<HeadlessWindow>(form.native()); }

    HeadlessPlatform& platform_;
};

} // namespace

std::unique_ptr<Driver> makeDriver(Platform& platform) {
    return std::make_unique<HeadlessDriver>(backendItself<HeadlessPlatform>(platform.backend()));
}

} // namespace tk::testing
