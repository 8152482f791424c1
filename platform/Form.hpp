// A form: one window kind, built from its design when it loads. Its state lives in its controls.
#pragma once

#include "platform/Controls.hpp"
#include "platform/Platform.hpp"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
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

// How assistive technology and the keyboard see one painted control, as the application
// presents it. The core adds what the controls tell: captions, marks, visibility and the
// default action.
struct Presentation {
    enum class Role {
        Text, // its caption, followed by the caption of the label `joins`
        Link, // its caption; its action is a left press and release, which Enter gives
        Cell, // `name` at `row`, `column` of the grid; its mark is its value; acts as a link does
        Mark  // a line: while visible, `name` says what it marks on the grid
    };
    Role role = Role::Text;
    std::string name = {};
    int row = -1, column = -1;
    std::string joins = {};
    bool live = false; // Text: each new text is announced
    bool lead = false; // Text of an alert: read first once code has written it
    int tabIndex = -1; // Link: its place among the native children's tab indexes
};

// The name that form-level handlers are registered under.
inline constexpr std::string_view kFormEvents = "Form";

class Form : public WindowHost {
public:
    Form(Platform& platform, const FormDesign& design);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    Platform& platform() const { return platform_; }

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
    WindowState windowState();
    void setWindowState(WindowState state);
    Colour backColour();
    void setBackColour(Colour c);

    // The form's own user scale: twips per unit across and down.
    float unitX() const;
    float unitY() const;

    template <class T> T& control(std::string_view name, int index = -1) {
        if constexpr (std::is_same_v<T, Control>)
            return find(name, index);
        else
            return static_cast<T&>(find(name, index, T::kKind));
    }
    Label& label(std::string_view name, int index = -1) { return control<Label>(name, index); }
    Line& line(std::string_view name, int index = -1) { return control<Line>(name, index); }
    CheckBox& checkBox(std::string_view name) { return control<CheckBox>(name); }
    CommandButton& button(std::string_view name) { return control<CommandButton>(name); }
    Timer& timer(std::string_view name) { return control<Timer>(name); }
    // In stored order, which is also the painting order. Empty while unloaded.
    const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }

    // Handlers: `control` is a control's name in the design, or kFormEvents for the form itself.
    // A name the design lacks, or a second handler for one event, throws std::logic_error.
    void on(std::string_view control, Event event, Handler handler);
    // Runs the handler bound to the event, if any; a name the design lacks throws.
    void raise(std::string_view control, Event event, const EventArgs& args = {});

    // Accessibility and the keyboard: controls not presented stay out of the tree.
    void present(std::string_view control, int index, Presentation how);
    // The cells make one grid, reached with Tab at `tabIndex` and walked with the arrow keys.
    void presentGrid(std::string name, int tabIndex) {
        gridName_ = std::move(name);
        gridTabIndex_ = tabIndex;
    }
    // An alert's name is its presented texts' captions in reading order, a written `lead` first
    // (all its labels' when none is presented), and it is announced when it shows. Its first
    // line is the result that the program's grids describe until their next move.
    void presentAsAlert() { alert_ = true; }
    bool isAlert() const { return alert_; }
    // Another window alerted: a grid here keeps the first line until its next move.
    void alerted(std::string_view firstLine);

    // The top-most label under a point (twips, client area); null for the form itself.
    // Lines and shapes take no mouse input.
    const Control* hitTest(double x, double y) const;
    // The position in controls(), which names a native child to the backend.
    int idOf(const Control& control) const;

    // The window's side, in pixels of the client area.
    void paint(Canvas& canvas) const override;
    void mouseDown(MouseButton button, int shift, double x, double y) override;
    void mouseMove(MouseButton buttons, int shift, double x, double y) override;
    void mouseUp(MouseButton button, int shift, double x, double y) override;
    void doubleClick(MouseButton button, int shift, double x, double y) override;
    void mouseCaptureLost() override;
    void childClicked(int id) override;
    void closeRequested() override;
    // The focusable control with the lowest tab index, or -1.
    int initialFocus() const override;
    bool keyDown(Key key, int shift) override;
    void focusChanged(int id) override;
    AccessibleTree accessibleTree() const override;
    std::vector<AccessibleChange> accessibleChanges() override;
    void accessibleAction(int id) override;
    void screenChanged() override;
    // The control with the keyboard focus (native or painted), or -1.
    int focus() const { return focus_; }
    NativeWindow* native() const { return native_.get(); }

    // Called by controls.
    void controlChanged(const Control& control);

protected:
    // Form-level variables go back to their initial values at every load.
    virtual void clearVariables() {}

private:
    struct Presented {
        std::string control;
        int index;
        Presentation how;
    };

    Control& find(std::string_view name, int index);
    Control& find(std::string_view name, int index, ControlKind kind); // throws for another kind
    void ensureLoaded() {
        if (!loaded_) load();
    }
    void teardown();
    bool knows(std::string_view control) const;
    std::optional<NativeChild> describe(const Control& control) const; // none: not native
    void seen(int shift, double x, double y); // where the mouse was last reported
    EventArgs mouseArgs(const Control* target, MouseButton button, int shift, double x,
                        double y) const;
    void send(const Control* target, Event event, const EventArgs& args);
    // Focus and keys (FormFocus.cpp).
    void moveFocus(int id);              // the core's own move, told to the window
    void focusMoved(int from);           // repaint and tell assistive technology
    std::vector<int> focusStops() const; // in tab order: controls' ids
    const Presented* presentation(const Control& c) const;
    int cellAt(int row, int column) const; // a visible cell's id, or -1
    void paintFocus(Canvas& canvas) const;
    std::optional<RectPx> focusArea() const; // where the focus indicator is painted
    // Accessibility (FormAccessible.cpp): what changed since the last look.
    void noteChanges();
    std::string alertText() const;

    struct Binding {
        std::string control;
        Event event;
        Handler handler;
    };

    Platform& platform_;
    const FormDesign& design_;
    const Control* loadedControl(std::string_view name, int index) const;

    std::vector<Binding> handlers_;
    std::vector<Presented> presented_;
    std::string gridName_;
    int gridTabIndex_ = -1;
    bool alert_ = false;
    int focus_ = -1;                         // a control's id
    int currentCell_ = -1;                   // the grid's cell that the focus goes back to
    std::string lastResult_;                 // an alert's first line, until the grid's next move
    std::optional<AccessibleTree> reported_; // as assistive technology last heard it
    std::vector<AccessibleChange> pending_;
    std::vector<std::unique_ptr<Control>> controls_;
    std::unique_ptr<WindowLink> link_; // the window calls the form through it
    std::unique_ptr<NativeWindow> native_;
    Colour backColour_;
    bool loaded_ = false;
    bool loading_ = false;
    // The target of the press under way: mouse moves and the release go where the press went.
    bool captured_ = false;
    const Control* capture_ = nullptr;
    MouseButton pressed_ = MouseButton::None; // pressed here and not yet released
    int lastShift_ = 0;
    double lastX_ = 0, lastY_ = 0;
    std::optional<SizePx> screen_; // as the window was last placed against it
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
