// Drives a form through its real window system, for tests. Each backend supplies one.
#pragma once

#include "platform/Form.hpp"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tk::testing {

struct Image {
    int width = 0, height = 0;
    std::vector<Rgb> pixels;
    Rgb at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

enum class Key { Enter, Space, Escape, Tab, Left, Right, Up, Down, Home, End };

class Driver {
public:
    virtual ~Driver() = default;

    // Mouse input on a form's client area, in pixels; buttons and masks as handlers see them.
    virtual void press(Form& form, int button, int shift, PointPx at) = 0;
    virtual void release(Form& form, int button, int shift, PointPx at) = 0;
    virtual void move(Form& form, int buttons, PointPx at) = 0;
    virtual void doubleClick(Form& form, int button, PointPx at) = 0;
    void click(Form& form, int button, PointPx at, int shift = 0) {
        press(form, button, shift, at);
        release(form, button, shift, at);
    }
    // A left click on a native child control (push button or check box).
    virtual void clickControl(Form& form, std::string_view name) = 0;
    // A key, with a Shift/Ctrl/Alt mask, to whatever holds the keyboard focus in the form's
    // window, as the window system delivers it.
    virtual void key(Form& form, Key key, int shift = 0) = 0;
    // The name of the native control that holds the focus in the form's window, or "" (the
    // window itself holds it for a painted control).
    virtual std::string focusedControl(Form& form) = 0;
    // The window system's own close command, as a window manager sends it.
    virtual void closeWindow(Form& form) = 0;
    // Whether the window system shows the form with a taskbar button, a frame and an icon.
    virtual bool inTaskbar(Form& form) = 0;
    virtual bool framed(Form& form) = 0;
    virtual SizePx clientSize(Form& form) = 0;
    // The window as the window system painted it, child controls included, in device pixels.
    virtual Image grab(Form& form) = 0;
    // The window painted for a screen of the given device pixel ratio.
    virtual Image grabAt(Form& form, int ratio) = 0;
    // The background colour a native child control paints.
    virtual Rgb controlBackground(Form& form, std::string_view name) = 0;
    virtual void processEvents() = 0;
    // Whether a real window system draws, styles and times the windows. Without one, text is
    // drawn as plain blocks, lines have no soft edges and the clock moves only when told: a
    // test that checks those skips there.
    virtual bool realWindowSystem() const { return true; }
    // Answers the next modal message box with a key, as a user would, and notes what it showed.
    struct MessageBoxSeen {
        std::string title, text;
        bool information = false;
        std::vector<std::string> buttons;
    };
    // `meanwhile` runs while the box is up, before the answer.
    virtual void answerNextMessageBox(Key key, std::function<void()> meanwhile = {}) = 0;
    // Whether `meanwhile` may wait for the window system's events and ticks; the page's runs in
    // a browser callback, which cannot wait.
    virtual bool meanwhileMayWait() const { return true; }
    virtual MessageBoxSeen lastMessageBox() const = 0;
    // The form's window as assistive technology reads it, through the platform's own interface,
    // depth first: "role: name", then " = value" and " (checked)" where the platform says so.
    // Roles read alike everywhere: window, table, cell, button, check box, link, text, alert.
    virtual std::vector<std::string> accessibleView(Form&) { return {}; }
};

// Defined by the backend's test support.
std::unique_ptr<Driver> makeDriver(Platform& platform);

} // namespace tk::testing
