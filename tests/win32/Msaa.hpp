// What the Windows tests need to read objects through Microsoft Active Accessibility as a
// client does. Interface ids come from __uuidof: mingw-w64's oleacc import library offers
// IID_IAccessible as a function thunk.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <oleacc.h>

#include <string>
#include <utility>
#include <vector>

namespace msaa {

// A reference that goes with its scope.
template <class T> class Ref {
public:
    Ref() = default;
    explicit Ref(T* p)
        : p_(p) {}
    Ref(const Ref& o)
        : p_(o.p_) {
        if (p_) p_->AddRef();
    }
    Ref& operator=(Ref o) {
        std::swap(p_, o.p_);
        return *this;
    }
    ~Ref() {
        if (p_) p_->Release();
    }
    T* operator->() const { return p_; }
    T* get() const { return p_; }
    T** out() { return &p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

using Acc = Ref<IAccessible>;

inline VARIANT childId(LONG id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

inline Acc accessibleOf(HWND hwnd, LONG object = OBJID_CLIENT) {
    Acc a;
    AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(object), __uuidof(IAccessible),
                               reinterpret_cast<void**>(a.out()));
    return a;
}

// An object, or one of its simple children (id > 0).
struct Node {
    Acc acc;
    LONG id = CHILDID_SELF;

    using TextCall = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);
    using NumberCall = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, VARIANT*);

    std::wstring text(TextCall call) const {
        BSTR b = nullptr;
        if (FAILED((acc.get()->*call)(childId(id), &b))) return L"<failed>";
        std::wstring s = b ? std::wstring(b, SysStringLen(b)) : std::wstring();
        SysFreeString(b);
        return s;
    }
    LONG number(NumberCall call) const {
        VARIANT v;
        VariantInit(&v);
        if (FAILED((acc.get()->*call)(childId(id), &v)) || v.vt != VT_I4) return -1;
        return v.lVal;
    }
    std::wstring name() const { return text(&IAccessible::get_accName); }
    std::wstring value() const { return text(&IAccessible::get_accValue); }
    std::wstring description() const { return text(&IAccessible::get_accDescription); }
    std::wstring action() const { return text(&IAccessible::get_accDefaultAction); }
    LONG role() const { return number(&IAccessible::get_accRole); }
    LONG state() const { return number(&IAccessible::get_accState); }
    RECT location() const {
        LONG x = 0, y = 0, w = 0, h = 0;
        acc->accLocation(&x, &y, &w, &h, childId(id));
        return {x, y, x + w, y + h};
    }
    HRESULT press() const { return acc->accDoDefaultAction(childId(id)); }
    // The child of this object that holds the focus: an object, or a simple child's id; an
    // empty node for none.
    Node focus() const {
        VARIANT v;
        VariantInit(&v);
        Node out;
        if (FAILED(acc->get_accFocus(&v))) return out;
        if (v.vt == VT_DISPATCH && v.pdispVal)
            v.pdispVal->QueryInterface(__uuidof(IAccessible),
                                       reinterpret_cast<void**>(out.acc.out()));
        else if (v.vt == VT_I4)
            out = {acc, v.lVal};
        VariantClear(&v);
        return out;
    }

    // Through AccessibleChildren, as screen readers walk a tree.
    std::vector<Node> children() const {
        std::vector<Node> out;
        LONG count = 0;
        if (id != CHILDID_SELF || FAILED(acc->get_accChildCount(&count)) || count <= 0) return out;
        std::vector<VARIANT> got(static_cast<std::size_t>(count));
        LONG obtained = 0;
        if (FAILED(AccessibleChildren(acc.get(), 0, count, got.data(), &obtained))) return out;
        for (LONG i = 0; i < obtained; ++i) {
            VARIANT& v = got[static_cast<std::size_t>(i)];
            if (v.vt == VT_DISPATCH && v.pdispVal) {
                Acc a;
                v.pdispVal->QueryInterface(__uuidof(IAccessible),
                                           reinterpret_cast<void**>(a.out()));
                out.push_back({a, CHILDID_SELF});
            } else if (v.vt == VT_I4) {
                out.push_back({acc, v.lVal});
            }
            VariantClear(&v);
        }
        return out;
    }
};

} // namespace msaa
