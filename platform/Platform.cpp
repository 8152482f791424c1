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

std::intptr_t StandInWindowsApi::ShellExecuteA(win::HWND, const char* operation, const char* file,
                                               const char*, const char*, int) {
    // Like the shell: above 32 is success, 2 is "file not found".
    if (!operation || !file || std::string_view(operation) != "open") return 2;
    return backend_.openAddress(file) ? 42 : 2;
}

} // namespace tk
