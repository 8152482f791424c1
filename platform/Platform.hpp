// The core's view of the program: the backend it runs on, the services a test may replace, and
// the count of loaded forms that ends the program.
#pragma once

#include "platform/Backend.hpp"
#include "platform/Services.hpp"
#include "platform/WindowsApi.hpp"

#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace tk {

class Form;

// Each set one stands in for the backend's own.
struct Seams {
    std::function<msgbox::Answer(const msgbox::Request&)> messageBox;
    Random* random = nullptr;
    TimerService* clock = nullptr;
    WindowsApi* windowsApi = nullptr;
    std::optional<SizePx> screenSize;
};

class Platform {
public:
    explicit Platform(Backend& backend);
    Platform(const Platform&) = delete;
    Platform& operator=(const Platform&) = delete;

    Backend& backend() const { return backend_; }
    Seams seams;

    // Asks, and hands the answer to `answered`, which may run after this returns.
    void messageBox(std::string_view prompt, msgbox::Style style, std::string_view title,
                    std::function<void(msgbox::Answer)> answered);
    Random& random();
    TimerService& timers();
    WindowsApi& windowsApi();
    SizePx screenSize();
    Rgb resolve(Colour c) const {
        return isSystemColour(c) ? backend_.systemColour(c & 0xFF) : toRgb(c);
    }
    int exec();
    // Ends exec(), or makes the next one return at once.
    void quit(int code);

    // The program ends when its last form has unloaded.
    void formLoaded() { ++loadedForms_; }
    void formUnloaded(bool endWhenLast);
    // Forms that exist, so that an alert on one reaches the grids of the others.
    void attach(Form& form) { forms_.push_back(&form); }
    void detach(Form& form) { std::erase(forms_, &form); }
    void alerted(std::string_view firstLine);
    bool alerting() const; // an alert window is loaded

private:
    Backend& backend_;
    ClockSeededRandom random_;
    StandInWindowsApi standIn_{backend_};
    std::vector<Form*> forms_;
    int loadedForms_ = 0;
    bool running_ = false;
    std::optional<int> pendingExit_;
};

// Starts the linked backend and hands `body` the program's platform. Inline, so that it lands in
// the program beside the backend it calls.
inline int run(int argc, char** argv, std::string_view program,
               const std::function<int(Platform&)>& body) {
    return runBackend(argc, argv, program, [&body](Backend& backend) {
        Platform platform(backend);
        return body(platform);
    });
}

} // namespace tk
