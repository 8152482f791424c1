// The native Windows backend: one WS_POPUP window per loaded form, painted with GDI.
#pragma once

// The core before <windows.h>, so its names are seen before any of the macros.
#include "platform/Backend.hpp"
#include "platform/WindowsApi.hpp"

#include "Handles.hpp"
#include "Win32Accessible.hpp"

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace tk::win32 {

class Win32Platform;

// Timers and posted calls on a hidden message-only window, so modal loops (the message box) keep
// them running.
class Win32Timers final : public TimerTable {
public:
    Win32Timers(HINSTANCE instance, std::wstring className);
    void post(std::function<void()> call);

private:
    HWND window();
    bool startNative(int id, int intervalMs) override;
    void stopNative(int id) override;
    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HINSTANCE instance_;
    std::wstring className_;
    std::optional<WindowClass> class_;
    Window window_;
    std::deque<std::function<void()>> posted_;
};

// The real calls; the application reaches them through the core's windowsApi().
class Win32WindowsApi final : public WindowsApi {
public:
    void InitCommonControls() override;
    int GetVersionExA(win::OSVERSIONINFOA* info) override;
    std::intptr_t ShellExecuteA(win::HWND owner, const char* operation, const char* file,
                                const char* parameters, const char* directory,
                                int showCommand) override;
};

// A picture resource, loaded as a bitmap.
struct Picture {
    Bitmap bitmap;
    SIZE size{};
    int scale = 1; // device pixels per logical pixel it was drawn for
};

// The window of one form, while its form is loaded.
class FormWindow {
public:
    FormWindow(Win32Platform& platform, const WindowTraits& traits, WindowHost& host);
    ~FormWindow();
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;

    HWND hwnd() const { return hwnd_.get(); }
    WindowHost& host() const { return host_; }

    void sync(const NativeChild& child);
    HWND child(int id) const;
    int idOf(HWND child) const; // -1 for none of ours
    // What has the keyboard focus, or gets it back when the window is activated: a child, or
    // the window itself for a painted control.
    HWND focusChild() const;
    void setFocus(int id); // a native child's id, or anything else for the window itself
    // A key message for this window or a child, before the dialog keys: true if the core took it.
    bool key(const MSG& msg);
    // The form's own painting, at `ratio` device pixels a logical one; children not included.
    void paintWindowless(HDC dc, int ratio);

    // Calls of assistive technology, which come from outside the window's messages.
    void accessibleAction(int id);
    void accessibleFocus(int id);
    // The core has changes: told to clients once the event that made them is handled.
    void accessibleChanged();
    void dropChanges(); // the first client of the program hears only what comes after

    static LRESULT CALLBACK proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

private:
    // A native child control; the window system destroys it with its parent.
    struct Child {
        int id;
        NativeChild::Kind kind;
        HWND hwnd;
        std::string caption;
        HFONT font = nullptr;
        Brush background; // check boxes only
        COLORREF backColour = 0, foreColour = 0;
    };

    LRESULT handle(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT getObject(WPARAM wParam, LPARAM lParam);
    FormAccessibility* accessibility(); // made when a client of the program has asked
    void tellChanges();
    void mouse(UINT msg, WPARAM wParam, LPARAM lParam);
    void command(HWND child, UINT code);
    void paintTo(HDC dc);
    const Child* find(HWND child) const;

    Win32Platform& platform_;
    WindowHost& host_;
    Window hwnd_;
    std::vector<Child> children_;
    Bitmap backBuffer_;
    HWND lastFocus_ = nullptr;
    std::optional<POINT> lastCursor_; // screen position of the last mouse message
    bool changesPosted_ = false;
    std::unique_ptr<FormAccessibility> accessibility_; // from the first WM_GETOBJECT on
};

// A form's window as the core holds it, which hands its FormWindow to code that knows this
// backend.
class NativeFormWindow : public NativeWindow {
public:
    virtual FormWindow& formWindow() const = 0;
};

class Win32Platform final : public Backend {
public:
    // Window classes are named after the program.
    Win32Platform(HINSTANCE instance, std::string_view program);
    ~Win32Platform() override;

    std::unique_ptr<NativeWindow> createWindow(const WindowTraits& traits,
                                               WindowHost& host) override;
    SizePx measureText(const Font& font, std::string_view text) override;
    Rgb systemColour(int index) const override;
    SizePx screenSize() override;
    void messageBox(const msgbox::Request& request,
                    std::function<void(msgbox::Answer)> answered) override;
    // The window system's own timers, whatever a test put in the core's seams.
    Win32Timers& timers() override { return timers_; }
    bool openAddress(std::string_view address) override;
    WindowsApi* windowsApi() override { return &windowsApi_; }
    int exec() override;
    void quit(int code) override;
    void post(std::function<void()> call) override { timers_.post(std::move(call)); }

    HINSTANCE instance() const { return instance_; }
    const wchar_t* formClass() const { return formClass_.name(); }
    HFONT font(const Font& font, int ratio = 1);
    const Picture* picture(const PictureChoice& picture); // null when the resource is missing
    HICON blankIcon(int which); // ICON_BIG or ICON_SMALL, from the resources
    // The form window at the top of `hwnd`'s family, if it is one of ours.
    FormWindow* formWindow(HWND hwnd) const;

    // One message, the way the loop handles it: keyboard navigation first.
    void dispatch(MSG& msg);
    // Handles whatever is queued, without waiting.
    void processPending();

    // Accessibility's libraries, loaded when a client first asks a window; null until then.
    const AccessibilityRuntime* accessibility();
    bool accessibilityAsked() const { return accessibility_ != nullptr; }

private:
    using FontKey = std::tuple<std::string, int, bool, bool>;

    HINSTANCE instance_;
    std::unique_ptr<AccessibilityRuntime> accessibility_; // outlives every window
    std::wstring formClassName_;
    WindowClass formClass_;
    Win32Timers timers_;
    Win32WindowsApi windowsApi_;
    MemoryDc measureDc_;
    std::map<FontKey, FontHandle> fonts_;
    std::map<int, std::optional<Picture>> pictures_; // by resource number
};

} // namespace tk::win32
