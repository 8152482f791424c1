#include "platform/win32/Win32Accessible.hpp"

#include "platform/win32/SystemLibrary.hpp"
#include "platform/win32/Win32Platform.hpp"

#include <oleacc.h>

#include <algorithm>
#include <cmath>

namespace tk::win32 {

// What the objects of one window reach it through; the window's going empties it.
struct AccessibleTarget {
    FormWindow* window = nullptr;
    const AccessibilityRuntime* runtime = nullptr;
    AccessibleObject* client = nullptr;
    AccessibleObject* grid = nullptr;
    std::wstring announcement; // the live region's text: what was last said
};

namespace {

using Node = tk::AccessibleNode;

constexpr int kLiveRegion = -1; // among the client's children, after the tree's

template <class F> F function(HMODULE module, const char* name) {
    return module ? reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)))
                  : nullptr;
}

LONG roleOf(Node::Role role) {
    switch (role) {
    case Node::Role::Window:
        return ROLE_SYSTEM_CLIENT;
    case Node::Role::Alert:
        return ROLE_SYSTEM_ALERT;
    case Node::Role::PushButton:
        return ROLE_SYSTEM_PUSHBUTTON;
    case Node::Role::CheckBox:
        return ROLE_SYSTEM_CHECKBUTTON;
    case Node::Role::Text:
        return ROLE_SYSTEM_STATICTEXT;
    case Node::Role::Link:
        return ROLE_SYSTEM_LINK;
    case Node::Role::Grid:
        return ROLE_SYSTEM_TABLE;
    case Node::Role::Cell:
        return ROLE_SYSTEM_CELL;
    }
    return ROLE_SYSTEM_CLIENT;
}

RECT screenRect(HWND hwnd, const RectPx& area) {
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    return {origin.x + static_cast<LONG>(std::floor(area.x)),
            origin.y + static_cast<LONG>(std::floor(area.y)),
            origin.x + static_cast<LONG>(std::ceil(area.x + area.width)),
            origin.y + static_cast<LONG>(std::ceil(area.y + area.height))};
}

bool contains(const RectPx& area, double x, double y) {
    return x >= area.x && y >= area.y && x < area.x + area.width && y < area.y + area.height;
}

VARIANT childId(LONG id) {
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

VARIANT empty() {
    VARIANT v;
    v.vt = VT_EMPTY;
    return v;
}

LONG position(const std::vector<int>& children, int index) {
    const auto it = std::find(children.begin(), children.end(), index);
    return it == children.end() ? 0 : static_cast<LONG>(it - children.begin()) + 1;
}

} // namespace

// COM interfaces have no virtual destructor: an object goes only through its own Release.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// The client area of a form window (the tree's root), or its grid. Everything it answers comes
// from the core's tree as it is at the call.
class AccessibleObject final : public IAccessible {
public:
    AccessibleObject(std::shared_ptr<AccessibleTarget> target, bool grid)
        : target_(std::move(target))
        , grid_(grid) {}

    // The window went: let go of what belongs to it.
    void disconnect() {
        if (standard_) standard_->Release();
        standard_ = nullptr;
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) ||
            riid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0) {
            disconnect();
            delete this;
        }
        return left;
    }

    // IDispatch: MSAA's clients call the interface itself.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        if (!parent) return E_POINTER;
        *parent = nullptr;
        if (!connected()) return CO_E_OBJNOTCONNECTED;
        if (grid_)
            return target_->client->QueryInterface(__uuidof(IDispatch),
                                                   reinterpret_cast<void**>(parent));
        IAccessible* s = standard();
        return s ? s->get_accParent(parent) : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        Found f;
        if (const HRESULT hr = find(childId(CHILDID_SELF), f); FAILED(hr)) return hr;
        *count = static_cast<LONG>(f.children.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        Found f;
        if (const HRESULT hr = find(child, f); FAILED(hr)) return hr;
        if (f.self) return E_INVALIDARG;
        return object(f.node, out) ? S_OK : S_FALSE; // S_FALSE: a simple element
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return text(child, name, Text::Name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return text(child, value, Text::Value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        return text(child, description, Text::Description);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!role) return E_POINTER;
        *role = empty();
        Found f;
        if (const HRESULT hr = find(child, f); FAILED(hr)) return hr;
        if (IDispatch* d = nullptr; !f.self && object(f.node, &d))
            return delegate(d, &IAccessible::get_accRole, role);
        *role = childId(f.node ? roleOf(f.node->role) : ROLE_SYSTEM_STATICTEXT);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (!state) return E_POINTER;
        *state = empty();
        Found f;
        if (const HRESULT hr = find(child, f); FAILED(hr)) return hr;
        if (IDispatch* d = nullptr; !f.self && object(f.node, &d))
            return delegate(d, &IAccessible::get_accState, state);
        if (f.self && !grid_)
            if (IAccessible* s = standard()) return s->get_accState(child, state);
        const HWND hwnd = target_->window->hwnd();
        LONG s = IsWindowVisible(hwnd) ? 0 : STATE_SYSTEM_INVISIBLE;
        if (const Node* n = f.node) {
            if (n->focusable) s |= STATE_SYSTEM_FOCUSABLE;
            if (n->focused && GetFocus() == hwnd) s |= STATE_SYSTEM_FOCUSED;
            if (n->role == Node::Role::Link) s |= STATE_SYSTEM_LINKED;
            if (n->role == Node::Role::Text) s |= STATE_SYSTEM_READONLY;
            if (n->checked) s |= STATE_SYSTEM_CHECKED;
            if (!n->enabled) s |= STATE_SYSTEM_UNAVAILABLE;
        } else {
            s |= STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_READONLY; // the live region
        }
        *state = childId(s);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return text(child, help, Text::Help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) override {
        if (file) *file = nullptr;
        if (topic) *topic = 0;
        return connected() ? S_FALSE : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return text(child, shortcut, Text::Shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
        if (!focus) return E_POINTER;
        *focus = empty();
        Found f;
        if (const HRESULT hr = find(childId(CHILDID_SELF), f); FAILED(hr)) return hr;
        const HWND hwnd = target_->window->hwnd(), has = GetFocus();
        if (!has || (has != hwnd && !IsChild(hwnd, has))) return S_FALSE;
        const Node* n = f.tree.focused();
        if (!n) {
            if (grid_) return S_FALSE;
            *focus = childId(CHILDID_SELF);
            return S_OK;
        }
        // The child of this object that holds the focused node, or is it.
        const auto me = static_cast<int>(f.node - f.tree.nodes.data());
        auto at = static_cast<int>(n - f.tree.nodes.data());
        while (at >= 0 && f.tree.nodes[static_cast<std::size_t>(at)].parent != me)
            at = f.tree.nodes[static_cast<std::size_t>(at)].parent;
        if (at < 0) return S_FALSE;
        return child(&f.tree.nodes[static_cast<std::size_t>(at)], position(f.children, at), focus);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        if (!selection) return E_POINTER;
        *selection = empty();
        return connected() ? S_FALSE : CO_E_OBJNOTCONNECTED;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return text(child, action, Text::DefaultAction);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        Found f;
        if (const HRESULT hr = find(child, f); FAILED(hr)) return hr;
        if (IDispatch* d = nullptr; !f.self && object(f.node, &d)) {
            IAccessible* a = accessible(d);
            const HRESULT hr = a ? a->accSelect(flags, childId(CHILDID_SELF)) : E_FAIL;
            if (a) a->Release();
            return hr;
        }
        if (f.self || !f.node || !f.node->focusable || !(flags & SELFLAG_TAKEFOCUS))
            return DISP_E_MEMBERNOTFOUND;
        target_->window->accessibleFocus(f.node->id);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override {
        if (!left || !top || !width || !height) return E_POINTER;
        *left = *top = *width = *height = 0;
        Found f;
        if (const HRESULT hr = find(child, f); FAILED(hr)) return hr;
        if (IDispatch* d = nullptr; !f.self && object(f.node, &d)) {
            IAccessible* a = accessible(d);
            const HRESULT hr =
                a ? a->accLocation(left, top, width, height, childId(CHILDID_SELF)) : E_FAIL;
            if (a) a->Release();
            return hr;
        }
        if (!f.node) return S_OK; // the live region shows nowhere
        const RECT r = screenRect(target_->window->hwnd(), f.node->bounds);
        *left = r.left, *top = r.top, *width = r.right - r.left, *height = r.bottom - r.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        if (!end) return E_POINTER;
        *end = empty();
        Found f;
        if (const HRESULT hr = find(start, f); FAILED(hr)) return hr;
        const auto count = static_cast<LONG>(f.children.size());
        LONG to = 0; // 1-based, among this object's children
        switch (direction) {
        case NAVDIR_FIRSTCHILD:
        case NAVDIR_LASTCHILD:
            if (!f.self) return E_INVALIDARG;
            to = direction == NAVDIR_FIRSTCHILD ? 1 : count;
            break;
        case NAVDIR_NEXT:
        case NAVDIR_PREVIOUS:
            if (f.self) return S_FALSE; // the parent knows this object's siblings
            to = f.index + (direction == NAVDIR_NEXT ? 1 : -1);
            break;
        default:
            return DISP_E_MEMBERNOTFOUND; // no spatial navigation
        }
        if (to < 1 || to > count) return S_FALSE;
        return child(nodeAt(f, to), to, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* at) override {
        if (!at) return E_POINTER;
        *at = empty();
        Found f;
        if (const HRESULT hr = find(childId(CHILDID_SELF), f); FAILED(hr)) return hr;
        POINT p{x, y};
        ScreenToClient(target_->window->hwnd(), &p);
        for (auto i = static_cast<LONG>(f.children.size()); i > 0; --i) // the topmost first
            if (const Node* n = nodeAt(f, i); n && contains(n->bounds, p.x, p.y))
                return child(n, i, at);
        if (!contains(f.node->bounds, p.x, p.y)) return S_FALSE;
        *at = childId(CHILDID_SELF);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        Found f;
        if (const HRESULT hr = find(child, f); FAILED(hr)) return hr;
        if (IDispatch* d = nullptr; !f.self && object(f.node, &d)) {
            IAccessible* a = accessible(d);
            const HRESULT hr = a ? a->accDoDefaultAction(childId(CHILDID_SELF)) : E_FAIL;
            if (a) a->Release();
            return hr;
        }
        if (f.self || !f.node || !f.node->action) return DISP_E_MEMBERNOTFOUND;
        // As the mouse: nothing while another window holds the program (a message box).
        if (!IsWindowEnabled(target_->window->hwnd())) return E_FAIL;
        // The action may end the window, and with it the references it holds to this object.
        AddRef();
        target_->window->accessibleAction(f.node->id);
        Release();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    // The tree at a call, and the child asked about in it.
    struct Found {
        Found() = default;
        Found(const Found&) = delete;
        Found& operator=(const Found&) = delete;
        __attribute__((noinline)) ~Found() = default; // once, not in every method

        AccessibleTree tree;
        std::vector<int> children; // indices into the tree; kLiveRegion for the live region
        bool self = true;
        LONG index = 0;             // 1-based, when not self
        const Node* node = nullptr; // this object's node or the child's; null: the live region
    };
    enum class Text { Name, Value, Description, Help, Shortcut, DefaultAction };

    bool connected() const { return target_->window != nullptr; }

    __attribute__((noinline)) HRESULT find(const VARIANT& child, Found& f) const {
        if (!connected()) return CO_E_OBJNOTCONNECTED;
        if (child.vt != VT_I4) return E_INVALIDARG;
        f.tree = target_->window->host().accessibleTree();
        f.node = grid_ ? f.tree.find(Node::kGrid) : &f.tree.nodes[0];
        if (!f.node) return CO_E_OBJNOTCONNECTED; // the grid went
        f.children = f.node->children;
        if (!grid_) f.children.push_back(kLiveRegion);
        if (child.lVal == CHILDID_SELF) return S_OK;
        if (child.lVal < 1 || child.lVal > static_cast<LONG>(f.children.size()))
            return E_INVALIDARG;
        f.self = false;
        f.index = child.lVal;
        f.node = nodeAt(f, child.lVal);
        return S_OK;
    }
    static const Node* nodeAt(const Found& f, LONG id) {
        const int at = f.children[static_cast<std::size_t>(id - 1)];
        return at == kLiveRegion ? nullptr : &f.tree.nodes[static_cast<std::size_t>(at)];
    }

    // The object of a child that is one (a native child window, the grid), with a reference.
    bool object(const Node* n, IDispatch** out) const {
        *out = nullptr;
        if (n && n->role == Node::Role::Grid && target_->grid)
            return SUCCEEDED(
                target_->grid->QueryInterface(__uuidof(IDispatch), reinterpret_cast<void**>(out)));
        if (HWND h = n && n->native ? target_->window->child(n->id) : nullptr)
            return SUCCEEDED(target_->runtime->stdObject(h, OBJID_CLIENT, __uuidof(IDispatch),
                                                         reinterpret_cast<void**>(out)));
        return false;
    }
    static IAccessible* accessible(IDispatch* d) {
        IAccessible* a = nullptr;
        d->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&a));
        d->Release();
        return a;
    }
    // A child as a navigation, hit test or focus returns it: its object, or its id.
    HRESULT child(const Node* n, LONG id, VARIANT* out) const {
        IDispatch* d = nullptr;
        if (object(n, &d)) {
            out->vt = VT_DISPATCH;
            out->pdispVal = d;
        } else {
            *out = childId(id);
        }
        return S_OK;
    }

    template <class Out>
    HRESULT delegate(IDispatch* d, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, Out*),
                     Out* out) const {
        IAccessible* a = accessible(d);
        const HRESULT hr = a ? (a->*get)(childId(CHILDID_SELF), out) : E_FAIL;
        if (a) a->Release();
        return hr;
    }

    // A string property: the child object's own when it is one, else the tree's.
    __attribute__((noinline)) HRESULT text(const VARIANT& child, BSTR* out, Text which) {
        if (!out) return E_POINTER;
        *out = nullptr;
        Found f;
        if (const HRESULT hr = find(child, f); FAILED(hr)) return hr;
        if (IDispatch* d = nullptr; !f.self && object(f.node, &d)) {
            constexpr HRESULT (STDMETHODCALLTYPE IAccessible::*getters[])(VARIANT, BSTR*) = {
                &IAccessible::get_accName,
                &IAccessible::get_accValue,
                &IAccessible::get_accDescription,
                &IAccessible::get_accHelp,
                &IAccessible::get_accKeyboardShortcut,
                &IAccessible::get_accDefaultAction};
            return delegate(d, getters[static_cast<int>(which)], out);
        }
        std::wstring s;
        if (!f.node) {
            if (which == Text::Name) s = target_->announcement;
        } else if (which == Text::Name) {
            s = wide(f.node->name);
        } else if (which == Text::Value) {
            s = wide(f.node->value);
        } else if (which == Text::Description) {
            s = wide(f.node->description);
        } else if (which == Text::DefaultAction && f.node->action) {
            s = L"Press";
        }
        if (s.empty()) return S_FALSE;
        *out = target_->runtime->string(s);
        return *out ? S_OK : E_OUTOFMEMORY;
    }

    // The window system's object for the client area: its parent and state.
    IAccessible* standard() {
        if (!standard_ && connected())
            target_->runtime->stdObject(target_->window->hwnd(), OBJID_CLIENT,
                                        __uuidof(IAccessible),
                                        reinterpret_cast<void**>(&standard_));
        return standard_;
    }

    std::shared_ptr<AccessibleTarget> target_;
    bool grid_;
    ULONG refs_ = 1;
    IAccessible* standard_ = nullptr;
};

#pragma GCC diagnostic pop

AccessibilityRuntime::AccessibilityRuntime()
    : ole32_(systemLibrary(L"ole32.dll"))
    , oleaut32_(systemLibrary(L"oleaut32.dll"))
    , oleacc_(systemLibrary(L"oleacc.dll")) {
    using CoInitializeExFn = HRESULT(WINAPI*)(void*, DWORD);
    // Clients in other processes call in through the thread's apartment, as its messages.
    if (auto init = function<CoInitializeExFn>(ole32_, "CoInitializeEx"))
        apartment_ = SUCCEEDED(init(nullptr, COINIT_APARTMENTTHREADED));
    coUninitialize_ = function<CoUninitializeFn>(ole32_, "CoUninitialize");
    coDisconnectObject_ = function<CoDisconnectObjectFn>(ole32_, "CoDisconnectObject");
    sysAllocStringLen_ = function<SysAllocStringLenFn>(oleaut32_, "SysAllocStringLen");
    lresultFromObject_ = function<LresultFromObjectFn>(oleacc_, "LresultFromObject");
    createStdAccessibleObject_ =
        function<CreateStdAccessibleObjectFn>(oleacc_, "CreateStdAccessibleObject");
}

AccessibilityRuntime::~AccessibilityRuntime() {
    if (apartment_ && coUninitialize_) coUninitialize_();
    // The libraries stay: what COM unloads at its own pace may still run their code.
}

LRESULT AccessibilityRuntime::lresultFromObject(REFIID riid, WPARAM wParam,
                                                IUnknown* object) const {
    return lresultFromObject_ ? lresultFromObject_(riid, wParam, object) : 0;
}

HRESULT AccessibilityRuntime::stdObject(HWND hwnd, LONG objectId, REFIID riid, void** out) const {
    *out = nullptr;
    return createStdAccessibleObject_ ? createStdAccessibleObject_(hwnd, objectId, riid, out)
                                      : E_NOTIMPL;
}

BSTR AccessibilityRuntime::string(const std::wstring& s) const {
    if (s.empty() || !sysAllocStringLen_) return nullptr;
    return sysAllocStringLen_(s.data(), static_cast<UINT>(s.size()));
}

void AccessibilityRuntime::disconnect(IUnknown* object) const {
    if (coDisconnectObject_) coDisconnectObject_(object, 0);
}

FormAccessibility::FormAccessibility(FormWindow& window, const AccessibilityRuntime& runtime)
    : window_(window)
    , runtime_(runtime)
    , target_(std::make_shared<AccessibleTarget>()) {
    target_->window = &window;
    target_->runtime = &runtime;
    target_->client = new AccessibleObject(target_, false);
    target_->grid = new AccessibleObject(target_, true);
}

FormAccessibility::~FormAccessibility() {
    // Clients may hold the objects on: from now on they answer that they are gone.
    AccessibleObject* objects[] = {target_->grid, target_->client};
    *target_ = AccessibleTarget{};
    for (AccessibleObject* object : objects) {
        object->disconnect();
        runtime_.disconnect(static_cast<IAccessible*>(object));
        object->Release();
    }
}

LRESULT FormAccessibility::getObject(WPARAM wParam, LPARAM lParam) {
    const auto id = static_cast<LONG>(lParam); // a 32-bit number, whatever the width of lParam
    AccessibleObject* object = nullptr;
    if (id == OBJID_CLIENT)
        object = target_->client;
    else if (id == kGridObjectId && window_.host().accessibleTree().find(AccessibleNode::kGrid))
        object = target_->grid;
    if (!object) return 0;
    const LRESULT result = runtime_.lresultFromObject(__uuidof(IAccessible), wParam,
                                                      static_cast<IAccessible*>(object));
    return result > 0 ? result : 0; // failed: the window system's own object, as for any window
}

void FormAccessibility::raise(DWORD event, const AccessibleTree& tree, int id) const {
    const Node* n = tree.find(id);
    // Native children: the window system tells of its own.
    if (!n || n->native) return;
    const HWND hwnd = window_.hwnd();
    if (n->parent < 0) return NotifyWinEvent(event, hwnd, OBJID_CLIENT, CHILDID_SELF);
    if (n->role == Node::Role::Grid)
        return NotifyWinEvent(event, hwnd, kGridObjectId, CHILDID_SELF);
    const Node& parent = tree.nodes[static_cast<std::size_t>(n->parent)];
    const LONG child = position(parent.children, static_cast<int>(n - tree.nodes.data()));
    NotifyWinEvent(event, hwnd, parent.role == Node::Role::Grid ? kGridObjectId : OBJID_CLIENT,
                   child);
}

void FormAccessibility::tell(const std::vector<AccessibleChange>& changes) {
    if (changes.empty()) return;
    const AccessibleTree tree = window_.host().accessibleTree();
    const HWND hwnd = window_.hwnd();
    std::wstring said;
    for (const AccessibleChange& c : changes) {
        switch (c.kind) {
        case AccessibleChange::Kind::Name:
            raise(EVENT_OBJECT_NAMECHANGE, tree, c.id);
            break;
        case AccessibleChange::Kind::Value:
            raise(EVENT_OBJECT_VALUECHANGE, tree, c.id);
            break;
        case AccessibleChange::Kind::Description:
            raise(EVENT_OBJECT_DESCRIPTIONCHANGE, tree, c.id);
            break;
        case AccessibleChange::Kind::State:
            raise(EVENT_OBJECT_STATECHANGE, tree, c.id);
            break;
        case AccessibleChange::Kind::Focus:
            if (GetFocus() == hwnd) raise(EVENT_OBJECT_FOCUS, tree, c.id);
            break;
        case AccessibleChange::Kind::Structure:
            NotifyWinEvent(EVENT_OBJECT_REORDER, hwnd, OBJID_CLIENT, CHILDID_SELF);
            break;
        case AccessibleChange::Kind::Alert:
            NotifyWinEvent(EVENT_SYSTEM_ALERT, hwnd, OBJID_CLIENT, CHILDID_SELF);
            break;
        case AccessibleChange::Kind::Announce:
            if (!said.empty()) said += L". ";
            said += wide(c.text);
            break;
        }
    }
    if (said.empty()) return;
    target_->announcement = std::move(said);
    const auto live = static_cast<LONG>(tree.nodes[0].children.size()) + 1;
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd, OBJID_CLIENT, live);
    NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, hwnd, OBJID_CLIENT, live);
}

} // namespace tk::win32
