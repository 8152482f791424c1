#include "Platform.hpp"

namespace tk {

Platform::Platform() = default;
Platform::~Platform() = default;

int Platform::messageBox(std::string_view prompt, int style, std::string_view title) {
    return seams.messageBox ? seams.messageBox(prompt, style, title)
                            : nativeMessageBox(prompt, style, title);
}

Random& Platform::random() {
    return seams.random ? *seams.random : random_;
}

TimerService& Platform::timers() {
    return seams.clock ? *seams.clock : nativeTimers();
}

WindowsApi& Platform::windowsApi() {
    return seams.windowsApi ? *seams.windowsApi : nativeWindowsApi();
}

SizePx Platform::screenSize() {
    return seams.screenSize ? *seams.screenSize : nativeScreenSize();
}

void Platform::formUnloaded(bool endWhenLast) {
    if (loadedForms_ > 0) --loadedForms_;
    if (loadedForms_ == 0 && endWhenLast) {
        quitRequested_ = true;
        quit(0);
    }
}

std::intptr_t StandInWindowsApi::ShellExecuteA(win::HWND, const char* operation, const char* file,
                                               const char*, const char*, int) {
    // Like the shell: above 32 is success, 2 is "file not found".
    if (!operation || !file || std::string_view(operation) != "open") return 2;
    return platform_.openAddress(file) ? 42 : 2;
}

} // namespace tk
