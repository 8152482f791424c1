// What a backend supplies to the core: native windows, text measuring, the screen, the message
// box, timers and the event loop's end. Everything else lives in the core.
#pragma once

#include "Services.hpp"
#include "Types.hpp"
#include "WindowsApi.hpp"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tk {

class Form;
class Control;

// Draws windowless controls; coordinates in (logical) pixels.
class Canvas {
public:
    virtual ~Canvas() = default;
    virtual void fill(Rgb colour) = 0;
    virtual void drawPicture(std::string_view resource) = 0; // unscaled, at the top-left corner
    virtual void drawText(const RectPx& box, std::string_view text, const Font& font, Rgb colour,
                          Align align) = 0;
    virtual void drawLine(double x1, double y1, double x2, double y2, Rgb colour, int width) = 0;
    virtual void drawFrame(const RectPx& box, Rgb colour, int width) = 0; // inside the box
    virtual void fillRect(const RectPx& box, Rgb colour) = 0;
};

// One native top-level window for one loaded form.
class NativeWindow {
public:
    virtual ~NativeWindow() = default;
    virtual void show() = 0; // visible, and active when the form says so
    virtual bool isVisible() const = 0;
    virtual PointPx position() const = 0;
    virtual void move(PointPx topLeft) = 0;
    virtual int windowState() const = 0;
    virtual void setWindowState(int state) = 0;
    virtual void invalidate() = 0;                        // the whole window
    virtual void invalidate(const RectPx& area) = 0;      // a windowless control changed there
    virtual void syncControl(const Control& control) = 0; // a native child's state changed
    virtual void setBackColour(Rgb colour) = 0;
    virtual void* handle() const = 0; // the window system's own handle, for test drivers
};

struct Seams {
    std::function<int(std::string_view prompt, int style, std::string_view title)> messageBox;
    Random* random = nullptr;
    TimerService* clock = nullptr;
    WindowsApi* windowsApi = nullptr;
    std::optional<SizePx> screenSize;
};

class Platform {
public:
    Platform();
    virtual ~Platform();
    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;

    Seams seams;

    // Backends implement these.
    virtual std::unique_ptr<NativeWindow> createWindow(Form& form) = 0;
    virtual SizePx measureText(const Font& font, std::string_view text) = 0;
    virtual Rgb systemColour(int index) const { return defaultSystemColour(index); }
    virtual int exec() = 0;          // runs the event loop until quit()
    virtual void quit(int code) = 0; // ends exec() once the current event is handled
    virtual bool openAddress(std::string_view address) = 0; // the desktop's default handler

    // The core goes through these, so tests can step in.
    int messageBox(std::string_view prompt, int style, std::string_view title);
    Random& random();
    TimerService& timers();
    WindowsApi& windowsApi();
    SizePx screenSize();
    Rgb resolve(Colour c) const { return isSystemColour(c) ? systemColour(c & 0xFF) : toRgb(c); }

    // The application ends when its last form has unloaded.
    void formLoaded() { ++loadedForms_; }
    void formUnloaded(bool endWhenLast);
    int loadedForms() const { return loadedForms_; }
    bool quitRequested() const { return quitRequested_; }
    void clearQuitRequest() { quitRequested_ = false; }

protected:
    virtual int nativeMessageBox(std::string_view prompt, int style, std::string_view title) = 0;
    virtual TimerService& nativeTimers() = 0;
    virtual SizePx nativeScreenSize() = 0;
    virtual WindowsApi& nativeWindowsApi() { return standIn_; }

private:
    ClockSeededRandom random_;
    StandInWindowsApi standIn_{*this};
    int loadedForms_ = 0;
    bool quitRequested_ = false;
};

// Defined by the linked backend: sets up the window system, hands it to `body`, and returns
// what `body` returns as the process's exit code.
int run(int argc, char** argv, const std::function<int(Platform&)>& body);

} // namespace tk
