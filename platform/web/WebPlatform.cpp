#include "platform/web/WebPlatform.hpp"

#include "platform/Fault.hpp"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// The page's side, in platform.js. Texts go as pointer and length.
extern "C" {
void tk_web_window_create(int id, const char* name, int nameLen, const char* caption,
                          int captionLen, int width, int height, int inTaskbar);
void tk_web_window_destroy(int id);
void tk_web_window_show(int id, int focusIndex);
void tk_web_window_hide(int id);
int tk_web_window_visible(int id);
int tk_web_window_x(int id);
int tk_web_window_y(int id);
void tk_web_window_move(int id, int x, int y);
int tk_web_window_state(int id);
void tk_web_set_state(int id, int state);
void tk_web_window_invalidate(int id);
void tk_web_control_sync(int id, int index, int isCheckBox, const char* name, int nameLen,
                         const char* caption, int captionLen, int x, int y, int width, int height,
                         int enabled, int visible, int checked, std::uint32_t back,
                         std::uint32_t fore, const char* fontName, int fontNameLen, int px,
                         int bold, int focusable);
void tk_web_set_focus(int id, int node);
void tk_web_accessible_node(int id, int node, int parent, int role, const char* name, int nameLen,
                            const char* value, int valueLen, const char* description,
                            int descriptionLen, double x, double y, double width, double height,
                            int row, int focusable, int focused, int enabled, int action);
void tk_web_accessible_apply(int id, int whole, const char* said, int saidLen, const char* alert,
                             int alertLen);
void tk_web_timer_start(int interval, int id);
void tk_web_timer_stop(int id);
void tk_web_timer_stop_all();
int tk_web_screen_width();
int tk_web_screen_height();
int tk_web_open(const char* address, int len);
int tk_web_measure(const char* name, int nameLen, int px, int bold, const char* text, int textLen,
                   int* height);
void tk_web_message_box(const char* prompt, int promptLen, const char* title, int titleLen,
                        int information, const int* answers, int count);
void tk_web_notify();
void tk_web_run_live();
void tk_web_wait();
void tk_web_fill(std::uint32_t rgb);
void tk_web_draw_picture(const char* name, int len, int density);
double tk_web_ratio();
void tk_web_draw_text(double x, double y, double width, const char* text, int textLen,
                      const char* name, int nameLen, int px, int bold, int underline,
                      std::uint32_t rgb, int align);
void tk_web_draw_line(double x1, double y1, double x2, double y2, std::uint32_t rgb, int width);
void tk_web_draw_frame(double x, double y, double w, double h, std::uint32_t rgb, int width);
void tk_web_fill_rect(double x, double y, double w, double h, std::uint32_t rgb);
void tk_web_ended(int code);
void tk_web_attach(void* platform);
}

namespace tk::web {

namespace {

// The numbers cross to the page as they are; platform.js names them in its tables (TkWeb.Role,
// TkWeb.Align, TkWeb.State, TkWeb.Button), in this order.
using Role = AccessibleNode::Role;
static_assert(static_cast<int>(Role::Window) == 0 && static_cast<int>(Role::Alert) == 1 &&
              static_cast<int>(Role::PushButton) == 2 && static_cast<int>(Role::CheckBox) == 3 &&
              static_cast<int>(Role::Text) == 4 && static_cast<int>(Role::Link) == 5 &&
              static_cast<int>(Role::Grid) == 6 && static_cast<int>(Role::Cell) == 7);
static_assert(static_cast<int>(Align::Left) == 0 && static_cast<int>(Align::Center) == 1);
static_assert(static_cast<int>(WindowState::Normal) == 0 &&
              static_cast<int>(WindowState::Minimized) == 1 &&
              static_cast<int>(WindowState::Maximized) == 2);
static_assert(static_cast<int>(MouseButton::Left) == 1 &&
              static_cast<int>(MouseButton::Right) == 2 &&
              static_cast<int>(MouseButton::Middle) == 4);

int len(std::string_view s) {
    return static_cast<int>(s.size());
}

// The design's face, then its substitutes, as the page's font lists them.
std::string faces(const Font& f) {
    std::string list(f.name);
    if (!f.fallback.empty()) list.append(", ").append(f.fallback);
    return list;
}

std::uint32_t packed(Rgb c) {
    return std::uint32_t{c.r} << 16 | std::uint32_t{c.g} << 8 | c.b;
}

} // namespace

WebTimers::~WebTimers() {
    tk_web_timer_stop_all();
}

bool WebTimers::startNative(int id, int intervalMs) {
    tk_web_timer_start(intervalMs, id);
    return true;
}

void WebTimers::stopNative(int id) {
    tk_web_timer_stop(id);
}

WebWindow::WebWindow(WebPlatform& platform, const WindowTraits& traits, WindowHost& host)
    : platform_(platform)
    , host_(host)
    , id_(platform.addWindow(*this)) {
    tk_web_window_create(id_, traits.name.data(), len(traits.name), traits.title.data(),
                         len(traits.title), traits.client.width, traits.client.height,
                         traits.showInTaskbar ? 1 : 0);
}

WebWindow::~WebWindow() {
    tk_web_window_destroy(id_);
    platform_.removeWindow(id_);
}

void WebWindow::show() {
    syncAccessible(true); // in place before it shows: an alert's region is there to be written
    const AccessibleNode* focus = host_.accessibleTree().focused();
    tk_web_window_show(id_, focus ? focus->id : host_.initialFocus());
}

void WebWindow::hide() {
    tk_web_window_hide(id_);
}

bool WebWindow::isVisible() const {
    return tk_web_window_visible(id_) != 0;
}

PointPx WebWindow::position() const {
    return {tk_web_window_x(id_), tk_web_window_y(id_)};
}

void WebWindow::move(PointPx p) {
    tk_web_window_move(id_, p.x, p.y);
}

WindowState WebWindow::windowState() const {
    return static_cast<WindowState>(tk_web_window_state(id_));
}

void WebWindow::setWindowState(WindowState state) {
    tk_web_set_state(id_, static_cast<int>(state));
}

void WebWindow::invalidate() {
    tk_web_window_invalidate(id_);
}

void WebWindow::invalidate(const RectPx&) {
    tk_web_window_invalidate(id_); // a small picture: painted whole
}

namespace {

int isCheckBox(NativeChild::Kind kind) {
    switch (kind) {
    case NativeChild::Kind::PushButton:
        return 0;
    case NativeChild::Kind::CheckBox:
        return 1;
    }
    return 0;
}

} // namespace

void WebWindow::syncChild(const NativeChild& c) {
    const int box = isCheckBox(c.kind);
    const std::string family = faces(c.font);
    tk_web_control_sync(id_, c.id, box, c.name.data(), len(c.name), c.caption.data(),
                        len(c.caption), c.position.x, c.position.y, c.size.width, c.size.height,
                        c.enabled, c.visible, c.checked, packed(c.back), packed(c.fore),
                        family.data(), len(family), c.font.pixelSize(), c.font.bold, c.focusable);
}

void WebWindow::accessibleChanged() {
    if (accessibleDue_) return;
    accessibleDue_ = true;
    platform_.post([&platform = platform_, id = id_] {
        if (WebWindow* w = platform.window(id); w && w->accessibleDue()) w->syncAccessible();
    });
}

void WebWindow::setFocus(int id) {
    tk_web_set_focus(id_, id);
}

void WebWindow::syncAccessible(bool whole) {
    accessibleDue_ = false;
    using Kind = AccessibleChange::Kind;
    std::vector<int> changed;
    std::string said, alert;
    const auto changes = host_.accessibleChanges();
    for (const AccessibleChange& c : changes) {
        if (c.kind == Kind::Announce) {
            if (c.text.empty()) continue;
            // One sentence each: "X in centre. O's turn."
            if (!said.empty()) said += ' ';
            said += c.text;
            if (said.back() != '.' && said.back() != '!' && said.back() != '?') said += '.';
        } else if (c.kind == Kind::Alert) {
            alert = c.text;
        } else {
            whole = whole || c.kind == Kind::Structure;
            changed.push_back(c.id);
        }
    }
    const AccessibleTree tree = host_.accessibleTree();
    for (const AccessibleNode& n : tree.nodes) {
        // Native children are the page's own controls.
        if (n.native ||
            (!whole && std::find(changed.begin(), changed.end(), n.id) == changed.end()))
            continue;
        const int parent = n.parent < 0 ? n.id : tree.nodes[static_cast<std::size_t>(n.parent)].id;
        tk_web_accessible_node(id_, n.id, parent, static_cast<int>(n.role), n.name.data(),
                               len(n.name), n.value.data(), len(n.value), n.description.data(),
                               len(n.description), n.bounds.x, n.bounds.y, n.bounds.width,
                               n.bounds.height, n.row, n.focusable, n.focused, n.enabled, n.action);
    }
    tk_web_accessible_apply(id_, whole, said.data(), len(said), alert.data(), len(alert));
}

// The page hands the platform back with every call it makes, as a window system hands back
// a window's own data.
WebPlatform::WebPlatform() {
    tk_web_attach(this);
}

WebPlatform::~WebPlatform() {
    tk_web_attach(nullptr);
}

std::unique_ptr<NativeWindow> WebPlatform::createWindow(const WindowTraits& traits,
                                                        WindowHost& host) {
    return std::make_unique<WebWindow>(*this, traits, host);
}

SizePx WebPlatform::measureText(const Font& font, std::string_view text) {
    int height = 0;
    const std::string family = faces(font);
    const int width = tk_web_measure(family.data(), len(family), font.pixelSize(), font.bold,
                                     text.data(), len(text), &height);
    return {width, height};
}

int WebPlatform::exec() {
    // The test page waits here; the program's page returns to the browser, which then calls in
    // for each event, and its objects stay where they are.
    if (emscripten_has_asyncify()) {
        runUntil([this] { return exitCode_.has_value(); });
        return *exitCode_;
    }
    tk_web_run_live();
    drain();
    emscripten_exit_with_live_runtime();
}

void WebPlatform::quit(int code) {
    exitCode_ = code;
    tk_web_notify();
}

void WebPlatform::drain() {
    processPending();
    if (exitCode_ && !ended_) {
        ended_ = true;
        tk_web_ended(*exitCode_);
    }
}

bool WebPlatform::openAddress(std::string_view address) {
    return tk_web_open(address.data(), len(address)) != 0;
}

void WebPlatform::screenChanged() {
    std::vector<int> ids;
    for (const auto& [id, w] : windows_)
        ids.push_back(id);
    for (int id : ids) // a window may go while another is placed
        if (WebWindow* w = window(id)) w->host().screenChanged();
}

void WebPlatform::post(std::function<void()> event) {
    if (ended_) return; // ticks of a program that has ended
    pending_.push_back(std::move(event));
    tk_web_notify();
}

void WebPlatform::processPending() {
    // In order, with what the events post meanwhile; a call from inside one of them goes on
    // from where this one stands.
    while (next_ < pending_.size()) {
        const auto event = std::move(pending_[next_++]);
        event();
    }
    pending_.clear();
    next_ = 0;
}

void WebPlatform::runUntil(const std::function<bool()>& done) {
    for (;;) {
        processPending();
        if (done()) return;
        // A call the browser made while the loop sleeps cannot sleep too.
        if (waiting_ > 0) fault("a second wait while the loop sleeps");
        ++waiting_;
        tk_web_wait();
        --waiting_;
    }
}

int WebPlatform::addWindow(WebWindow& window) {
    const int id = nextWindow_++;
    windows_.emplace_back(id, &window);
    return id;
}

void WebPlatform::removeWindow(int id) {
    std::erase_if(windows_, [id](const auto& w) { return w.first == id; });
}

WebWindow* WebPlatform::window(int id) const {
    for (const auto& [i, w] : windows_)
        if (i == id) return w;
    return nullptr;
}

void WebPlatform::paint(int id) {
    if (WebWindow* w = window(id)) {
        WebCanvas canvas;
        w->host().paint(canvas);
    }
}

void WebPlatform::messageBox(const msgbox::Request& request,
                             std::function<void(msgbox::Answer)> answered) {
    // The box takes the mouse: presses under way end here, as their releases would.
    // A handler may unload a form meanwhile, so the windows are looked up one by one.
    std::vector<int> ids;
    for (const auto& [id, window] : windows_)
        ids.push_back(id);
    for (int id : ids)
        if (WebWindow* w = window(id)) w->host().mouseCaptureLost();
    answered_ = std::move(answered);
    std::vector<int> answers;
    for (msgbox::Answer a : request.answers)
        answers.push_back(static_cast<int>(a));
    tk_web_message_box(request.prompt.data(), len(request.prompt), request.title.data(),
                       len(request.title), request.style.icon == msgbox::Icon::Information,
                       answers.data(), static_cast<int>(answers.size()));
}

void WebPlatform::answer(int value) {
    if (auto answered = std::exchange(answered_, nullptr))
        answered(static_cast<msgbox::Answer>(value));
}

SizePx WebPlatform::screenSize() {
    return {tk_web_screen_width(), tk_web_screen_height()};
}

void WebCanvas::fill(Rgb colour) {
    tk_web_fill(packed(colour));
}

double WebCanvas::ratio() const {
    return tk_web_ratio();
}

void WebCanvas::drawPicture(const PictureChoice& picture) {
    tk_web_draw_picture(picture.name.data(), len(picture.name), picture.density);
}

void WebCanvas::drawText(const RectPx& box, std::string_view text, const Font& font, Rgb colour,
                         Align align) {
    if (text.empty()) return;
    const std::string family = faces(font);
    tk_web_draw_text(box.x, box.y, box.width, text.data(), len(text), family.data(), len(family),
                     font.pixelSize(), font.bold, font.underline, packed(colour),
                     static_cast<int>(align));
}

void WebCanvas::drawLine(double x1, double y1, double x2, double y2, Rgb colour, int width) {
    tk_web_draw_line(x1, y1, x2, y2, packed(colour), width);
}

void WebCanvas::drawFrame(const RectPx& box, Rgb colour, int width) {
    tk_web_draw_frame(box.x, box.y, box.width, box.height, packed(colour), width);
}

void WebCanvas::fillRect(const RectPx& box, Rgb colour) {
    tk_web_fill_rect(box.x, box.y, box.width, box.height, packed(colour));
}

} // namespace tk::web

// What the page calls: input and ticks are queued for the loop; painting happens at once.
extern "C" {

EMSCRIPTEN_KEEPALIVE void tk_web_mouse(tk::web::WebPlatform* platform, int id, int type, int button,
                                       int shift, double x, double y) {
    platform->post([platform, id, type, button, shift, x, y] {
        tk::web::WebWindow* w = platform->window(id);
        if (!w) return; // gone meanwhile
        tk::WindowHost& form = w->host();
        const auto pressed = static_cast<tk::MouseButton>(button); // TkWeb.Button's numbers
        switch (type) {
        case 0:
            form.mouseDown(pressed, shift, x, y);
            break;
        case 1:
            form.mouseMove(pressed, shift, x, y);
            break;
        case 2:
            form.mouseUp(pressed, shift, x, y);
            break;
        default:
            form.doubleClick(pressed, shift, x, y);
            break;
        }
    });
}

EMSCRIPTEN_KEEPALIVE void tk_web_control(tk::web::WebPlatform* platform, int id, int index) {
    platform->post([platform, id, index] {
        if (tk::web::WebWindow* w = platform->window(id)) w->host().childClicked(index);
    });
}

// Assistive technology's default action on a node laid over the canvas.
EMSCRIPTEN_KEEPALIVE void tk_web_accessible_action(tk::web::WebPlatform* platform, int id,
                                                   int node) {
    platform->post([platform, id, node] {
        if (tk::web::WebWindow* w = platform->window(id)) w->host().accessibleAction(node);
    });
}

// `key` is a tk::Key.
EMSCRIPTEN_KEEPALIVE void tk_web_key(tk::web::WebPlatform* platform, int id, int key, int shift) {
    platform->post([platform, id, key, shift] {
        if (tk::web::WebWindow* w = platform->window(id))
            w->host().keyDown(static_cast<tk::Key>(key), shift);
    });
}

// The page put the focus on a node that the core did not ask for (a click, a screen reader).
EMSCRIPTEN_KEEPALIVE void tk_web_focus(tk::web::WebPlatform* platform, int id, int node) {
    platform->post([platform, id, node] {
        if (tk::web::WebWindow* w = platform->window(id)) w->host().focusChanged(node);
    });
}

EMSCRIPTEN_KEEPALIVE void tk_web_close(tk::web::WebPlatform* platform, int id) {
    platform->post([platform, id] {
        if (tk::web::WebWindow* w = platform->window(id)) w->host().closeRequested();
    });
}

EMSCRIPTEN_KEEPALIVE void tk_web_screen_changed(tk::web::WebPlatform* platform) {
    platform->post([platform] { platform->screenChanged(); });
}

EMSCRIPTEN_KEEPALIVE void tk_web_tick(tk::web::WebPlatform* platform, int id) {
    platform->post([platform, id] { platform->timers().fired(id); });
}

EMSCRIPTEN_KEEPALIVE void tk_web_answer(tk::web::WebPlatform* platform, int value) {
    platform->post([platform, value] { platform->answer(value); });
}

// The program's page runs what was posted once the call that posted has returned.
EMSCRIPTEN_KEEPALIVE void tk_web_drain(tk::web::WebPlatform* platform) {
    platform->drain();
}

EMSCRIPTEN_KEEPALIVE void tk_web_paint(tk::web::WebPlatform* platform, int id) {
    platform->paint(id);
}
}

int tk::runBackend(int, char**, std::string_view, const std::function<int(Backend&)>& body) {
    tk::web::WebPlatform platform;
    const int code = body(platform);
    tk_web_ended(code);
    return code;
}
