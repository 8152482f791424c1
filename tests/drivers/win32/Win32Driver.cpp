// Test driver for the Windows backend: real window messages into real windows.
#include "platform/win32/Win32Platform.hpp"
#include "tests/support/Driver.hpp"
#include "tests/support/Wrapped.hpp"
#include "tests/win32/Msaa.hpp"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace tk::testing {

namespace {

using win32::FormWindow;
using win32::Win32Platform;

struct MouseMessages {
    UINT down, up, doubleClick;
    WPARAM held; // the MK_ flag, or the X button in the high word
};

MouseMessages messagesFor(int button) {
    switch (button) {
    case mouse::Left:
        return {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, MK_LBUTTON};
    case mouse::Right:
        return {WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDBLCLK, MK_RBUTTON};
    case mouse::Middle:
        return {WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK, MK_MBUTTON};
    default: // 8 and 16: the X buttons
        return {WM_XBUTTONDOWN, WM_XBUTTONUP, WM_XBUTTONDBLCLK,
                static_cast<WPARAM>(button == 8 ? XBUTTON1 : XBUTTON2) << 16};
    }
}

WPARAM keyFlags(int buttons, int shift) {
    WPARAM w = 0;
    if (buttons & mouse::Left) w |= MK_LBUTTON;
    if (buttons & mouse::Right) w |= MK_RBUTTON;
    if (buttons & mouse::Middle) w |= MK_MBUTTON;
    if (shift & keys::Shift) w |= MK_SHIFT;
    if (shift & keys::Ctrl) w |= MK_CONTROL;
    return w;
}

// Modifiers a message does not carry (Alt with the mouse, any with a key): the window reads
// them from the keyboard state.
class KeysHeld {
public:
    explicit KeysHeld(int shift)
        : held_(shift & (keys::Shift | keys::Ctrl | keys::Alt)) {
        if (!held_) return;
        GetKeyboardState(saved_);
        BYTE state[256];
        std::copy(std::begin(saved_), std::end(saved_), state);
        for (const auto& [mask, vk] :
             {std::pair{keys::Shift, VK_SHIFT}, std::pair{keys::Ctrl, VK_CONTROL},
              std::pair{keys::Alt, VK_MENU}})
            if (held_ & mask) state[vk] |= 0x80;
        SetKeyboardState(state);
    }
    ~KeysHeld() {
        if (held_) SetKeyboardState(saved_);
    }
    KeysHeld(const KeysHeld&) = delete;
    KeysHeld& operator=(const KeysHeld&) = delete;

private:
    int held_;
    BYTE saved_[256]{};
};

UINT virtualKey(Key key) {
    switch (key) {
    case Key::Enter:
        return VK_RETURN;
    case Key::Space:
        return VK_SPACE;
    case Key::Escape:
        return VK_ESCAPE;
    case Key::Tab:
        return VK_TAB;
    case Key::Left:
        return VK_LEFT;
    case Key::Right:
        return VK_RIGHT;
    case Key::Up:
        return VK_UP;
    case Key::Down:
        return VK_DOWN;
    case Key::Home:
        return VK_HOME;
    case Key::End:
        return VK_END;
    }
    return 0;
}

// A bitmap (selected nowhere) as top-down RGB rows.
Image pixelsOf(HBITMAP bitmap, int width, int height) {
    Image out{width, height, {}};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<RGBQUAD> pixels(static_cast<std::size_t>(width * height));
    const win32::WindowDc screen(nullptr);
    GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(height), pixels.data(), &info,
              DIB_RGB_COLORS);
    out.pixels.reserve(pixels.size());
    for (const RGBQUAD& p : pixels)
        out.pixels.push_back({p.rgbRed, p.rgbGreen, p.rgbBlue});
    return out;
}

// Paints into a fresh bitmap of the screen's format and reads it back.
template <class Paint> Image paintedImage(int width, int height, Paint paint) {
    if (width <= 0 || height <= 0) return {width, height, {}};
    const win32::WindowDc screen(nullptr);
    const win32::MemoryDc memory(CreateCompatibleDC(screen.get()));
    const win32::Bitmap bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    {
        const win32::Selected selected(memory.get(), bitmap.get());
        paint(memory.get());
    }
    return pixelsOf(bitmap.get(), width, height);
}

Image capture(HDC source, int width, int height) {
    return paintedImage(width, height, [&](HDC target) {
        BitBlt(target, 0, 0, width, height, source, 0, 0, SRCCOPY);
    });
}

Image grabWindow(HWND hwnd) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT r{};
    GetClientRect(hwnd, &r);
    const win32::WindowDc dc(hwnd);
    return capture(dc.get(), r.right, r.bottom);
}

std::wstring windowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), int(text.size()))));
    return text;
}

std::string withoutCarriageReturns(std::string s) {
    std::erase(s, '\r');
    return s;
}

bool isClass(HWND hwnd, const wchar_t* name) {
    wchar_t buffer[32]{};
    GetClassNameW(hwnd, buffer, 32);
    return lstrcmpiW(buffer, name) == 0;
}

BOOL CALLBACK findMessageBox(HWND hwnd, LPARAM out) {
    if (!IsWindowVisible(hwnd) || !isClass(hwnd, L"#32770")) return TRUE;
    *reinterpret_cast<HWND*>(out) = hwnd;
    return FALSE;
}

// The message box this thread shows, if any.
HWND openMessageBox() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), findMessageBox, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::vector<HWND> visibleChildren(HWND parent) {
    std::vector<HWND> children;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (IsWindowVisible(c)) children.push_back(c);
    return children;
}

std::string roleName(LONG role) {
    static constexpr std::pair<LONG, const char*> names[] = {
        {ROLE_SYSTEM_CLIENT, "window"},     {ROLE_SYSTEM_ALERT, "alert"},
        {ROLE_SYSTEM_TABLE, "table"},       {ROLE_SYSTEM_CELL, "cell"},
        {ROLE_SYSTEM_PUSHBUTTON, "button"}, {ROLE_SYSTEM_CHECKBUTTON, "check box"},
        {ROLE_SYSTEM_LINK, "link"},         {ROLE_SYSTEM_STATICTEXT, "text"}};
    for (const auto& [r, name] : names)
        if (r == role) return name;
    return "role " + std::to_string(role);
}

// Through AccessibleChildren, as a screen reader walks the window.
void describe(const msaa::Node& object, std::vector<std::string>& out) {
    LONG role = object.role();
    bool checked = object.state() & STATE_SYSTEM_CHECKED;
    // Wine's proxy knows no button class and calls a button a client: read it as the proxy of
    // Windows does, from its class, style and check.
    HWND h = nullptr;
    if (role == ROLE_SYSTEM_CLIENT && object.id == CHILDID_SELF &&
        SUCCEEDED(WindowFromAccessibleObject(object.acc.get(), &h)) && isClass(h, L"Button")) {
        const bool box = (GetWindowLongW(h, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX;
        role = box ? ROLE_SYSTEM_CHECKBUTTON : ROLE_SYSTEM_PUSHBUTTON;
        checked = box && SendMessageW(h, BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    std::string line = roleName(role) + ": " + win32::narrow(object.name());
    if (const std::wstring value = object.value(); !value.empty())
        line += " = " + win32::narrow(value);
    if (checked) line += " (checked)";
    out.push_back(std::move(line));
    for (const msaa::Node& child : object.children())
        describe(child, out);
}

class Win32Driver final : public Driver {
public:
    explicit Win32Driver(Win32Platform& platform)
        : platform_(platform) {}
    ~Win32Driver() override { stopPolling(); }
    Win32Driver(const Win32Driver&) = delete;
    Win32Driver& operator=(const Win32Driver&) = delete;

    void press(Form& form, int button, int shift, PointPx at) override {
        const MouseMessages m = messagesFor(button);
        held_ |= button;
        sendMouse(form, m.down, keyFlags(held_, shift) | xButton(m), shift, at);
    }
    void release(Form& form, int button, int shift, PointPx at) override {
        const MouseMessages m = messagesFor(button);
        held_ &= ~button;
        sendMouse(form, m.up, keyFlags(held_, shift) | xButton(m), shift, at);
    }
    void move(Form& form, int buttons, PointPx at) override {
        sendMouse(form, WM_MOUSEMOVE, keyFlags(buttons, 0), 0, at);
    }
    void doubleClick(Form& form, int button, PointPx at) override {
        const MouseMessages m = messagesFor(button);
        const WPARAM held = keyFlags(button, 0) | xButton(m);
        sendMouse(form, m.down, held, 0, at);
        sendMouse(form, m.up, xButton(m), 0, at);
        sendMouse(form, m.doubleClick, held, 0, at);
        sendMouse(form, m.up, xButton(m), 0, at);
    }
    void clickControl(Form& form, std::string_view name) override {
        HWND c = child(form, name);
        if (!IsWindowEnabled(shown(form)->hwnd()) || !IsWindowEnabled(c)) return;
        SendMessageW(c, BM_CLICK, 0, 0);
        processEvents();
    }
    void key(Form& form, Key key, int shift) override {
        FormWindow* w = shown(form);
        HWND target = w->focusChild() ? w->focusChild() : w->hwnd();
        const UINT vk = virtualKey(key);
        const UINT scan = MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
        const KeysHeld held(shift);
        // Posted, so the loop's keyboard navigation sees them as it sees typed keys.
        PostMessageW(target, WM_KEYDOWN, vk, static_cast<LPARAM>(1 | scan << 16));
        processEvents();
        PostMessageW(target, WM_KEYUP, vk, static_cast<LPARAM>(1 | scan << 16 | 3u << 30));
        processEvents();
    }
    std::string focusedControl(Form& form) override {
        FormWindow* w = shown(form);
        const int id = w->idOf(w->focusChild()); // -1 for the window itself
        return id < 0 ? std::string() : form.controls()[static_cast<std::size_t>(id)]->name();
    }
    void closeWindow(Form& form) override {
        SendMessageW(shown(form)->hwnd(), WM_CLOSE, 0, 0);
        processEvents();
    }
    bool inTaskbar(Form& form) override {
        HWND h = shown(form)->hwnd();
        const auto ex = GetWindowLongW(h, GWL_EXSTYLE);
        if (ex & WS_EX_TOOLWINDOW) return false;
        return (ex & WS_EX_APPWINDOW) || !GetWindow(h, GW_OWNER);
    }
    bool framed(Form& form) override {
        const auto style = GetWindowLongW(shown(form)->hwnd(), GWL_STYLE);
        return (style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME)) != 0;
    }
    SizePx clientSize(Form& form) override {
        RECT r{};
        GetClientRect(shown(form)->hwnd(), &r);
        return {r.right, r.bottom};
    }
    Image grab(Form& form) override { return grabWindow(shown(form)->hwnd()); }
    Image grabAt(Form& form, int ratio) override {
        FormWindow* w = shown(form);
        HWND hwnd = w->hwnd();
        RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        RECT client{};
        GetClientRect(hwnd, &client);
        return paintedImage(client.right * ratio, client.bottom * ratio, [&](HDC target) {
            w->paintWindowless(target, ratio);
            // Native children as the window system drew them, enlarged.
            const win32::WindowDc window(hwnd);
            SetStretchBltMode(target, COLORONCOLOR);
            for (HWND c : visibleChildren(hwnd)) {
                RECT r{};
                GetWindowRect(c, &r);
                MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
                const int width = r.right - r.left, height = r.bottom - r.top;
                StretchBlt(target, r.left * ratio, r.top * ratio, width * ratio, height * ratio,
                           window.get(), r.left, r.top, width, height, SRCCOPY);
            }
        });
    }
    Rgb controlBackground(Form& form, std::string_view name) override {
        const Image img = grabWindow(child(form, name));
        return img.at(img.width - 2, img.height - 2); // clear of the box and its caption
    }
    void processEvents() override { platform_.processPending(); }

    void answerNextMessageBox(Key key, std::function<void()> meanwhile) override {
        // Looks for the box on a short timer, since it opens only once the click arrives; the
        // box's own modal loop runs the timer.
        stopPolling();
        answerKey_ = key;
        meanwhile_ = std::move(meanwhile);
        seen_ = {};
        poll_ = platform_.timers().start(5, [this] { answer(); });
    }
    std::vector<std::string> accessibleView(Form& form) override {
        std::vector<std::string> out;
        if (const msaa::Acc client = msaa::accessibleOf(shown(form)->hwnd()))
            describe({client}, out);
        return out;
    }
    MessageBoxSeen lastMessageBox() const override { return seen_; }

private:
    void answer() {
        HWND box = openMessageBox();
        if (!box) return;
        stopPolling();
        seen_.title = win32::narrow(windowText(box));
        seen_.text = withoutCarriageReturns(win32::narrow(windowText(GetDlgItem(box, 0xFFFF))));
        std::vector<HWND> buttons;
        const auto information = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_INFORMATION));
        for (HWND c : visibleChildren(box)) {
            if (isClass(c, L"Button")) buttons.push_back(c);
            if (isClass(c, L"Static") && (GetWindowLongW(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
                reinterpret_cast<HICON>(SendMessageW(c, STM_GETICON, 0, 0)) == information)
                seen_.information = true;
        }
        std::sort(buttons.begin(), buttons.end(), [](HWND a, HWND b) {
            RECT ra{}, rb{};
            GetWindowRect(a, &ra);
            GetWindowRect(b, &rb);
            return ra.left < rb.left;
        });
        for (HWND b : buttons) {
            std::string text = win32::narrow(windowText(b));
            std::erase(text, '&');
            seen_.buttons.push_back(text);
        }
        if (meanwhile_) std::exchange(meanwhile_, nullptr)();
        // The box's loop takes the key as it takes a typed one.
        HWND focus = GetFocus();
        HWND target = focus && IsChild(box, focus) ? focus : box;
        const UINT vk = virtualKey(answerKey_);
        PostMessageW(target, WM_KEYDOWN, vk, 1);
        PostMessageW(target, WM_KEYUP, vk, static_cast<LPARAM>(1 | 3u << 30));
    }
    void stopPolling() {
        if (poll_) platform_.timers().stop(poll_);
        poll_ = 0;
    }
    void sendMouse(Form& form, UINT msg, WPARAM wParam, int shift, PointPx at) {
        // Input for a form that is not loaded has no window to go to.
        if (!form.loaded() || !form.native()) return;
        HWND hwnd = shown(form)->hwnd();
        // A disabled window (under a modal box) gets no mouse input.
        if (!IsWindowEnabled(hwnd)) return;
        // The cursor goes there too: a window that moves under the cursor hears of it where the
        // cursor really is.
        POINT screen{at.x, at.y};
        ClientToScreen(hwnd, &screen);
        SetCursorPos(screen.x, screen.y);
        const KeysHeld alt(shift & keys::Alt);
        SendMessageW(hwnd, msg, wParam, MAKELPARAM(at.x, at.y));
        processEvents();
    }
    static WPARAM xButton(const MouseMessages& m) { return m.held >> 16 ? m.held : 0; }
    static FormWindow* shown(Form& form) {
        if (!form.native()) throw std::logic_error("the form has no window");
        return &backendWindow<win32::NativeFormWindow>(form.native())->formWindow();
    }
    static HWND child(Form& form, std::string_view name) {
        HWND h = shown(form)->child(form.idOf(form.control<Control>(name)));
        if (!h) throw std::logic_error("no native child " + std::string(name));
        return h;
    }

    Win32Platform& platform_;
    int held_ = 0;
    int poll_ = 0;
    Key answerKey_ = Key::Escape;
    std::function<void()> meanwhile_;
    MessageBoxSeen seen_;
};

} // namespace

std::unique_ptr<Driver> makeDriver(Platform& platform) {
    return std::make_unique<Win32Driver>(backendItself<Win32Platform>(platform.backend()));
}

} // namespace tk::testing
