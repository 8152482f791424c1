// What a window system must supply to run the program, and what it hands back. A backend
// implements `Backend`, `NativeWindow` and `Canvas`, defines `runBackend`, and calls nothing but
// the `WindowHost` it is given. Values are pixels; colours come resolved. Its folder
// platform/<name>/ defines the target tk_backend, and tests/drivers/<name>/ its test driver
// tk_backend_testing (tests/support/Driver.hpp); docs/PORTING.md walks through a new one.
//
// Habits the suites expect of every backend, beside what each call below says:
// - a hidden window reports the state it was last asked for;
// - a mouse move reported while the mouse stands still is dropped;
// - while a message box is up no window takes input, and ticks still run;
// - Enter or Space on a focused push button, and Space on a focused check box, click it;
// - a left press on a native child focuses it, and only a release over it clicks it;
// - buttons other than left, right and middle stay with the window system;
// - a double click comes as doubleClick in place of its second press.
#pragma once

#include "platform/Types.hpp"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tk {

class WindowsApi;

// Draws a form's windowless controls, in logical pixels.
class Canvas {
public:
    virtual ~Canvas() = default;
    virtual double ratio() const = 0; // device pixels to a logical one
    virtual void fill(Rgb colour) = 0;
    // At the top-left corner, `density` of its pixels to a logical one.
    virtual void drawPicture(const PictureChoice& picture) = 0;
    virtual void drawText(const RectPx& box, std::string_view text, const Font& font, Rgb colour,
                          Align align) = 0; // not clipped to the box
    virtual void drawLine(double x1, double y1, double x2, double y2, Rgb colour, int width) = 0;
    virtual void drawFrame(const RectPx& box, Rgb colour, int width) = 0; // inside the box
    virtual void fillRect(const RectPx& box, Rgb colour) = 0;
};

// A native child control as the core wants it shown. `id` names it to the host.
struct NativeChild {
    enum class Kind { PushButton, CheckBox };
    int id = 0;
    std::string_view name; // the control's name in the design
    Kind kind = Kind::PushButton;
    PointPx position;
    SizePx size;
    std::string_view caption;
    Font font;
    bool checked = false;
    Rgb back, fore; // check boxes paint both; a push button keeps the system's look
    bool enabled = true, visible = true, focusable = false;
};

// The keys the core acts on; a backend maps its own to these (the keypad's too) and leaves the
// rest to the window system.
enum class Key { Tab, Enter, Space, Left, Right, Up, Down, Home, End };

// A window's painted controls as assistive technology is told of them. Nodes are kept by `id`:
// the window, the grid, or a control's id as for a native child. The backend maps roles to its
// platform and derives nothing itself.
struct AccessibleNode {
    static constexpr int kWindow = -1, kGrid = -2;
    enum class Role { Window, Alert, PushButton, CheckBox, Text, Link, Grid, Cell };
    int id = kWindow;
    Role role = Role::Window;
    int parent = -1;                // index into the tree's nodes; -1 for the window
    std::vector<int> children = {}; // indices, in reading order
    bool native = false;            // a native child, which the window system describes
    std::string name = {};
    std::string value = {};       // a cell's mark, or "empty"
    std::string description = {}; // the grid: what is struck through, and the last result
    RectPx bounds = {};           // pixels of the client area
    int row = -1, column = -1;    // a cell's place in the grid
    bool focusable = false, focused = false, checked = false, enabled = true;
    bool action = false; // WindowHost::accessibleAction works on it ("Press")
};

struct AccessibleTree {
    std::vector<AccessibleNode> nodes; // [0] is the window
    const AccessibleNode* find(int id) const;
    const AccessibleNode* focused() const; // the painted or native node with the focus, or null
};

// What changed since the backend last asked, in the order it happened.
struct AccessibleChange {
    enum class Kind {
        Name,        // a node's name
        Value,       // a cell's mark
        Description, // the grid's
        State,       // checked, enabled
        Focus,       // the focus moved to node `id` (painted or native)
        Structure,   // nodes came or went
        Announce,    // `text` is to be spoken politely (a move, the turn)
        Alert        // the window, an alert, opened: its name is to be spoken at once
    };
    Kind kind = Kind::Name;
    int id = AccessibleNode::kWindow;
    std::string text = {};
};

// The core's side of one window: the backend turns native input into these calls.
class WindowHost {
public:
    virtual void paint(Canvas& canvas) const = 0;
    virtual void mouseDown(MouseButton button, int shift, double x, double y) = 0;
    virtual void mouseMove(MouseButton buttons, int shift, double x, double y) = 0; // those held
    virtual void mouseUp(MouseButton button, int shift, double x, double y) = 0;
    // In place of the second press of a double click.
    virtual void doubleClick(MouseButton button, int shift, double x, double y) = 0;
    // The window system took the mouse away (a modal box opened, the capture went elsewhere):
    // the presses under way end as their releases would.
    virtual void mouseCaptureLost() = 0;
    virtual void childClicked(int id) = 0; // the user pressed a push button or a check box
    virtual void closeRequested() = 0;     // the window system asks the window to close
    virtual int initialFocus() const = 0;  // the child to focus when shown, or -1
    // A key pressed while the window or one of its children holds the keyboard focus; false
    // leaves it to the window system. Tab is always the core's.
    virtual bool keyDown(Key key, int shift) = 0;
    // The window system or assistive technology put the focus on node `id` (a native child
    // clicked, a painted item focused by a screen reader).
    virtual void focusChanged(int id) = 0;
    virtual AccessibleTree accessibleTree() const = 0;
    virtual std::vector<AccessibleChange> accessibleChanges() = 0; // since the last call
    virtual void accessibleAction(int id) = 0;                     // a node's default action
    // The screen's size or work area changed (resolution, docking, scale): the window comes
    // back inside the screen, a window at the right or bottom edge staying at that edge.
    virtual void screenChanged() = 0;

protected:
    ~WindowHost() = default;
};

struct WindowTraits {
    std::string_view name; // the form's name in the design
    std::string_view title;
    SizePx client;             // the whole window: it has no frame
    bool showInTaskbar = true; // else a tool window
    bool blankIcon = false;    // a fully transparent icon instead of none
};

// One top-level window, created hidden. Destroying it closes it at once: the core never destroys
// a window inside one of its own events (it hides it, and destroys it through Backend::post).
class NativeWindow {
public:
    virtual ~NativeWindow() = default;
    virtual void show() = 0; // visible and active, focus on the host's initial child
    virtual void hide() = 0; // the focus goes where the window system puts it when one closes
    virtual bool isVisible() const = 0;
    virtual PointPx position() const = 0; // the normal position, also while minimised
    virtual void move(PointPx topLeft) = 0;
    virtual WindowState windowState() const = 0;
    virtual void setWindowState(WindowState state) = 0;
    virtual void invalidate() = 0;
    virtual void invalidate(const RectPx& area) = 0;
    virtual void syncChild(const NativeChild& child) = 0; // creates it the first time
    // The core moved the keyboard focus: to native child `id`, or to the window itself for a
    // painted control (-1 or a painted control's id).
    virtual void setFocus(int id) = 0;
    // WindowHost::accessibleChanges() has something new; only assistive technology that asked
    // need be told.
    virtual void accessibleChanged() {}
};

// Runs ticks on the user-interface thread, inside modal loops too.
class TimerService {
public:
    using Tick = std::function<void()>;
    virtual ~TimerService() = default;
    virtual int start(int intervalMs, Tick tick) = 0; // repeating until stopped; id > 0
    virtual void stop(int id) = 0;
};

// The core's table of timers over the window system's own: a backend supplies only a repeating
// timer by id and calls fire() each time it goes off. Stops nothing when destroyed: the
// window system's timers go with the backend's objects.
class TimerTable : public TimerService {
public:
    int start(int intervalMs, Tick tick) final;
    void stop(int id) final;
    std::size_t running() const { return ticks_.size(); }

protected:
    void fire(int id); // the native timer `id` went off
    // On the user-interface thread, inside modal loops too; false when the system refuses.
    virtual bool startNative(int id, int intervalMs) = 0;
    virtual void stopNative(int id) = 0;

private:
    std::vector<std::pair<int, Tick>>::iterator find(int id);

    std::vector<std::pair<int, Tick>> ticks_; // a timer or two a form: a list does
    int nextId_ = 1;
};

class Backend {
public:
    virtual ~Backend() = default;
    virtual std::unique_ptr<NativeWindow> createWindow(const WindowTraits& traits,
                                                       WindowHost& host) = 0;
    // One line, in `font.name` or else the first face of `font.fallback` the system has: the
    // layouts were fitted with those faces.
    virtual SizePx measureText(const Font& font, std::string_view text) = 0;
    // Whether the font, or the faces the window system falls back to, draws every letter.
    virtual bool hasGlyphs(const Font&, std::string_view) { return true; }
    virtual Rgb systemColour(int index) const { return defaultSystemColour(index); }
    virtual SizePx screenSize() = 0; // the primary screen
    // Shows the box and hands `answered` its answer once given, after a modal loop where the
    // window system has one; meanwhile the forms take no input.
    virtual void messageBox(const msgbox::Request& box,
                            std::function<void(msgbox::Answer)> answered) = 0;
    virtual TimerService& timers() = 0;
    virtual bool openAddress(std::string_view address) = 0; // the desktop's default handler
    virtual WindowsApi* windowsApi() { return nullptr; }    // Windows' own calls, on Windows
    // The event loop, until quit(). Where the browser runs the loop it may return to the browser
    // instead, and quit() ends the program.
    virtual int exec() = 0;
    virtual void quit(int code) = 0; // while exec() runs: ends it once the current event is handled
    // Runs `call` on the user-interface thread once the native event under way has returned (a
    // modal loop inside it may run it sooner: the core allows for that).
    virtual void post(std::function<void()> call) = 0;
};

// Defined by the linked backend: sets up the window system, hands it to `body`, and returns what
// `body` returns as the process's exit code. `program` begins what the backend itself must tell
// the player (a start-up that cannot go on).
int runBackend(int argc, char** argv, std::string_view program,
               const std::function<int(Backend&)>& body);

} // namespace tk
