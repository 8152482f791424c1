#include "platform/Platform.hpp"

#include "platform/Form.hpp"

#include <utility>

namespace tk {

Platform::Platform(Backend& backend)
    : backend_(backend) {}

void Platform::messageBox(std::string_view prompt, msgbox::Style style, std::string_view title,
                          std::function<void(msgbox::Answer)> answered) {
    const msgbox::Request box = msgbox::request(prompt, style, title);
    if (seams.messageBox)
        answered(seams.messageBox(box));
    else
        backend_.messageBox(box, std::move(answered));
}

int Platform::exec() {
    if (pendingExit_) return *std::exchange(pendingExit_, std::nullopt);
    running_ = true;
    const int code = backend_.exec();
    running_ = false;
    return code;
}

void Platform::quit(int code) {
    // A backend's quit outside its loop would end a later modal loop, or the next loop at once.
    if (running_)
        backend_.quit(code);
    else
        pendingExit_ = code;
}

Random& Platform::random() {
    return seams.random ? *seams.random : random_;
}

TimerService& Platform::timers() {
    return seams.clock ? *seams.clock : backend_.timers();
}

WindowsApi& Platform::windowsApi() {
    if (seams.windowsApi) return *seams.windowsApi;
    WindowsApi* native = backend_.windowsApi();
    return native ? *native : standIn_;
}

SizePx Platform::screenSize() {
    return seams.screenSize ? *seams.screenSize : backend_.screenSize();
}

void Platform::formUnloaded(bool endWhenLast) {
    if (loadedForms_ > 0) --loadedForms_;
    if (loadedForms_ == 0 && endWhenLast) quit(0);
}

void Platform::alerted(std::string_view firstLine) {
    for (Form* form : forms_)
        form->alerted(firstLine);
}

bool Platform::alerting() const {
    for (const Form* form : forms_)
        if (form->isAlert() && form->loaded()) return true;
    return false;
}

void Platform::reap(const WindowLink* link) {
    std::erase_if(retired_, [link](const auto& l) { return l.get() == link; });
}

void WindowLink::retire(std::unique_ptr<NativeWindow> window) {
    form_ = nullptr; // first: hiding sends the window events of its own
    window_ = std::move(window);
    window_->hide();
}

// Counts a call that reaches the form. Not inlined: every call shares one copy of the leaving.
struct WindowLink::Under {
    [[gnu::noinline]] explicit Under(WindowLink& l)
        : link(l) {
        ++link.depth_;
    }
    [[gnu::noinline]] ~Under() {
        // A modal loop may run what is posted: only now does nothing below use the window.
        if (--link.depth_ == 0 && link.window_)
            link.platform_.backend().post(
                [&platform = link.platform_, l = &link] { platform.reap(l); });
    }
    Under(const Under&) = delete;
    Under& operator=(const Under&) = delete;
    WindowLink& link;
};

// A retired window's calls end at once.
void WindowLink::paint(Canvas& canvas) const {
    if (form_) form_->paint(canvas);
}
void WindowLink::mouseDown(MouseButton button, int shift, double x, double y) {
    if (!form_) return;
    const Under under(*this);
    form_->mouseDown(button, shift, x, y);
}
void WindowLink::mouseMove(MouseButton buttons, int shift, double x, double y) {
    if (!form_) return;
    const Under under(*this);
    form_->mouseMove(buttons, shift, x, y);
}
void WindowLink::mouseUp(MouseButton button, int shift, double x, double y) {
    if (!form_) return;
    const Under under(*this);
    form_->mouseUp(button, shift, x, y);
}
void WindowLink::doubleClick(MouseButton button, int shift, double x, double y) {
    if (!form_) return;
    const Under under(*this);
    form_->doubleClick(button, shift, x, y);
}
void WindowLink::mouseCaptureLost() {
    if (!form_) return;
    const Under under(*this);
    form_->mouseCaptureLost();
}
void WindowLink::childClicked(int id) {
    if (!form_) return;
    const Under under(*this);
    form_->childClicked(id);
}
void WindowLink::closeRequested() {
    if (!form_) return;
    const Under under(*this);
    form_->closeRequested();
}
int WindowLink::initialFocus() const {
    return form_ ? form_->initialFocus() : -1;
}
bool WindowLink::keyDown(Key key, int shift) {
    if (!form_) return false;
    const Under under(*this);
    return form_->keyDown(key, shift);
}
void WindowLink::focusChanged(int id) {
    if (!form_) return;
    const Under under(*this);
    form_->focusChanged(id);
}
AccessibleTree WindowLink::accessibleTree() const {
    return form_ ? form_->accessibleTree() : AccessibleTree{{AccessibleNode{}}};
}
std::vector<AccessibleChange> WindowLink::accessibleChanges() {
    return form_ ? form_->accessibleChanges() : std::vector<AccessibleChange>{};
}
void WindowLink::accessibleAction(int id) {
    if (!form_) return;
    const Under under(*this);
    form_->accessibleAction(id);
}
void WindowLink::screenChanged() {
    if (!form_) return;
    const Under under(*this);
    form_->screenChanged();
}

std::intptr_t StandInWindowsApi::ShellExecuteA(win::HWND, const char* operation, const char* file,
                                               const char*, const char*, int) {
    // Like the shell: above 32 is success, 2 is "file not found".
    if (!operation || !file || std::string_view(operation) != "open") return 2;
    return backend_.openAddress(file) ? 42 : 2;
}

} // namespace tk
