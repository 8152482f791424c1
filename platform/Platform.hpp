// The core's view of the program: the backend it runs on, the services a test may replace, and
// the count of loaded forms that ends the program.
#pragma once

#include "platform/Backend.hpp"
#include "platform/Services.hpp"
#include "platform/WindowsApi.hpp"

#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace tk {

class Form;
class Platform;

// Stands between a form and its window, which calls the form through it. It counts the calls under
// way, so that the form knows whether the window system is inside one of the window's events; once
// the form has let the window go, the window reaches the form no more (it may load again, with a
// new window) and is destroyed after the last of those events.
class WindowLink final : public WindowHost {
public:
    WindowLink(Platform& platform, WindowHost& form)
        : platform_(platform)
        , form_(&form) {}
    WindowLink(const WindowLink&) = delete;
    WindowLink& operator=(const WindowLink&) = delete;

    bool busy() const { return depth_ > 0; }
    // Hides the window now; it goes once the calls under way have returned and their event too.
    void retire(std::unique_ptr<NativeWindow> window);

    void paint(Canvas& canvas) const override;
    void mouseDown(MouseButton button, int shift, double x, double y) override;
    void mouseMove(MouseButton buttons, int shift, double x, double y) override;
    void mouseUp(MouseButton button, int shift, double x, double y) override;
    void doubleClick(MouseButton button, int shift, double x, double y) override;
    void mouseCaptureLost() override;
    void childClicked(int id) override;
    void closeRequested() override;
    int initialFocus() const override;
    bool keyDown(Key key, int shift) override;
    void focusChanged(int id) override;
    AccessibleTree accessibleTree() const override;
    std::vector<AccessibleChange> accessibleChanges() override;
    void accessibleAction(int id) override;
    void screenChanged() override;

private:
    struct Under; // a call under way

    Platform& platform_;
    WindowHost* form_;                     // null once retired
    std::unique_ptr<NativeWindow> window_; // only once retired
    int depth_ = 0;
};

// Each set one stands in for the backend's own.
struct Seams {
    std::function<msgbox::Answer(const msgbox::Request&)> messageBox;
    Random* random = nullptr;
    TimerService* clock = nullptr;
    WindowsApi* windowsApi = nullptr;
    std::optional<SizePx> screenSize;
};

class Platform {
public:
    explicit Platform(Backend& backend);
    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;

    Backend& backend() const { return backend_; }
    Seams seams;

    // Asks, and hands the answer to `answered`, which may run after this returns.
    void messageBox(std::string_view prompt, msgbox::Style style, std::string_view title,
                    std::function<void(msgbox::Answer)> answered);
    Random& random();
    TimerService& timers();
    WindowsApi& windowsApi();
    SizePx screenSize();
    Rgb resolve(Colour c) const {
        return isSystemColour(c) ? backend_.systemColour(c & 0xFF) : toRgb(c);
    }
    int exec();
    // Ends exec(), or makes the next one return at once.
    void quit(int code);

    // The program ends when its last form has unloaded.
    void formLoaded() { ++loadedForms_; }
    void formUnloaded(bool endWhenLast);
    // Forms that exist, so that an alert on one reaches the grids of the others.
    void attach(Form& form) { forms_.push_back(&form); }
    void detach(Form& form) { std::erase(forms_, &form); }
    void alerted(std::string_view firstLine);
    bool alerting() const; // an alert window is loaded
    // Keeps a window let go inside one of its own events until the window system is out of it.
    void retire(std::unique_ptr<WindowLink> link) { retired_.push_back(std::move(link)); }
    void reap(const WindowLink* link);

private:
    Backend& backend_;
    ClockSeededRandom random_;
    StandInWindowsApi standIn_{backend_};
    std::vector<Form*> forms_;
    int loadedForms_ = 0;
    bool running_ = false;
    std::optional<int> pendingExit_;
    std::vector<std::unique_ptr<WindowLink>> retired_; // what is left goes with the platform
};

// Starts the linked backend and hands `body` the program's platform. Inline, so that it lands in
// the program beside the backend it calls.
inline int run(int argc, char** argv, std::string_view program,
               const std::function<int(Platform&)>& body) {
    return runBackend(argc, argv, program, [&body](Backend& backend) {
        Platform platform(backend);
        return body(platform);
    });
}

} // namespace tk
