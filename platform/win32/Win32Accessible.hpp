// A form window as Microsoft Active Accessibility (MSAA) sees it: the window system describes
// the window and its native children; this answers WM_GETOBJECT for the client area with the
// painted controls of the core's accessible view, the grid an object whose children are the cells.
// UI Automation clients reach the same objects through Windows' MSAA proxy.
//
// Nothing of this runs, and no COM library loads, until a client first asks a window.
#pragma once

#include "Handles.hpp"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tk::win32 {

class FormWindow;
class AccessibleNode;
struct AccessibleTarget;

// The COM libraries accessibility needs, loaded and the thread's apartment entered when a client
// first asks, left as they are until the platform goes. One for the program.
class AccessibilityRuntime {
public:
    AccessibilityRuntime();
    ~AccessibilityRuntime();
    AccessibilityRuntime(const AccessibilityRuntime&) = delete;
    AccessibilityRuntime& operator=(const AccessibilityRuntime&) = delete;
    bool ready() const { return lresultFromObject_ && sysAllocStringLen_; }

    LRESULT lresultFromObject(REFIID riid, WPARAM wParam, IUnknown* object) const;
    HRESULT stdObject(HWND hwnd, LONG objectId, REFIID riid, void** out) const;
    BSTR string(const std::wstring& s) const; // null for an empty string
    void disconnect(IUnknown* object) const;  // remote clients' later calls fail

private:
    using LresultFromObjectFn = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
    using CreateStdAccessibleObjectFn = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
    using SysAllocStringLenFn = BSTR(WINAPI*)(const OLECHAR*, UINT);
    using CoDisconnectObjectFn = HRESULT(WINAPI*)(LPUNKNOWN, DWORD);
    using CoUninitializeFn = void(WINAPI*)();

    HMODULE ole32_ = nullptr, oleaut32_ = nullptr, oleacc_ = nullptr;
    bool apartment_ = false;
    LresultFromObjectFn lresultFromObject_ = nullptr;
    CreateStdAccessibleObjectFn createStdAccessibleObject_ = nullptr;
    SysAllocStringLenFn sysAllocStringLen_ = nullptr;
    CoDisconnectObjectFn coDisconnectObject_ = nullptr;
    CoUninitializeFn coUninitialize_ = nullptr;
};

// The accessible objects of one form window. Made at its first WM_GETOBJECT; when the window
// goes, the objects handed out stay alive as long as clients hold them, but answer only
// CO_E_OBJNOTCONNECTED.
class FormAccessibility {
public:
    FormAccessibility(FormWindow& window, const AccessibilityRuntime& runtime);
    ~FormAccessibility();
    FormAccessibility(const FormAccessibility&) = delete;
    FormAccessibility& operator=(const FormAccessibility&) = delete;

    // The answer to WM_GETOBJECT, or 0 for objects the window system supplies.
    LRESULT getObject(WPARAM wParam, LPARAM lParam);
    // Tells clients what changed since they last heard: names, cells' values, the grid's
    // description.
    void changed();

    // The object id of the grid in WM_GETOBJECT and window events (custom ids are positive).
    static constexpr LONG kGridObjectId = 1;

private:
    void remember();

    FormWindow& window_;
    const AccessibilityRuntime& runtime_;
    std::shared_ptr<AccessibleTarget> target_; // holds a reference to each object
    // What clients were last told: names of the client and its items, the grid's description,
    // the cells' values, items and cells by control id in the view's order.
    std::wstring name_, description_;
    std::vector<std::pair<int, std::wstring>> items_, cells_;
};

} // namespace tk::win32
