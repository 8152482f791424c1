#include "platform/win32/Win32Accessible.hpp"

#include "platform/win32/Win32Platform.hpp"

#include <oleacc.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace tk::win32 {

// What the objects of one window reach it through; the window's going empties it.
struct AccessibleTarget {
    FormWindow* window = nullptr;
    const AccessibilityRuntime* runtime = nullptr;
    AccessibleNode* client = nullptr;
    AccessibleNode* grid = nullptr;
};

namespace {

template <class F> F function(HMODULE module, const char* name) {
    return module ? reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)))
                  : nullptr;
}

// One child of the client or of the grid, as the view is now.
struct Element {
    enum class Kind { Native, Item, Grid };
    Kind kind = Kind::Item;
    HWND hwnd = nullptr;                  // a native child window
    const AccessibleItem* item = nullptr; // an item of the view the element was found in
};

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

RectPx gridArea(const AccessibleView& view) {
    double left = 0, top = 0, right = 0, bottom = 0;
    bool any = false;
    for (const auto& i : view.items) {
        if (i.role != AccessibleItem::Role::Cell) continue;
        const RectPx& a = i.area;
        if (!any) {
            left = a.x, top = a.y, right = a.x + a.width, bottom = a.y + a.height;
            any = true;
        }
        left = std::min(left, a.x), top = std::min(top, a.y);
        right = std::max(right, a.x + a.width), bottom = std::max(bottom, a.y + a.height);
    }
    return {left, top, right - left, bottom - top};
}

// The visible native children, in the order the window system keeps them.
std::vector<HWND> nativeChildren(HWND parent) {
    std::vector<HWND> out;
    for (HWND h = GetWindow(parent, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
        if (IsWindowVisible(h)) out.push_back(h);
    return out;
}

std::vector<Element> clientElements(HWND hwnd, const AccessibleView& view) {
    std::vector<Element> out;
    for (HWND h : nativeChildren(hwnd))
        out.push_back({Element::Kind::Native, h, nullptr});
    for (const auto& i : view.items)
        if (i.role != AccessibleItem::Role::Cell) out.push_back({Element::Kind::Item, nullptr, &i});
    if (!view.gridName.empty()) out.push_back({Element::Kind::Grid, nullptr, nullptr});
    return out;
}

std::vector<Element> gridElements(const AccessibleView& view) {
    std::vector<Element> out;
    if (view.gridName.empty()) return out;
    for (const auto& i : view.items)
        if (i.role == AccessibleItem::Role::Cell) out.push_back({Element::Kind::Item, nullptr, &i});
    return out;
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

} // namespace

// COM interfaces have no virtual destructor: an object goes only through its own Release.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// The client area of a form window, or its grid. Everything it answers comes from the view as it
// is at the call.
class AccessibleNode final : public IAccessible {
public:
    AccessibleNode(std::shared_ptr<AccessibleTarget> target, bool grid)
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
        const auto v = view();
        if (!v) return CO_E_OBJNOTCONNECTED;
        *count = static_cast<LONG>(elements(*v).size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        Found f;
        if (const HRESULT hr = find(child, f); FAILED(hr)) return hr;
        if (f.self) return E_INVALIDARG;
        return object(f.element, out) ? S_OK : S_FALSE; // S_FALSE: a simple element
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
        if (IDispatch* d = nullptr; !f.self && object(f.element, &d))
            return delegate(d, &IAccessible::get_accRole, role);
        LONG r = ROLE_SYSTEM_CLIENT;
        if (f.self)
            r = grid_ ? ROLE_SYSTEM_TABLE : f.view.alert ? ROLE_SYSTEM_ALERT : ROLE_SYSTEM_CLIENT;
        else if (f.element.item->role == AccessibleItem::Role::Cell)
            r = ROLE_SYSTEM_CELL;
        else if (f.element.item->role == AccessibleItem::Role::Link)
            r = ROLE_SYSTEM_LINK;
        else
            r = ROLE_SYSTEM_STATICTEXT;
        *role = childId(r);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        if (!state) return E_POINTER;
        *state = empty();
        Found f;
        if (const HRESULT hr = find(child, f); FAILED(hr)) return hr;
        if (IDispatch* d = nullptr; !f.self && object(f.element, &d))
            return delegate(d, &IAccessible::get_accState, state);
        if (f.self && !grid_) {
            if (IAccessible* s = standard()) return s->get_accState(child, state);
        }
        LONG s = 0;
        const HWND hwnd = target_->window->hwnd();
        if (!IsWindowVisible(hwnd)) s |= STATE_SYSTEM_INVISIBLE;
        if (f.self) {
            s |= STATE_SYSTEM_READONLY;
        } else {
            const AccessibleItem& i = *f.element.item;
            if (i.role == AccessibleItem::Role::Text) s |= STATE_SYSTEM_READONLY;
            if (i.role == AccessibleItem::Role::Link) s |= STATE_SYSTEM_LINKED;
            if (i.role != AccessibleItem::Role::Text && (!i.action || !IsWindowEnabled(hwnd)))
                s |= STATE_SYSTEM_UNAVAILABLE;
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
        if (!connected()) return CO_E_OBJNOTCONNECTED;
        // Only native children and the window itself take the keyboard focus.
        if (IAccessible* s = grid_ ? nullptr : standard()) return s->get_accFocus(focus);
        return S_FALSE;
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
        if (IDispatch* d = nullptr; !f.self && object(f.element, &d)) {
            IAccessible* a = accessible(d);
            const HRESULT hr = a ? a->accSelect(flags, childId(CHILDID_SELF)) : E_FAIL;
            if (a) a->Release();
            return hr;
        }
        if (f.self && !grid_)
            if (IAccessible* s = standard()) return s->accSelect(flags, child);
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override {
        if (!left || !top || !width || !height) return E_POINTER;
        *left = *top = *width = *height = 0;
        Found f;
        if (const HRESULT hr = find(child, f); FAILED(hr)) return hr;
        if (IDispatch* d = nullptr; !f.self && object(f.element, &d)) {
            IAccessible* a = accessible(d);
            const HRESULT hr =
                a ? a->accLocation(left, top, width, height, childId(CHILDID_SELF)) : E_FAIL;
            if (a) a->Release();
            return hr;
        }
        const HWND hwnd = target_->window->hwnd();
        RECT r{};
        if (f.self && !grid_) {
            GetClientRect(hwnd, &r);
            MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
        } else {
            r = screenRect(hwnd, f.self ? gridArea(f.view) : f.element.item->area);
        }
        *left = r.left, *top = r.top, *width = r.right - r.left, *height = r.bottom - r.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        if (!end) return E_POINTER;
        *end = empty();
        Found f;
        if (const HRESULT hr = find(start, f); FAILED(hr)) return hr;
        const auto count = static_cast<LONG>(f.elements.size());
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
        return child(f.elements[static_cast<std::size_t>(to - 1)], to, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* at) override {
        if (!at) return E_POINTER;
        *at = empty();
        const auto v = view();
        if (!v) return CO_E_OBJNOTCONNECTED;
        const HWND hwnd = target_->window->hwnd();
        POINT p{x, y};
        ScreenToClient(hwnd, &p);
        const auto all = elements(*v);
        for (std::size_t i = all.size(); i-- > 0;) { // the topmost first
            const Element& e = all[i];
            bool hit = false;
            if (e.kind == Element::Kind::Native) {
                RECT r{};
                GetWindowRect(e.hwnd, &r);
                hit = PtInRect(&r, POINT{x, y});
            } else {
                hit =
                    contains(e.kind == Element::Kind::Grid ? gridArea(*v) : e.item->area, p.x, p.y);
            }
            if (hit) return child(e, static_cast<LONG>(i + 1), at);
        }
        RECT client{};
        GetClientRect(hwnd, &client);
        const bool inside = grid_ ? contains(gridArea(*v), p.x, p.y) : PtInRect(&client, p);
        if (!inside) return S_FALSE;
        *at = childId(CHILDID_SELF);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        Found f;
        if (const HRESULT hr = find(child, f); FAILED(hr)) return hr;
        if (IDispatch* d = nullptr; !f.self && object(f.element, &d)) {
            IAccessible* a = accessible(d);
            const HRESULT hr = a ? a->accDoDefaultAction(childId(CHILDID_SELF)) : E_FAIL;
            if (a) a->Release();
            return hr;
        }
        // As the mouse: nothing while another window holds the program (a message box).
        if (f.self || !f.element.item->action) return DISP_E_MEMBERNOTFOUND;
        if (!IsWindowEnabled(target_->window->hwnd())) return E_FAIL;
        // The action may end the window, and with it the references it holds to this object.
        AddRef();
        target_->window->accessibleAction(f.element.item->id);
        Release();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    // The view at a call, and the child asked about in it.
    struct Found {
        Found() = default;
        Found(const Found&) = delete;
        Found& operator=(const Found&) = delete;
        __attribute__((noinline)) ~Found() = default; // once, not in every method

        AccessibleView view;
        std::vector<Element> elements;
        bool self = true;
        LONG index = 0; // 1-based, when not self
        Element element;
    };
    enum class Text { Name, Value, Description, Help, Shortcut, DefaultAction };

    bool connected() const { return target_->window && target_->window->host(); }
    std::optional<AccessibleView> view() const {
        if (!connected()) return std::nullopt;
        return target_->window->host()->accessibleView();
    }
    std::vector<Element> elements(const AccessibleView& v) const {
        return grid_ ? gridElements(v) : clientElements(target_->window->hwnd(), v);
    }

    HRESULT find(const VARIANT& child, Found& f) const {
        auto v = view();
        if (!v) return CO_E_OBJNOTCONNECTED;
        if (child.vt != VT_I4) return E_INVALIDARG;
        f.view = std::move(*v);
        f.elements = elements(f.view);
        if (child.lVal == CHILDID_SELF) return S_OK;
        if (child.lVal < 1 || child.lVal > static_cast<LONG>(f.elements.size()))
            return E_INVALIDARG;
        f.self = false;
        f.index = child.lVal;
        f.element = f.elements[static_cast<std::size_t>(child.lVal - 1)];
        return S_OK;
    }

    // The object of a child that is one (a native window, the grid), with a reference.
    bool object(const Element& e, IDispatch** out) const {
        *out = nullptr;
        if (e.kind == Element::Kind::Grid && target_->grid)
            return SUCCEEDED(
                target_->grid->QueryInterface(__uuidof(IDispatch), reinterpret_cast<void**>(out)));
        if (e.kind == Element::Kind::Native)
            return SUCCEEDED(target_->runtime->stdObject(e.hwnd, OBJID_CLIENT, __uuidof(IDispatch),
                                                         reinterpret_cast<void**>(out)));
        return false;
    }
    static IAccessible* accessible(IDispatch* d) {
        IAccessible* a = nullptr;
        d->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&a));
        d->Release();
        return a;
    }
    // A child as a navigation or hit test returns it: its object, or its id.
    HRESULT child(const Element& e, LONG id, VARIANT* out) const {
        IDispatch* d = nullptr;
        if (object(e, &d)) {
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

    // A string property: the child object's own when it is one, else the view's.
    __attribute__((noinline)) HRESULT text(const VARIANT& child, BSTR* out, Text which) {
        if (!out) return E_POINTER;
        *out = nullptr;
        Found f;
        if (const HRESULT hr = find(child, f); FAILED(hr)) return hr;
        if (IDispatch* d = nullptr; !f.self && object(f.element, &d)) {
            constexpr HRESULT (STDMETHODCALLTYPE IAccessible::*getters[])(VARIANT, BSTR*) = {
                &IAccessible::get_accName,
                &IAccessible::get_accValue,
                &IAccessible::get_accDescription,
                &IAccessible::get_accHelp,
                &IAccessible::get_accKeyboardShortcut,
                &IAccessible::get_accDefaultAction};
            return delegate(d, getters[static_cast<int>(which)], out);
        }
        const AccessibleItem* item = f.self ? nullptr : f.element.item;
        std::string_view s;
        switch (which) {
        case Text::Name:
            s = item ? item->name : grid_ ? f.view.gridName : f.view.name;
            break;
        case Text::Value:
            if (item && item->role == AccessibleItem::Role::Cell) s = item->value;
            break;
        case Text::Description:
            if (!item && grid_) s = f.view.gridDescription;
            break;
        case Text::DefaultAction:
            if (item && item->action) s = "Press";
            break;
        default:
            break;
        }
        if (s.empty()) return S_FALSE;
        *out = target_->runtime->string(wide(s));
        return *out ? S_OK : E_OUTOFMEMORY;
    }

    // The window system's object for the client area: its parent, state and focus.
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
    : ole32_(LoadLibraryW(L"ole32.dll"))
    , oleaut32_(LoadLibraryW(L"oleaut32.dll"))
    , oleacc_(LoadLibraryW(L"oleacc.dll")) {
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
    target_->client = new AccessibleNode(target_, false);
    target_->grid = new AccessibleNode(target_, true);
    remember();
}

FormAccessibility::~FormAccessibility() {
    // Clients may hold the objects on: from now on they answer that they are gone.
    AccessibleNode* nodes[] = {target_->grid, target_->client};
    *target_ = AccessibleTarget{};
    for (AccessibleNode* node : nodes) {
        node->disconnect();
        runtime_.disconnect(static_cast<IAccessible*>(node));
        node->Release();
    }
}

LRESULT FormAccessibility::getObject(WPARAM wParam, LPARAM lParam) {
    const auto id = static_cast<LONG>(lParam); // a 32-bit number, whatever the width of lParam
    AccessibleNode* node = nullptr;
    if (id == OBJID_CLIENT)
        node = target_->client;
    else if (id == kGridObjectId && window_.host() &&
             !window_.host()->accessibleView().gridName.empty())
        node = target_->grid;
    if (!node) return 0;
    const LRESULT result =
        runtime_.lresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(node));
    return result > 0 ? result : 0; // failed: the window system's own object, as for any window
}

namespace {

struct Snapshot {
    std::wstring name, description;
    std::vector<std::pair<int, std::wstring>> items, cells; // by control id, in order
};

Snapshot snapshot(const AccessibleView& v) {
    Snapshot s{wide(v.name), wide(v.gridDescription), {}, {}};
    for (const auto& i : v.items) {
        if (i.role == AccessibleItem::Role::Cell)
            s.cells.emplace_back(i.id, wide(i.value));
        else
            s.items.emplace_back(i.id, wide(i.name));
    }
    return s;
}

bool sameIds(const std::vector<std::pair<int, std::wstring>>& a,
             const std::vector<std::pair<int, std::wstring>>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const auto& x, const auto& y) { return x.first == y.first; });
}

} // namespace

void FormAccessibility::remember() {
    if (!window_.host()) return;
    Snapshot s = snapshot(window_.host()->accessibleView());
    name_ = std::move(s.name);
    description_ = std::move(s.description);
    items_ = std::move(s.items);
    cells_ = std::move(s.cells);
}

void FormAccessibility::changed() {
    if (!window_.host()) return;
    const HWND hwnd = window_.hwnd();
    const Snapshot now = snapshot(window_.host()->accessibleView());
    const auto natives = static_cast<LONG>(nativeChildren(hwnd).size());
    if (now.name != name_)
        NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd, OBJID_CLIENT, CHILDID_SELF);
    if (!sameIds(now.items, items_) || now.cells.size() != cells_.size()) {
        NotifyWinEvent(EVENT_OBJECT_REORDER, hwnd, OBJID_CLIENT, CHILDID_SELF);
    } else {
        // Children of the client after its native children; cells are the grid's own.
        for (std::size_t i = 0; i < now.items.size(); ++i)
            if (now.items[i].second != items_[i].second)
                NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd, OBJID_CLIENT,
                               natives + static_cast<LONG>(i) + 1);
        if (sameIds(now.cells, cells_))
            for (std::size_t i = 0; i < now.cells.size(); ++i)
                if (now.cells[i].second != cells_[i].second)
                    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, hwnd, kGridObjectId,
                                   static_cast<LONG>(i) + 1);
    }
    if (now.description != description_)
        NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, hwnd, kGridObjectId, CHILDID_SELF);
    name_ = now.name;
    description_ = now.description;
    items_ = now.items;
    cells_ = now.cells;
}

} // namespace tk::win32
