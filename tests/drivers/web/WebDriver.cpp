// Test driver for the web backend: real DOM events into the page (driver.js holds its side).
#include "platform/web/WebPlatform.hpp"
#include "tests/support/Driver.hpp"
#include "tests/support/Wrapped.hpp"

#include <emscripten/emscripten.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>

extern "C" {
void tk_web_drive_mouse(int id, int kind, int button, int buttons, int shift, int x, int y,
                        int detail);
void tk_web_drive_click_control(int id, int index);
void tk_web_drive_key(int id, int key, int shift);
int tk_web_drive_focused(int id);
void tk_web_drive_close(int id);
int tk_web_drive_in_taskbar(int id);
int tk_web_drive_framed(int id);
void tk_web_drive_client_size(int id, int* size);
void tk_web_drive_paint_now(int id);
void tk_web_drive_begin_offscreen(int width, int height, int ratio);
std::uint8_t* tk_web_drive_read(int id, int* size);
std::uint32_t tk_web_drive_control_background(int id, int index);
void tk_web_drive_answer_next(int key, void* driver);
char* tk_web_drive_seen(int field);
char* tk_web_drive_accessible(int id);
int tk_web_drive_picture_done(const char* name, int len);
int tk_web_drive_sleeping();
// The backend's own (platform.js).
void tk_web_wake_soon();
}

namespace tk::testing {

namespace {

using web::WebPlatform;
using web::WebWindow;

enum Mouse { Press, Release, Move };

// What a form paints as its picture, told by painting it.
class PictureOf final : public Canvas {
public:
    PictureOf(const Form& form, double ratio)
        : ratio_(ratio) {
        form.paint(*this);
    }
    std::string name;

    double ratio() const override { return ratio_; }
    void fill(Rgb) override {}
    void drawPicture(const PictureChoice& picture) override { name = picture.name; }
    void drawText(const RectPx&, std::string_view, const Font&, Rgb, Align) override {}
    void drawLine(double, double, double, double, Rgb, int) override {}
    void drawFrame(const RectPx&, Rgb, int) override {}
    void fillRect(const RectPx&, Rgb) override {}

private:
    double ratio_;
};

// The DOM's numbers: 0 left, 1 middle, 2 right, 3 back, 4 forward.
int domButton(int button) {
    switch (button) {
    case mouse::Left:
        return 0;
    case mouse::Middle:
        return 1;
    case mouse::Right:
        return 2;
    case 8:
        return 3;
    default:
        return 4;
    }
}

std::string taken(char* text) {
    std::string s(text);
    std::free(text);
    return s;
}

Image toImage(std::uint8_t* rgba, const int size[2]) {
    Image out{size[0], size[1], {}};
    out.pixels.reserve(static_cast<std::size_t>(size[0] * size[1]));
    for (int i = 0; i < size[0] * size[1]; ++i)
        out.pixels.push_back({rgba[4 * i], rgba[4 * i + 1], rgba[4 * i + 2]});
    std::free(rgba);
    return out;
}

class WebDriver final : public Driver {
public:
    explicit WebDriver(WebPlatform& platform)
        : platform_(platform) {}

    void press(Form& form, int button, int shift, PointPx at) override {
        held_ |= button;
        mouse(form, Press, button, shift, at, 1);
    }
    void release(Form& form, int button, int shift, PointPx at) override {
        held_ &= ~button;
        mouse(form, Release, button, shift, at, 1);
    }
    void move(Form& form, int buttons, PointPx at) override {
        if (WebWindow* w = window(form))
            tk_web_drive_mouse(w->id(), Move, 0, buttons & 7, 0, at.x, at.y, 0);
        processEvents();
    }
    // As the browser sends it: the second press counts two clicks.
    void doubleClick(Form& form, int button, PointPx at) override {
        mouse(form, Press, button, 0, at, 1);
        mouse(form, Release, button, 0, at, 1);
        mouse(form, Press, button, 0, at, 2);
        mouse(form, Release, button, 0, at, 2);
    }
    void clickControl(Form& form, std::string_view name) override {
        WebWindow* w = shown(form);
        tk_web_drive_click_control(w->id(), form.idOf(form.control<Control>(name)));
        processEvents();
    }
    void key(Form& form, Key key, int shift) override {
        tk_web_drive_key(shown(form)->id(), static_cast<int>(key), shift);
        processEvents();
    }
    std::string focusedControl(Form& form) override {
        const int id = tk_web_drive_focused(shown(form)->id());
        const auto& controls = form.controls();
        return id >= 0 && id < static_cast<int>(controls.size())
                   ? controls[static_cast<std::size_t>(id)]->name()
                   : std::string();
    }
    void closeWindow(Form& form) override {
        tk_web_drive_close(shown(form)->id());
        processEvents();
    }
    bool inTaskbar(Form& form) override { return tk_web_drive_in_taskbar(shown(form)->id()); }
    bool framed(Form& form) override { return tk_web_drive_framed(shown(form)->id()); }
    SizePx clientSize(Form& form) override {
        int size[2]{};
        tk_web_drive_client_size(shown(form)->id(), size);
        return {size[0], size[1]};
    }
    Image grab(Form& form) override {
        const int id = shown(form)->id();
        tk_web_drive_paint_now(id);
        int size[2]{};
        std::uint8_t* rgba = tk_web_drive_read(id, size);
        return toImage(rgba, size);
    }
    Image grabAt(Form& form, int ratio) override {
        shown(form);
        const std::string picture = PictureOf(form, ratio).name;
        if (!picture.empty())
            platform_.runUntil([&] {
                return tk_web_drive_picture_done(picture.data(), int(picture.size())) != 0;
            });
        tk_web_drive_begin_offscreen(twipsToWholePixels(form.width()),
                                     twipsToWholePixels(form.height()), ratio);
        web::WebCanvas canvas;
        form.paint(canvas);
        int size[2]{};
        std::uint8_t* rgba = tk_web_drive_read(0, size);
        return toImage(rgba, size);
    }
    Rgb controlBackground(Form& form, std::string_view name) override {
        WebWindow* w = shown(form);
        const std::uint32_t c =
            tk_web_drive_control_background(w->id(), form.idOf(form.control<Control>(name)));
        return {std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c)};
    }
    // Lets the browser run its own queue once (timers, decoding, painting), where it may: only
    // the outermost wait may yield.
    void processEvents() override {
        if (tk_web_drive_sleeping()) return platform_.processPending();
        bool yielded = false;
        tk_web_wake_soon();
        platform_.runUntil([&] { return std::exchange(yielded, true); });
    }
    void answerNextMessageBox(Key key, std::function<void()> meanwhile) override {
        meanwhile_ = std::move(meanwhile);
        tk_web_drive_answer_next(static_cast<int>(key), this);
    }
    bool meanwhileMayWait() const override { return false; }
    MessageBoxSeen lastMessageBox() const override {
        MessageBoxSeen seen{taken(tk_web_drive_seen(0)),
                            taken(tk_web_drive_seen(1)),
                            !taken(tk_web_drive_seen(2)).empty(),
                            {}};
        std::istringstream buttons(taken(tk_web_drive_seen(3)));
        for (std::string b; std::getline(buttons, b);)
            seen.buttons.push_back(b);
        return seen;
    }
    std::vector<std::string> accessibleView(Form& form) override {
        std::vector<std::string> out;
        std::istringstream lines(taken(tk_web_drive_accessible(shown(form)->id())));
        for (std::string line; std::getline(lines, line);)
            out.push_back(line);
        return out;
    }
    void runMeanwhile() {
        if (meanwhile_) std::exchange(meanwhile_, nullptr)();
    }

private:
    void mouse(Form& form, Mouse kind, int button, int shift, PointPx at, int detail) {
        if (WebWindow* w = window(form))
            tk_web_drive_mouse(w->id(), kind, domButton(button), held_ & 7, shift, at.x, at.y,
                               detail);
        processEvents();
    }
    // Input for a form that is not loaded has no window to go to.
    static WebWindow* window(Form& form) {
        return form.loaded() ? backendWindow<WebWindow>(form.native()) : nullptr;
    }
    static WebWindow* shown(Form& form) {
        if (!form.native()) throw std::logic_error("the form has no window");
        return backendWindow<WebWindow>(form.native());
    }

    WebPlatform& platform_;
    int held_ = 0;
    std::function<void()> meanwhile_;
};

} // namespace

std::unique_ptr<Driver> makeDriver(Platform& platform) {
    return std::make_unique<WebDriver>(backendItself<WebPlatform>(platform.backend()));
}

} // namespace tk::testing

// The page calls this once the message box is up.
extern "C" EMSCRIPTEN_KEEPALIVE void tk_web_drive_meanwhile(void* driver) {
    static_cast<tk::testing::WebDriver*>(driver)->runMeanwhile();
}
