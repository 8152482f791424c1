// The real backend and its windows passed through, with what tests watch written down: the
// program's end, the windows alive, the areas repainted. A driver finds the backend's own window
// behind the wrappers with `backendWindow`.
#pragma once

#include "platform/Backend.hpp"

#include <algorithm>
#include <memory>
#include <vector>

namespace tk::testing {

class WrappedBackend;

class WrappedWindow final : public NativeWindow {
public:
    WrappedWindow(std::unique_ptr<NativeWindow> real, WindowHost& host, WrappedBackend& owner);
    ~WrappedWindow() override;
    WrappedWindow(const WrappedWindow&) = delete;
    WrappedWindow& operator=(const WrappedWindow&) = delete;

    void show() override { real_->show(); }
    void hide() override { real_->hide(); }
    bool isVisible() const override { return real_->isVisible(); }
    PointPx position() const override { return real_->position(); }
    void move(PointPx p) override { real_->move(p); }
    WindowState windowState() const override { return real_->windowState(); }
    void setWindowState(WindowState s) override { real_->setWindowState(s); }
    void invalidate() override;
    void invalidate(const RectPx& area) override;
    void syncChild(const NativeChild& c) override { real_->syncChild(c); }
    void setFocus(int id) override { real_->setFocus(id); }
    void accessibleChanged() override;

    NativeWindow& real() const { return *real_; }
    WindowHost& host;

private:
    std::unique_ptr<NativeWindow> real_;
    WrappedBackend& owner_;
};

class WrappedBackend final : public Backend {
public:
    explicit WrappedBackend(Backend& real)
        : real_(real) {}

    std::unique_ptr<NativeWindow> createWindow(const WindowTraits& traits,
                                               WindowHost& host) override {
        return std::make_unique<WrappedWindow>(real_.createWindow(traits, host), host, *this);
    }
    SizePx measureText(const Font& f, std::string_view t) override {
        return real_.measureText(f, t);
    }
    bool hasGlyphs(const Font& f, std::string_view t) override { return real_.hasGlyphs(f, t); }
    Rgb systemColour(int index) const override { return real_.systemColour(index); }
    SizePx screenSize() override { return real_.screenSize(); }
    void messageBox(const msgbox::Request& box,
                    std::function<void(msgbox::Answer)> answered) override {
        real_.messageBox(box, std::move(answered));
    }
    TimerService& timers() override { return real_.timers(); }
    bool openAddress(std::string_view a) override { return real_.openAddress(a); }
    WindowsApi* windowsApi() override { return real_.windowsApi(); }
    // The suite runs no event loop: the core's exec() returns what the program asked to end
    // with, if it did, or this instead of waiting for events.
    static constexpr int kNoExit = -1;
    int exec() override { return kNoExit; }
    void quit(int code) override { real_.quit(code); }
    void post(std::function<void()> call) override { real_.post(std::move(call)); }

    Backend& real() const { return real_; }
    const std::vector<WrappedWindow*>& windows() const { return windows_; } // oldest first

    bool recordInvalidated = false;     // into `invalidated`; the whole window as a huge area
    std::vector<RectPx> invalidated;    //
    bool keepAccessibleChanges = false; // the test reads them, not the window system

private:
    friend class WrappedWindow;
    Backend& real_;
    std::vector<WrappedWindow*> windows_;
};

inline WrappedWindow::WrappedWindow(std::unique_ptr<NativeWindow> real, WindowHost& h,
                                    WrappedBackend& owner)
    : host(h)
    , real_(std::move(real))
    , owner_(owner) {
    owner_.windows_.push_back(this);
}

inline WrappedWindow::~WrappedWindow() {
    std::erase(owner_.windows_, this);
}

inline void WrappedWindow::invalidate() {
    if (owner_.recordInvalidated) owner_.invalidated.push_back({-1e9, -1e9, 2e9, 2e9});
    real_->invalidate();
}

inline void WrappedWindow::invalidate(const RectPx& area) {
    if (owner_.recordInvalidated) owner_.invalidated.push_back(area);
    real_->invalidate(area);
}

inline void WrappedWindow::accessibleChanged() {
    if (!owner_.keepAccessibleChanges) real_->accessibleChanged();
}

// The backend's own window of type T behind any wrappers, or null.
template <class T> T* backendWindow(NativeWindow* window) {
    while (auto* wrapped = dynamic_cast<WrappedWindow*>(window))
        window = &wrapped->real();
    return dynamic_cast<T*>(window);
}

// The backend itself, of type T, behind any wrappers.
template <class T> T& backendItself(Backend& backend) {
    Backend* b = &backend;
    while (auto* wrapped = dynamic_cast<WrappedBackend*>(b))
        b = &wrapped->real();
    return dynamic_cast<T&>(*b);
}

} // namespace tk::testing
