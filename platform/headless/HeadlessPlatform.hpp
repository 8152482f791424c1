// A backend with no window system: windows are records in memory, painting goes into an image,
// the clock moves only when told and the message box answers what was lined up. It runs the
// shared suite in seconds, and is the smallest complete example of what a backend must do.
#pragma once

#include "platform/Backend.hpp"
#include "platform/Services.hpp"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tk::headless {

// Device pixels, row by row.
struct Bitmap {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;
    Rgb& at(int x, int y) { return pixels[static_cast<std::size_t>(y * width + x)]; }
    Rgb at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

// A native child as the window system keeps it: the core's description, with its own texts.
struct Child {
    NativeChild::Kind kind = NativeChild::Kind::PushButton;
    std::string name, caption;
    Font font; // its names are the design's, which live as long as the program
    PointPx position;
    SizePx size;
    bool checked = false;
    Rgb back, fore;
    bool enabled = true, visible = true, focusable = false;
};

class HeadlessPlatform;

// One top-level window. Input arrives through the calls under "input", as a window system
// delivers it: nothing reaches a window while a message box is up.
class HeadlessWindow final : public NativeWindow {
public:
    HeadlessWindow(HeadlessPlatform& platform, const WindowTraits& traits, WindowHost& host);
    ~HeadlessWindow() override;
    HeadlessWindow(const HeadlessWindow&) = delete;
    HeadlessWindow& operator=(const HeadlessWindow&) = delete;

    void show() override;
    void hide() override { visible_ = false; }
    bool isVisible() const override { return visible_; }
    PointPx position() const override { return position_; }
    void move(PointPx topLeft) override { position_ = topLeft; }
    WindowState windowState() const override { return state_; }
    void setWindowState(WindowState state) override { state_ = state; }
    void invalidate() override {}
    void invalidate(const RectPx&) override {} // painted afresh on every grab
    void syncChild(const NativeChild& child) override;
    void setFocus(int id) override { focus_ = children_.contains(id) ? id : -1; }

    // What the window system holds.
    WindowHost& host() const { return host_; }
    const std::string& name() const { return name_; }
    SizePx clientSize() const { return client_; }
    bool inTaskbar() const { return showInTaskbar_; }
    bool framed() const { return false; } // a form's window never has a frame
    const Child* child(int id) const;
    int focus() const { return focus_; } // a native child's id, or -1 for the window itself
    // The window painted, its children on top, for a screen of `ratio` device pixels a pixel.
    Bitmap render(int ratio) const;

    // Input: each call is one event of the window system's.
    void mouseDown(int button, int shift, PointPx at);
    void mouseUp(int button, int shift, PointPx at);
    void mouseMove(int buttons, PointPx at);
    void secondPress(int button, PointPx at);    // a double click's, in place of its press
    void key(std::optional<Key> key, int shift); // nullopt: a key the core has no name for
    void close();                                // the window manager's close command
    void captureLost();                          // a message box took the mouse

private:
    HeadlessPlatform& platform_;
    WindowHost& host_;
    std::string name_;
    SizePx client_;
    bool showInTaskbar_;
    bool visible_ = false;
    PointPx position_;
    WindowState state_ = WindowState::Normal;
    int focus_ = -1;
    int held_ = 0;        // buttons pressed on the window itself, which then has the mouse
    int childPress_ = -1; // the native child a left press went to
    std::map<int, Child> children_;

    int childAt(PointPx at) const;
};

// What a message box showed.
struct MessageBoxShown {
    std::string title, text;
    bool information = false;
    std::vector<std::string> buttons;
};

class HeadlessPlatform final : public Backend {
public:
    // `artwork` is the folder the designs' pictures are read from, as <name>.bmp and, for dense
    // screens, <name>@2x.bmp.
    explicit HeadlessPlatform(std::string artwork);

    // A window per form, hidden until shown, gone when destroyed.
    std::unique_ptr<NativeWindow> createWindow(const WindowTraits& traits,
                                               WindowHost& host) override;
    // One line's size as the design's fonts would give it, so that the layouts' fit checks
    // mean something: widths from a table of the common sans-serif faces.
    SizePx measureText(const Font& font, std::string_view text) override;
    // The primary screen; a change goes to every window's host (setScreen).
    SizePx screenSize() override { return screen_; }
    // Modal: it takes the mouse and blocks input to the windows until answered.
    void messageBox(const msgbox::Request& box,
                    std::function<void(msgbox::Answer)> answered) override;
    TimerService& timers() override { return clock_; }
    bool openAddress(std::string_view) override { return false; } // no desktop to hand it to
    // Runs until quit(), time jumping to each tick; returns at once after an earlier quit(),
    // and when no tick is left to run, since nothing else could happen.
    int exec() override;
    void quit(int code) override { exitCode_ = code; }
    // Runs at the next processPending(): the driver calls it once an input call has returned.
    void post(std::function<void()> call) override { posted_.push_back(std::move(call)); }
    void processPending();

    VirtualClock& clock() { return clock_; }
    // A screen of another size or density: every window hears of it.
    void setScreen(SizePx size, int ratio);
    int screenRatio() const { return ratio_; }

    // The next message box answers with its default button, or with the one Escape picks;
    // `meanwhile` runs while it is up. With nothing lined up, a box answers its default.
    void lineUpAnswer(bool escape, std::function<void()> meanwhile);
    const MessageBoxShown& lastMessageBox() const { return shown_; }
    bool modal() const { return modal_; }

    // The picture file `name`, of `density` pixels a logical one, for a screen of `ratio`.
    const Bitmap& picture(const std::string& name, int density, int ratio);

    void attach(HeadlessWindow* window) { windows_.push_back(window); }
    void detach(HeadlessWindow* window);

private:
    struct Answer {
        bool escape;
        std::function<void()> meanwhile;
    };

    std::string artwork_;
    VirtualClock clock_;
    SizePx screen_{1280, 1024};
    int ratio_ = 1;
    std::vector<HeadlessWindow*> windows_;
    std::deque<Answer> answers_;
    MessageBoxShown shown_;
    bool modal_ = false;
    std::optional<int> exitCode_;
    std::deque<std::function<void()>> posted_;
    std::map<std::string, Bitmap> pictures_; // by name and ratio
};

} // namespace tk::headless
