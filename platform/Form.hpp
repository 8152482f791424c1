// A form: one window kind, built from its design when it loads. Its state lives in its controls.
#pragma once

#include "Controls.hpp"
#include "Platform.hpp"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tk {

enum class Event {
    Initialize,
    Load,
    Unload,
    Click,
    DblClick,
    MouseDown,
    MouseMove,
    MouseUp,
    Timer
};

struct EventArgs {
    int index = -1; // element of a control array
    int button = 0;
    int shift = 0;
    float x = 0, y = 0; // the form's user scale, relative to the control that raised the event
};

using Handler = std::function<void(const EventArgs&)>;

// The name that form-level handlers are registered under.
inline constexpr std::string_view kFormEvents = "Form";

class Form {
public:
    Form(Platform& platform, const FormDesign& design);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    Platform& platform() const { return platform_; }
    const FormDesign& design() const { return design_; }

    // Life. Touching anything of an unloaded form loads it first.
    void initialize(); // once, right after creation
    void load();
    void show();
    void unload();
    bool loaded() const { return loaded_; }
    bool visible() const; // does not load

    // Position and size in twips, screen coordinates; read from the window each time.
    int left();
    void setLeft(int twips);
    int top();
    void setTop(int twips);
    int width() const { return design_.width; }
    int height() const { return design_.height; }
    int windowState();
    void setWindowState(int state);
    Colour backColour();
    void setBackColour(Colour c);

    // The form's own user scale: twips per unit across and down.
    float unitX() const;
    float unitY() const;

    template <class T> T& control(std::string_view name, int index = -1) {
        return dynamic_cast<T&>(find(name, index));
    }
    Label& label(std::string_view name, int index = -1) { return control<Label>(name, index); }
    Line& line(std::string_view name, int index = -1) { return control<Line>(name, index); }
    CheckBox& checkBox(std::string_view name) { return control<CheckBox>(name); }
    CommandButton& button(std::string_view name) { return control<CommandButton>(name); }
    Timer& timer(std::string_view name) { return control<Timer>(name); }
    // In stored order, which is also the painting order. Empty while unloaded.
    const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }

    // Handlers: `control` is a control's name, or kFormEvents for the form itself.
    void on(std::string_view control, Event event, Handler handler);
    void raise(std::string_view control, Event event, const EventArgs& args = {});

    // The top-most label under a point (twips, client area); null for the form itself.
    // Lines and shapes take no mouse input.
    const Control* hitTest(double x, double y) const;
    // The focusable control with the lowest tab index, if any.
    const Control* initialFocus() const;

    // Called by the backend, in pixels of the client area.
    void paint(Canvas& canvas) const;
    void mouseDown(int button, int shift, double x, double y);
    void mouseMove(int buttons, int shift, double x, double y);
    void mouseUp(int button, int shift, double x, double y);
    void doubleClick(int button, int shift, double x, double y);
    // The window system took the mouse away (a modal box opened, the capture went elsewhere):
    // the presses under way end as their releases would, where the mouse was last seen.
    void mouseCaptureLost();
    void nativeClick(const Control& control);  // a push button was pressed
    void nativeToggle(const Control& control); // the user changed a check box
    void closeRequested();                     // the window system asks the window to close
    NativeWindow* native() const { return native_.get(); }

    // Called by controls.
    void controlChanged(const Control& control);
    // Where a windowless control paints, in pixels of the client area.
    RectPx paintedArea(const Control& control) const;

protected:
    // Form-level variables go back to their initial values at every load.
    virtual void clearVariables() {}

private:
    Control& find(std::string_view name, int index);
    void ensureLoaded() {
        if (!loaded_) load();
    }
    void teardown();
    void seen(int shift, double x, double y); // where the mouse was last reported
    EventArgs mouseArgs(const Control* target, int button, int shift, double x, double y) const;
    void send(const Control* target, Event event, const EventArgs& args);

    struct Binding {
        std::string control;
        Event event;
        Handler handler;
    };

    Platform& platform_;
    const FormDesign& design_;
    std::vector<Binding> handlers_;
    std::vector<std::unique_ptr<Control>> controls_;
    std::unique_ptr<NativeWindow> native_;
    Colour backColour_;
    bool loaded_ = false;
    bool loading_ = false;
    // The target of the press under way: mouse moves and the release go where the press went.
    bool captured_ = false;
    const Control* capture_ = nullptr;
    int pressed_ = 0; // buttons pressed here and not yet released
    int lastShift_ = 0;
    double lastX_ = 0, lastY_ = 0;
};

// The one object of a form kind, created on first use.
template <class T> class FormRef {
public:
    explicit FormRef(std::function<std::unique_ptr<T>()> make)
        : make_(std::move(make)) {}

    T& operator()() {
        if (!form_) {
            form_ = make_();
            form_->initialize();
        }
        return *form_;
    }
    bool exists() const { return form_ != nullptr; }
    bool loaded() const { return form_ && form_->loaded(); }

private:
    std::function<std::unique_ptr<T>()> make_;
    std::unique_ptr<T> form_;
};

} // namespace tk
