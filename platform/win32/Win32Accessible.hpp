// A form window as Microsoft Active Accessibility (MSAA) sees it: the core's accessible tree,
// mapped. The window system describes the window and its native children; this answers
// WM_GETOBJECT for the client area (the tree's root) and for the grid, an object of its own
// whose children are the cells, and turns the core's changes into window events. UI Automation
// clients reach the same objects through Windows' MSAA proxy.
//
// Nothing of this runs, and no COM library loads, until a client first asks a window.
#pragma once

#include "platform/Backend.hpp"

#include "Handles.hpp"

#include <memory>
#include <vector>

namespace tk::win32 {

class FormWindow;
class AccessibleObject;
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

// The accessible objects of one form window. When the window goes, the objects handed out stay
// alive as long as clients hold them, but answer only CO_E_OBJNOTCONNECTED.
class FormAccessibility {
public:
    FormAccessibility(FormWindow& window, const AccessibilityRuntime& runtime);
    ~FormAccessibility();
    FormAccessibility(const FormAccessibility&) = delete;
    FormAccessibility& operator=(const FormAccessibility&) = delete;

    // The answer to WM_GETOBJECT, or 0 for objects the window system supplies.
    LRESULT getObject(WPARAM wParam, LPARAM lParam);
    // Raises the window events for the core's changes, in their order. Announcements become the
    // text of a live region, the client's last child.
    void tell(const std::vector<AccessibleChange>& changes);

    // The object id of the grid in WM_GETOBJECT and window events (custom ids are positive).
    static constexpr LONG kGridObjectId = 1;

private:
    void raise(DWORD event, const AccessibleTree& tree, int id) const;

    FormWindow& window_;
    const AccessibilityRuntime& runtime_;
    std::shared_ptr<AccessibleTarget> target_; // holds a reference to each object
};

} // namespace tk::win32
