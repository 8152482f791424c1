// The web backend: the page is the screen, each loaded form an element with a canvas
// (platform.js holds the browser's side). Input and timer ticks are queued and handled one after
// another by a loop that yields to the browser while it waits (Asyncify).
#pragma once

#include "platform/Backend.hpp"

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tk::web {

// The browser's timers.
class WebTimers final : public TimerTable {
public:
    WebTimers() = default;
    ~WebTimers() override;
    WebTimers(const WebTimers&) = delete;
    WebTimers& operator=(const WebTimers&) = delete;

    void fired(int id) { fire(id); } // the browser's timer went off

private:
    bool startNative(int id, int intervalMs) override;
    void stopNative(int id) override; // the page keeps the browser's timers by these ids
};

class WebPlatform;

// The window of one loaded form, known to the page by its id.
class WebWindow final : public NativeWindow {
public:
    WebWindow(WebPlatform& platform, const WindowTraits& traits, WindowHost& host);
    ~WebWindow() override;
    WebWindow(const WebWindow&) = delete;
    WebWindow& operator=(const WebWindow&) = delete;

    void show() override;
    void hide() override;
    bool isVisible() const override;
    PointPx position() const override;
    void move(PointPx topLeft) override;
    WindowState windowState() const override;
    void setWindowState(WindowState state) override;
    void invalidate() override;
    void invalidate(const RectPx& area) override;
    void syncChild(const NativeChild& child) override;
    void setFocus(int id) override;
    // Brought up to date once the event at hand is handled, with whatever else it changed.
    void accessibleChanged() override;

    int id() const { return id_; }
    WindowHost& host() const { return host_; }
    // Hands the host's changes to the overlay over the canvas: the nodes they name, or the whole
    // tree when nodes came or went (or `whole`), and what is to be spoken.
    void syncAccessible(bool whole = false);
    bool accessibleDue() const { return accessibleDue_; }

private:
    WebPlatform& platform_;
    WindowHost& host_;
    int id_;
    bool accessibleDue_ = false;
};

class WebPlatform final : public Backend {
public:
    WebPlatform();
    ~WebPlatform() override;
    WebPlatform(const WebPlatform&) = delete;
    WebPlatform& operator=(const WebPlatform&) = delete;

    std::unique_ptr<NativeWindow> createWindow(const WindowTraits& traits,
                                               WindowHost& host) override;
    SizePx measureText(const Font& font, std::string_view text) override;
    SizePx screenSize() override;
    void messageBox(const msgbox::Request& request,
                    std::function<void(msgbox::Answer)> answered) override;
    WebTimers& timers() override { return timers_; }
    int exec() override;
    void quit(int code) override;
    bool openAddress(std::string_view address) override;

    // Queues an event for the loop; the waiting loop wakes up for it.
    void post(std::function<void()> event) override;
    // Handles every queued event, and those they queue.
    void processPending();
    // Where the browser runs the loop: handles what is queued, and ends the program once quit.
    void drain();
    // Handles events, yielding to the browser while none is queued, until `done` holds. Only
    // the outermost wait may yield: the browser resumes one waiting stack at a time.
    void runUntil(const std::function<bool()>& done);

    int addWindow(WebWindow& window);
    void removeWindow(int id);
    WebWindow* window(int id) const;
    void screenChanged(); // tells every window
    void paint(int id);
    void answer(int value); // the box's, as a msgbox::Answer

private:
    WebTimers timers_;
    std::vector<std::function<void()>> pending_; // handled from next_ on
    std::size_t next_ = 0;
    std::vector<std::pair<int, WebWindow*>> windows_; // a few at a time, by id
    int nextWindow_ = 1;
    int waiting_ = 0;
    std::optional<int> exitCode_;
    std::function<void(msgbox::Answer)> answered_;
    bool ended_ = false;
};

// Paints through the page's 2D context for the canvas being painted.
class WebCanvas final : public Canvas {
public:
    void fill(Rgb colour) override;
    double ratio() const override;
    void drawPicture(const PictureChoice& picture) override;
    void drawText(const RectPx& box, std::string_view text, const Font& font, Rgb colour,
                  Align align) override;
    void drawLine(double x1, double y1, double x2, double y2, Rgb colour, int width) override;
    void drawFrame(const RectPx& box, Rgb colour, int width) override;
    void fillRect(const RectPx& box, Rgb colour) override;
};

} // namespace tk::web
