// Small owners for the Windows handles and COM objects the backend keeps.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace tk::win32 {

struct DestroyWindowFn {
    void operator()(HWND h) const { DestroyWindow(h); }
};
struct DeleteObjectFn {
    void operator()(HGDIOBJ h) const { DeleteObject(h); }
};
struct DeleteDcFn {
    void operator()(HDC h) const { DeleteDC(h); }
};

template <class H, class Free> using Owned = std::unique_ptr<std::remove_pointer_t<H>, Free>;

using Window = Owned<HWND, DestroyWindowFn>;
using MemoryDc = Owned<HDC, DeleteDcFn>;
template <class H> using GdiObject = Owned<H, DeleteObjectFn>;
using FontHandle = GdiObject<HFONT>;
using Bitmap = GdiObject<HBITMAP>;
using Brush = GdiObject<HBRUSH>;
using Pen = GdiObject<HPEN>;

// A DC borrowed from a window, or from the screen when the window is null.
class WindowDc {
public:
    explicit WindowDc(HWND window)
        : window_(window)
        , dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// An object selected into a DC for one scope.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ object)
        : dc_(dc)
        , old_(SelectObject(dc, object)) {}
    ~Selected() { SelectObject(dc_, old_); }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

class WindowClass {
public:
    WindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC proc, UINT style = 0)
        : instance_(instance)
        , name_(name) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.style = style;
        wc.lpfnWndProc = proc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        wc.lpszClassName = name;
        atom_ = RegisterClassExW(&wc);
    }
    ~WindowClass() {
        if (atom_) UnregisterClassW(name_, instance_);
    }
    WindowClass(const WindowClass&) = delete;
    WindowClass& operator=(const WindowClass&) = delete;
    const wchar_t* name() const { return name_; }

private:
    HINSTANCE instance_;
    const wchar_t* name_;
    ATOM atom_ = 0;
};

// The core speaks UTF-8; Windows' own calls take UTF-16.
inline std::wstring wide(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

inline std::string narrow(std::wstring_view utf16) {
    if (utf16.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), static_cast<int>(utf16.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

} // namespace tk::win32
