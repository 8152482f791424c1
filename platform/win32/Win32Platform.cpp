#include "platform/win32/Win32Platform.hpp"

#include "platform/win32/SystemLibrary.hpp"

#include <commctrl.h>
#include <delayimp.h>
#include <objbase.h>
#include <shellapi.h>
#include <uxtheme.h>
#include <windowsx.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstring>

namespace tk::win32 {

namespace {

constexpr int kFirstChildId = 100;      // clear of IDOK and IDCANCEL, which dialog keys send
constexpr UINT kTellChanges = WM_APP;   // posted: the core's changes, once the event is handled
constexpr UINT kRunPosted = WM_APP + 1; // to the timers' window: the core's posted calls

constexpr int kBlankIconId = 2;

// The shell may hand an address to a COM handler; only those calls need the apartment. COM's
// library is loaded for them alone: imported, it and what it pulls in slow every start-up.
template <class F> F comFunction(HMODULE ole, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(ole, name)));
}
class ComApartment {
public:
    ComApartment()
        : ole_(systemLibrary(L"ole32.dll")) {
        using Init = HRESULT(WINAPI*)(void*, DWORD);
        if (auto init = ole_ ? comFunction<Init>(ole_, "CoInitializeEx") : nullptr)
            ok_ = SUCCEEDED(init(nullptr, COINIT_APARTMENTTHREADED));
    }
    ~ComApartment() {
        using Uninit = void(WINAPI*)();
        if (ok_) comFunction<Uninit>(ole_, "CoUninitialize")();
        if (ole_) FreeLibrary(ole_);
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HMODULE ole_;
    bool ok_ = false;
};

COLORREF colorref(Rgb c) {
    return RGB(c.r, c.g, c.b);
}

void solid(HDC dc, const RECT& r, COLORREF colour) {
    SetDCBrushColor(dc, colour);
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// Draws in logical pixels onto a DC of `ratio` device pixels each.
class GdiCanvas final : public Canvas {
public:
    GdiCanvas(HDC dc, SIZE logical, int ratio, Win32Platform& platform)
        : dc_(dc)
        , logical_(logical)
        , ratio_(ratio)
        , platform_(platform) {}

    void fill(Rgb colour) override {
        fillRect({0, 0, double(logical_.cx), double(logical_.cy)}, colour);
    }
    double ratio() const override { return ratio_; }
    void drawPicture(const PictureChoice& picture) override {
        const Picture* p = platform_.picture(picture);
        if (!p) return;
        const MemoryDc source(CreateCompatibleDC(dc_));
        const Selected bitmap(source.get(), p->bitmap.get());
        const int w = p->size.cx * ratio_ / p->scale, h = p->size.cy * ratio_ / p->scale;
        if (w == p->size.cx && h == p->size.cy) {
            BitBlt(dc_, 0, 0, w, h, source.get(), 0, 0, SRCCOPY);
        } else {
            SetStretchBltMode(dc_, HALFTONE);
            StretchBlt(dc_, 0, 0, w, h, source.get(), 0, 0, p->size.cx, p->size.cy, SRCCOPY);
        }
    }
    void drawText(const RectPx& box, std::string_view text, const Font& font, Rgb colour,
                  Align align) override {
        if (text.empty()) return;
        const Selected selected(dc_, platform_.font(font, ratio_));
        SetTextColor(dc_, colorref(colour));
        SetBkMode(dc_, TRANSPARENT);
        UINT flags = DT_SINGLELINE | DT_NOCLIP | DT_TOP | DT_NOPREFIX;
        flags |= align == Align::Center ? DT_CENTER : DT_LEFT;
        RECT r = device(box);
        const std::wstring w = wide(text);
        DrawTextW(dc_, w.c_str(), static_cast<int>(w.size()), &r, flags);
    }
    void drawLine(double x1, double y1, double x2, double y2, Rgb colour, int width) override {
        const LOGBRUSH brush{BS_SOLID, colorref(colour), 0};
        const Pen pen(ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_ROUND | PS_JOIN_ROUND,
                                   static_cast<DWORD>(std::max(width, 1) * ratio_), &brush, 0,
                                   nullptr));
        const Selected selected(dc_, pen.get());
        MoveToEx(dc_, device(x1), device(y1), nullptr);
        LineTo(dc_, device(x2), device(y2));
    }
    void drawFrame(const RectPx& box, Rgb colour, int width) override {
        const RECT r = device(box);
        const COLORREF c = colorref(colour);
        const int w = width * ratio_;
        solid(dc_, {r.left, r.top, r.right, r.top + w}, c);
        solid(dc_, {r.left, r.bottom - w, r.right, r.bottom}, c);
        solid(dc_, {r.left, r.top + w, r.left + w, r.bottom - w}, c);
        solid(dc_, {r.right - w, r.top + w, r.right, r.bottom - w}, c);
    }
    void fillRect(const RectPx& box, Rgb colour) override {
        solid(dc_, device(box), colorref(colour));
    }

private:
    LONG device(double v) const { return std::lround(v * ratio_); }
    RECT device(const RectPx& r) const {
        return {device(r.x), device(r.y), device(r.x + r.width), device(r.y + r.height)};
    }

    HDC dc_;
    SIZE logical_;
    int ratio_;
    Win32Platform& platform_;
};

std::optional<Picture> loadPicture(HINSTANCE instance, int resource) {
    Bitmap bitmap(static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(resource), IMAGE_BITMAP, 0, 0, 0)));
    if (!bitmap) return {};
    BITMAP bm{};
    GetObjectW(bitmap.get(), sizeof(bm), &bm);
    return Picture{std::move(bitmap), {bm.bmWidth, bm.bmHeight}};
}

MouseButton mouseButton(UINT msg) {
    switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        return MouseButton::Left;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
        return MouseButton::Right;
    default:
        return MouseButton::Middle;
    }
}

MouseButton mouseButtons(WPARAM wParam) {
    MouseButton mask = MouseButton::None;
    if (wParam & MK_LBUTTON) mask |= MouseButton::Left;
    if (wParam & MK_RBUTTON) mask |= MouseButton::Right;
    if (wParam & MK_MBUTTON) mask |= MouseButton::Middle;
    return mask;
}

int shiftMask(WPARAM wParam) {
    int mask = 0;
    if (wParam & MK_SHIFT) mask |= keys::Shift;
    if (wParam & MK_CONTROL) mask |= keys::Ctrl;
    if (GetKeyState(VK_MENU) < 0) mask |= keys::Alt;
    return mask;
}

std::optional<Key> keyOf(WPARAM vk) {
    // The keypad's arrows (NumLock off) share these codes, its Enter is VK_RETURN.
    switch (vk) {
    case VK_RETURN:
        return Key::Enter;
    case VK_SPACE:
        return Key::Space;
    case VK_LEFT:
        return Key::Left;
    case VK_RIGHT:
        return Key::Right;
    case VK_UP:
        return Key::Up;
    case VK_DOWN:
        return Key::Down;
    case VK_HOME:
        return Key::Home;
    case VK_END:
        return Key::End;
    default:
        return std::nullopt;
    }
}

int showCommand(WindowState state) {
    return state == WindowState::Minimized   ? SW_MINIMIZE
           : state == WindowState::Maximized ? SW_MAXIMIZE
                                             : SW_RESTORE;
}

// A minimised window keeps its normal place in work-area coordinates, unless it is a tool window.
POINT workAreaOffset(HWND hwnd) {
    if (GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) return {0, 0};
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info);
    return {info.rcWork.left - info.rcMonitor.left, info.rcWork.top - info.rcMonitor.top};
}

BOOL CALLBACK dropChanges(HWND hwnd, LPARAM platform) {
    if (FormWindow* w = reinterpret_cast<const Win32Platform*>(platform)->formWindow(hwnd))
        w->dropChanges();
    return TRUE;
}

struct OtherForms {
    const Win32Platform* platform;
    HWND owner;
    std::vector<HWND> disabled;
};

BOOL CALLBACK disableOtherForm(HWND hwnd, LPARAM context) {
    auto& o = *reinterpret_cast<OtherForms*>(context);
    if (hwnd != o.owner && o.platform->formWindow(hwnd) && IsWindowEnabled(hwnd)) {
        EnableWindow(hwnd, FALSE);
        o.disabled.push_back(hwnd);
    }
    return TRUE;
}

class Win32NativeWindow final : public NativeFormWindow {
public:
    Win32NativeWindow(Win32Platform& platform, const WindowTraits& traits, WindowHost& host)
        : window_(std::make_unique<FormWindow>(platform, traits, host)) {}

    void show() override {
        ShowWindow(hwnd(), pendingState_ ? showCommand(*pendingState_) : SW_SHOW);
        pendingState_.reset();
        SetForegroundWindow(hwnd());
        window_->setFocus(window_->host().initialFocus());
    }
    void hide() override { ShowWindow(hwnd(), SW_HIDE); }
    bool isVisible() const override { return IsWindowVisible(hwnd()); }
    PointPx position() const override {
        WINDOWPLACEMENT wp{};
        wp.length = sizeof(wp);
        if (IsIconic(hwnd()) && GetWindowPlacement(hwnd(), &wp)) {
            const POINT offset = workAreaOffset(hwnd());
            return {wp.rcNormalPosition.left + offset.x, wp.rcNormalPosition.top + offset.y};
        }
        RECT r{};
        GetWindowRect(hwnd(), &r);
        return {r.left, r.top};
    }
    void move(PointPx p) override {
        WINDOWPLACEMENT wp{};
        wp.length = sizeof(wp);
        if (IsIconic(hwnd()) && GetWindowPlacement(hwnd(), &wp)) {
            const POINT offset = workAreaOffset(hwnd());
            OffsetRect(&wp.rcNormalPosition, p.x - offset.x - wp.rcNormalPosition.left,
                       p.y - offset.y - wp.rcNormalPosition.top);
            wp.showCmd = SW_SHOWMINNOACTIVE;
            SetWindowPlacement(hwnd(), &wp);
            return;
        }
        SetWindowPos(hwnd(), nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    WindowState windowState() const override {
        if (!IsWindowVisible(hwnd()) && pendingState_) return *pendingState_;
        if (IsIconic(hwnd())) return WindowState::Minimized;
        if (IsZoomed(hwnd())) return WindowState::Maximized;
        return WindowState::Normal;
    }
    void setWindowState(WindowState s) override {
        // Like the other window systems, a hidden window takes its state when it shows.
        if (!IsWindowVisible(hwnd()))
            pendingState_ = s;
        else
            ShowWindow(hwnd(), showCommand(s));
    }
    void invalidate() override { InvalidateRect(hwnd(), nullptr, FALSE); }
    void invalidate(const RectPx& a) override {
        const RECT r{static_cast<LONG>(std::floor(a.x)), static_cast<LONG>(std::floor(a.y)),
                     static_cast<LONG>(std::ceil(a.x + a.width)),
                     static_cast<LONG>(std::ceil(a.y + a.height))};
        InvalidateRect(hwnd(), &r, FALSE);
    }
    void syncChild(const NativeChild& child) override { window_->sync(child); }
    FormWindow& formWindow() const override { return *window_; }
    void setFocus(int id) override { window_->setFocus(id); }
    void accessibleChanged() override { window_->accessibleChanged(); }

private:
    HWND hwnd() const { return window_->hwnd(); }

    std::unique_ptr<FormWindow> window_;
    std::optional<WindowState> pendingState_;
};

} // namespace

Win32Timers::Win32Timers(HINSTANCE instance, std::wstring className)
    : instance_(instance)
    , className_(std::move(className)) {}

// Made with the first timer or posted call: most runs start a timer only when a game ends.
HWND Win32Timers::window() {
    if (!window_) {
        class_.emplace(instance_, className_.c_str(), proc);
        window_.reset(CreateWindowExW(0, className_.c_str(), L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                      nullptr, instance_, this));
    }
    return window_.get();
}

void Win32Timers::post(std::function<void()> call) {
    posted_.push_back(std::move(call));
    if (posted_.size() == 1) PostMessageW(window(), kRunPosted, 0, 0);
}

bool Win32Timers::startNative(int id, int intervalMs) {
    return SetTimer(window(), static_cast<UINT_PTR>(id), static_cast<UINT>(std::max(intervalMs, 1)),
                    nullptr) != 0;
}

void Win32Timers::stopNative(int id) {
    KillTimer(window_.get(), static_cast<UINT_PTR>(id));
}

namespace {

// The object behind a window of ours: handed over at creation, kept in the window's user data.
template <class T> T* owner(HWND hwnd, UINT msg, LPARAM lParam) {
    if (msg == WM_NCCREATE)
        SetWindowLongPtrW(
            hwnd, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    return reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

} // namespace

LRESULT CALLBACK Win32Timers::proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = owner<Win32Timers>(hwnd, msg, lParam);
    if (self && msg == WM_TIMER) {
        self->fire(static_cast<int>(wParam));
        return 0;
    }
    if (self && msg == kRunPosted) {
        // Calls posted meanwhile run here too: one message stands for all that are queued.
        while (!self->posted_.empty()) {
            const auto call = std::move(self->posted_.front());
            self->posted_.pop_front();
            call();
        }
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void Win32WindowsApi::InitCommonControls() {
    ::InitCommonControls();
}

int Win32WindowsApi::GetVersionExA(win::OSVERSIONINFOA* info) {
    static_assert(sizeof(win::OSVERSIONINFOA) == sizeof(::OSVERSIONINFOA));
    static_assert(offsetof(win::OSVERSIONINFOA, dwPlatformId) ==
                  offsetof(::OSVERSIONINFOA, dwPlatformId));
    static_assert(offsetof(win::OSVERSIONINFOA, szCSDVersion) ==
                  offsetof(::OSVERSIONINFOA, szCSDVersion));
    return ::GetVersionExA(reinterpret_cast<::OSVERSIONINFOA*>(info));
}

std::intptr_t Win32WindowsApi::ShellExecuteA(win::HWND owner, const char* operation,
                                             const char* file, const char* parameters,
                                             const char* directory, int showCommand) {
    const ComApartment com;
    return reinterpret_cast<std::intptr_t>(::ShellExecuteA(
        static_cast<HWND>(owner), operation, file, parameters, directory, showCommand));
}

FormWindow::FormWindow(Win32Platform& platform, const WindowTraits& traits, WindowHost& host)
    : platform_(platform)
    , host_(host) {
    // Windows chooses a place only for an overlapped window (a popup goes to the corner): the
    // window is made overlapped where Windows puts it, then loses its frame, still hidden, so
    // the client area is the whole window.
    const DWORD style = WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX;
    const DWORD exStyle = traits.showInTaskbar ? WS_EX_APPWINDOW : WS_EX_TOOLWINDOW;
    const int width = traits.client.width, height = traits.client.height;
    hwnd_.reset(CreateWindowExW(exStyle, platform.formClass(), wide(traits.title).c_str(),
                                WS_OVERLAPPED | style, CW_USEDEFAULT, CW_USEDEFAULT, width, height,
                                nullptr, nullptr, platform.instance(), this));
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_.get(), GWL_STYLE, WS_POPUP | style);
        SetWindowPos(hwnd_.get(), nullptr, 0, 0, width, height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    if (traits.blankIcon) {
        SendMessageW(hwnd_.get(), WM_SETICON, ICON_BIG,
                     reinterpret_cast<LPARAM>(platform.blankIcon(ICON_BIG)));
        SendMessageW(hwnd_.get(), WM_SETICON, ICON_SMALL,
                     reinterpret_cast<LPARAM>(platform.blankIcon(ICON_SMALL)));
    }
}

FormWindow::~FormWindow() {
    // Messages of the destruction itself need nothing from this object.
    if (hwnd_) SetWindowLongPtrW(hwnd_.get(), GWLP_USERDATA, 0);
}

HWND FormWindow::child(int id) const {
    for (const Child& c : children_)
        if (c.id == id) return c.hwnd;
    return nullptr;
}

int FormWindow::idOf(HWND child) const {
    const Child* c = find(child);
    return c ? c->id : -1;
}

const FormWindow::Child* FormWindow::find(HWND child) const {
    for (const Child& c : children_)
        if (c.hwnd == child) return &c;
    return nullptr;
}

HWND FormWindow::focusChild() const {
    HWND focus = GetFocus();
    if (focus && (focus == hwnd_.get() || IsChild(hwnd_.get(), focus))) return focus;
    return lastFocus_;
}

void FormWindow::setFocus(int id) {
    HWND c = child(id);
    lastFocus_ = c ? c : hwnd_.get();
    SetFocus(lastFocus_);
}

bool FormWindow::key(const MSG& msg) {
    if (msg.message != WM_KEYDOWN) return false;
    const int shift = (GetKeyState(VK_SHIFT) < 0 ? keys::Shift : 0) |
                      (GetKeyState(VK_CONTROL) < 0 ? keys::Ctrl : 0);
    std::optional<Key> key;
    if (msg.wParam == VK_TAB)
        key = Key::Tab; // the core's tab order, whatever holds the focus
    else if (msg.hwnd == hwnd_.get())
        key = keyOf(msg.wParam); // a painted control: the focused child keeps its own keys
    if (!key) return false;
    // Taken, it is not translated either: no WM_CHAR follows.
    return host_.keyDown(*key, shift) || key == Key::Tab;
}

namespace {

DWORD buttonStyle(NativeChild::Kind kind) {
    switch (kind) {
    case NativeChild::Kind::PushButton:
        return BS_PUSHBUTTON;
    case NativeChild::Kind::CheckBox:
        return BS_AUTOCHECKBOX;
    }
    return 0;
}

} // namespace

void FormWindow::sync(const NativeChild& control) {
    auto it = std::find_if(children_.begin(), children_.end(),
                           [&](const Child& c) { return c.id == control.id; });
    if (it == children_.end()) {
        // BS_NOTIFY: the core hears when the window system moves the focus to the child.
        DWORD style = WS_CHILD | BS_NOTIFY | buttonStyle(control.kind);
        if (control.focusable) style |= WS_TABSTOP;
        const auto id = static_cast<INT_PTR>(kFirstChildId + children_.size());
        HWND h = CreateWindowExW(0, L"BUTTON", L"", style, 0, 0, 0, 0, hwnd_.get(),
                                 reinterpret_cast<HMENU>(id), platform_.instance(), nullptr);
        // A themed check box ignores its text colour.
        if (control.kind == NativeChild::Kind::CheckBox) SetWindowTheme(h, L"", L"");
        children_.push_back({control.id, control.kind, h, {}, nullptr, {}, 0, 0});
        it = children_.end() - 1;
    }
    Child& c = *it;
    const std::string_view caption = control.caption;
    if (c.caption != caption || c.font == nullptr) {
        c.caption = caption;
        SetWindowTextW(c.hwnd, wide(caption).c_str());
    }
    if (HFONT f = platform_.font(control.font); f != c.font) {
        c.font = f;
        SendMessageW(c.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(f), TRUE);
    }
    switch (control.kind) {
    case NativeChild::Kind::PushButton:
        break; // the system's look
    case NativeChild::Kind::CheckBox: {
        const COLORREF back = colorref(control.back);
        const COLORREF fore = colorref(control.fore);
        if (!c.background || back != c.backColour || fore != c.foreColour) {
            c.background.reset(CreateSolidBrush(back));
            c.backColour = back;
            c.foreColour = fore;
            InvalidateRect(c.hwnd, nullptr, TRUE);
        }
        SendMessageW(c.hwnd, BM_SETCHECK, control.checked ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
    }
    }
    SetWindowPos(c.hwnd, nullptr, control.position.x, control.position.y, control.size.width,
                 control.size.height, SWP_NOZORDER | SWP_NOACTIVATE);
    EnableWindow(c.hwnd, control.enabled);
    ShowWindow(c.hwnd, control.visible ? SW_SHOWNA : SW_HIDE);
}

LRESULT CALLBACK FormWindow::proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = owner<FormWindow>(hwnd, msg, lParam);
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    return self->handle(hwnd, msg, wParam, lParam);
}

LRESULT FormWindow::handle(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        paintTo(dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        paintTo(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_ERASEBKGND:
        return 1; // the paint covers everything
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
    case WM_MOUSEMOVE:
        mouse(msg, wParam, lParam);
        return 0;
    case WM_XBUTTONDOWN:
    case WM_XBUTTONUP:
    case WM_XBUTTONDBLCLK:
        mouse(msg, wParam, lParam);
        return TRUE;
    case WM_CAPTURECHANGED:
        // Taken away (a modal box disables this window): its releases will not come here.
        if (reinterpret_cast<HWND>(lParam) != hwnd) host_.mouseCaptureLost();
        return 0;
    case WM_COMMAND:
        if (lParam) command(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
        return 0;
    case DM_GETDEFID: {
        // Enter presses the push button that has the focus, as in a dialog.
        const Child* c = find(focusChild());
        if (c && c->kind == NativeChild::Kind::PushButton)
            return MAKELRESULT(GetDlgCtrlID(c->hwnd), DC_HASDEFID);
        return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        if (const Child* c = find(reinterpret_cast<HWND>(lParam)); c && c->background) {
            const auto dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, c->foreColour);
            SetBkColor(dc, c->backColour);
            return reinterpret_cast<LRESULT>(c->background.get());
        }
        break;
    case WM_ACTIVATE:
        // The focus goes back where it was, as in a dialog: to a child, or the window itself.
        if (LOWORD(wParam) != WA_INACTIVE && lastFocus_ && !HIWORD(wParam) &&
            IsWindowVisible(lastFocus_)) {
            SetFocus(lastFocus_);
            return 0;
        }
        break;
    case WM_CLOSE:
        host_.closeRequested(); // the unload destroys the window
        return 0;
    case WM_DISPLAYCHANGE:
        host_.screenChanged();
        break;
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETWORKAREA) host_.screenChanged();
        break;
    case WM_GETOBJECT:
        if (const LRESULT object = getObject(wParam, lParam)) return object;
        break;
    case kTellChanges:
        changesPosted_ = false;
        tellChanges();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT FormWindow::getObject(WPARAM wParam, LPARAM lParam) {
    const auto id = static_cast<LONG>(lParam);
    if (id != OBJID_CLIENT && id != FormAccessibility::kGridObjectId) return 0; // the system's
    FormAccessibility* a = accessibility();
    return a ? a->getObject(wParam, lParam) : 0;
}

FormAccessibility* FormWindow::accessibility() {
    if (!accessibility_)
        if (const AccessibilityRuntime* runtime = platform_.accessibility())
            accessibility_ = std::make_unique<FormAccessibility>(*this, *runtime);
    return accessibility_.get();
}

void FormWindow::accessibleAction(int id) {
    host_.accessibleAction(id);
}

void FormWindow::accessibleFocus(int id) {
    lastFocus_ = hwnd_.get();
    SetFocus(lastFocus_);
    host_.focusChanged(id);
}

void FormWindow::accessibleChanged() {
    // Until a client asks, the core keeps the last few changes itself and nothing is posted.
    if (!changesPosted_ && platform_.accessibilityAsked())
        changesPosted_ = PostMessageW(hwnd_.get(), kTellChanges, 0, 0);
}

void FormWindow::tellChanges() {
    const std::vector<AccessibleChange> changes = host_.accessibleChanges();
    if (FormAccessibility* a = accessibility()) a->tell(changes);
}

void FormWindow::dropChanges() {
    (void)host_.accessibleChanges();
}

void FormWindow::mouse(UINT msg, WPARAM wParam, LPARAM lParam) {
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const double x = at.x;
    const double y = at.y;
    const int shift = shiftMask(wParam);
    // The window moved, the mouse did not: Windows still reports a move, which is none.
    ClientToScreen(hwnd_.get(), &at);
    const bool still = lastCursor_ && lastCursor_->x == at.x && lastCursor_->y == at.y;
    lastCursor_ = at;
    switch (msg) {
    case WM_MOUSEMOVE:
        if (!still) host_.mouseMove(mouseButtons(wParam), shift, x, y);
        break;
    case WM_XBUTTONDOWN:
    case WM_XBUTTONUP:
    case WM_XBUTTONDBLCLK:
        break; // buttons the handlers do not know
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        SetCapture(hwnd_.get());
        host_.mouseDown(mouseButton(msg), shift, x, y);
        break;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        // Arrives in place of the second press.
        SetCapture(hwnd_.get());
        host_.doubleClick(mouseButton(msg), shift, x, y);
        break;
    default:
        host_.mouseUp(mouseButton(msg), shift, x, y);
        if (mouseButtons(wParam) == MouseButton::None && GetCapture() == hwnd_.get())
            ReleaseCapture();
        break;
    }
}

void FormWindow::command(HWND child, UINT code) {
    const Child* c = find(child);
    if (!c) return;
    if (code == BN_SETFOCUS) {
        lastFocus_ = child;
        host_.focusChanged(c->id);
    } else if (code == BN_CLICKED || code == BN_DOUBLECLICKED) {
        // A check box: the core flips its value and brings the box in step. (BS_NOTIFY makes
        // a double click's second press BN_DOUBLECLICKED.)
        host_.childClicked(c->id);
    }
}

void FormWindow::paintTo(HDC dc) {
    RECT r{};
    GetClientRect(hwnd_.get(), &r);
    if (!backBuffer_) {
        const WindowDc screen(nullptr);
        backBuffer_.reset(CreateCompatibleBitmap(screen.get(), r.right, r.bottom));
    }
    const MemoryDc memory(CreateCompatibleDC(dc));
    const Selected target(memory.get(), backBuffer_.get());
    paintWindowless(memory.get(), 1);
    BitBlt(dc, 0, 0, r.right, r.bottom, memory.get(), 0, 0, SRCCOPY);
}

void FormWindow::paintWindowless(HDC dc, int ratio) {
    RECT r{};
    GetClientRect(hwnd_.get(), &r);
    GdiCanvas canvas(dc, {r.right, r.bottom}, ratio, platform_);
    host_.paint(canvas);
}

Win32Platform::Win32Platform(HINSTANCE instance, std::string_view program)
    : instance_(instance)
    , formClassName_(wide(program) + L"Form")
    , formClass_(instance, formClassName_.c_str(), FormWindow::proc, CS_DBLCLKS)
    , timers_(instance, wide(program) + L"Timers")
    , measureDc_(CreateCompatibleDC(nullptr)) {}

Win32Platform::~Win32Platform() = default;

const AccessibilityRuntime* Win32Platform::accessibility() {
    if (!accessibility_) {
        auto runtime = std::make_unique<AccessibilityRuntime>();
        if (!runtime->ready()) return nullptr;
        accessibility_ = std::move(runtime);
        // What changed before the first client asked is no news to it.
        EnumThreadWindows(GetCurrentThreadId(), dropChanges, reinterpret_cast<LPARAM>(this));
    }
    return accessibility_.get();
}

std::unique_ptr<NativeWindow> Win32Platform::createWindow(const WindowTraits& traits,
                                                          WindowHost& host) {
    return std::make_unique<Win32NativeWindow>(*this, traits, host);
}

HFONT Win32Platform::font(const Font& f, int ratio) {
    const int height = f.pixelSize() * ratio;
    FontKey key{std::string(f.name), height, f.bold, f.underline};
    auto it = fonts_.find(key);
    if (it == fonts_.end()) {
        HFONT created =
            CreateFontW(-height, 0, 0, 0, f.bold ? FW_BOLD : FW_NORMAL, FALSE, f.underline, FALSE,
                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_SWISS, wide(f.name).c_str());
        it = fonts_.emplace(std::move(key), FontHandle(created)).first;
    }
    return it->second.get();
}

SizePx Win32Platform::measureText(const Font& f, std::string_view text) {
    HDC dc = measureDc_.get();
    const Selected selected(dc, font(f));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SIZE size{};
    const std::wstring w = wide(text);
    if (!w.empty()) GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &size);
    return {size.cx, metrics.tmHeight};
}

const Picture* Win32Platform::picture(const PictureChoice& picture) {
    auto it = pictures_.find(picture.resource);
    if (it == pictures_.end()) {
        auto loaded = loadPicture(instance_, picture.resource);
        if (loaded) loaded->scale = picture.density;
        it = pictures_.emplace(picture.resource, std::move(loaded)).first;
    }
    return it->second ? &*it->second : nullptr;
}

HICON Win32Platform::blankIcon(int which) {
    // Shared icons belong to the system, which frees them with the module.
    const bool big = which == ICON_BIG;
    return static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(kBlankIconId), IMAGE_ICON,
                                         GetSystemMetrics(big ? SM_CXICON : SM_CXSMICON),
                                         GetSystemMetrics(big ? SM_CYICON : SM_CYSMICON),
                                         LR_SHARED));
}

Rgb Win32Platform::systemColour(int index) const {
    const COLORREF c = GetSysColor(index);
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

FormWindow* Win32Platform::formWindow(HWND hwnd) const {
    HWND root = hwnd ? GetAncestor(hwnd, GA_ROOT) : nullptr;
    if (!root) return nullptr;
    std::array<wchar_t, 257> name{}; // the longest a class name can be
    GetClassNameW(root, name.data(), static_cast<int>(name.size()));
    if (formClassName_ != name.data()) return nullptr;
    return reinterpret_cast<FormWindow*>(GetWindowLongPtrW(root, GWLP_USERDATA));
}

void Win32Platform::dispatch(MSG& msg) {
    if (FormWindow* w = formWindow(msg.hwnd);
        w && (w->key(msg) || IsDialogMessageW(w->hwnd(), &msg)))
        return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void Win32Platform::processPending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) { // for the loop that waits for it
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        dispatch(msg);
    }
}

int Win32Platform::exec() {
    MSG msg;
    BOOL got;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0)
        dispatch(msg);
    return got == 0 ? static_cast<int>(msg.wParam) : -1;
}

void Win32Platform::quit(int code) {
    PostQuitMessage(code);
}

bool Win32Platform::openAddress(std::string_view address) {
    const ComApartment com;
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", wide(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

void Win32Platform::messageBox(const msgbox::Request& request,
                               std::function<void(msgbox::Answer)> answered) {
    HWND owner = GetActiveWindow();
    if (!formWindow(owner)) owner = nullptr;
    // Modal to the whole program: the box disables its owner, and this the other forms.
    OtherForms others{this, owner, {}};
    EnumThreadWindows(GetCurrentThreadId(), disableOtherForm, reinterpret_cast<LPARAM>(&others));
    // The program's texts are in the system's single-byte character set, as the A call takes them.
    UINT style = 0;
    switch (request.style.buttons) {
    case msgbox::Buttons::YesNo:
        style = MB_YESNO;
        break;
    }
    if (request.style.icon == msgbox::Icon::Information) style |= MB_ICONINFORMATION;
    const int answer = MessageBoxA(owner, std::string(request.prompt).c_str(),
                                   std::string(request.title).c_str(), style);
    for (HWND hwnd : others.disabled)
        if (IsWindow(hwnd)) EnableWindow(hwnd, TRUE); // unless it went meanwhile
    answered(answer == IDYES ? msgbox::Answer::Yes : request.escape());
}

SizePx Win32Platform::screenSize() {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

} // namespace tk::win32

// The delay-load helper would load the shell by bare name; it takes the one in the system folder.
namespace {
FARPROC WINAPI shellFromSystemFolder(unsigned notice, PDelayLoadInfo info) {
    if (notice != dliNotePreLoadLibrary) return nullptr;
    const std::string_view name = info->szDll;
    return reinterpret_cast<FARPROC>(
        tk::win32::systemLibrary(std::wstring(name.begin(), name.end()).c_str()));
}
} // namespace
PfnDliHook __pfnDliNotifyHook2 = shellFromSystemFolder; // C linkage from delayimp.h

int tk::runBackend(int, char**, std::string_view program,
                   const std::function<int(Backend&)>& body) {
    tk::win32::Win32Platform platform(GetModuleHandleW(nullptr), program);
    return body(platform);
}
