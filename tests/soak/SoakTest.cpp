// A seeded monkey: random input of every kind through the real backend, checking after every
// event what must always hold. GRIDLARK_SOAK_EVENTS and GRIDLARK_SOAK_SEED replay a run.
#include "tests/support/Fixture.hpp"

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <random>
#include <sstream>

namespace gridlark::testing {
namespace {

using tk::testing::Key;

long envOr(const char* name, long fallback) {
    const char* v = std::getenv(name);
    return v && *v ? std::strtol(v, nullptr, 10) : fallback;
}

class SoakTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        plat.seams.screenSize = screen;
        start();
    }

    template <class T> T pick(std::initializer_list<T> from) {
        return *(from.begin() +
                 std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(rng));
    }
    int upTo(int n) { return std::uniform_int_distribution<int>(0, n)(rng); }

    tk::Form& someWindow() {
        if (app->noticeLoaded() && upTo(3) == 0) return notice();
        return main();
    }
    tk::PointPx somePoint(tk::Form& form) {
        return {upTo(form.width() / tk::kTwipsPerPixel - 1),
                upTo(form.height() / tk::kTwipsPerPixel - 1)};
    }

    void step() {
        const int buttons[] = {tk::mouse::Left,
                               tk::mouse::Left,
                               tk::mouse::Left,
                               tk::mouse::Right,
                               tk::mouse::Middle,
                               8,
                               16};
        const int button = buttons[upTo(6)];
        const int shift = upTo(7);
        switch (upTo(13)) {
        case 0:
        case 1:
        case 2: {
            tk::Form& w = someWindow();
            driver->click(w, button, somePoint(w), shift);
            return;
        }
        case 3: {
            tk::Form& w = someWindow();
            driver->press(w, button, shift, somePoint(w));
            return;
        }
        case 4: {
            tk::Form& w = someWindow();
            driver->release(w, button, shift, somePoint(w));
            return;
        }
        case 5:
        case 6: {
            tk::Form& w = someWindow();
            driver->move(w, upTo(7), somePoint(w));
            return;
        }
        case 7: {
            tk::Form& w = someWindow();
            driver->doubleClick(w, button, somePoint(w));
            if (main().windowState() != tk::WindowState::Normal && upTo(1) == 0)
                main().setWindowState(
                    tk::WindowState::Normal); // a player restores it from the taskbar
            return;
        }
        case 8:
            driver->clickControl(main(), pick({"Reset", "Check1"}));
            return;
        case 9:
            if (app->noticeLoaded()) driver->clickControl(notice(), "cmdMain");
            return;
        case 10:
            driver->key(someWindow(),
                        pick({Key::Enter, Key::Space, Key::Escape, Key::Tab, Key::Left, Key::Right,
                              Key::Up, Key::Down, Key::Home, Key::End}),
                        upTo(7) & (tk::keys::Shift | tk::keys::Ctrl));
            return;
        case 11:
            clock.advance(upTo(2000));
            return;
        case 12:
            if (upTo(20) == 0) {
                screen = {pick({100, 188, 640, 1280, 3000}), pick({120, 240, 480, 1024, 2000})};
                plat.seams.screenSize = screen;
                main().screenChanged();
                replaced = true;
            }
            return;
        default:
            clickCell(upTo(8), button);
            return;
        }
    }

    // What must hold after every event, and where the window is after a release or a screen
    // change; returns the first broken rule, or "".
    std::string broken(bool placed) {
        if (!app->mainLoaded()) return "the main window went away";
        std::string b;
        for (int i = 0; i < 9; ++i) {
            const std::string& c = main().Toe(i).caption();
            if (c != "" && c != "X" && c != "O") return "cell " + std::to_string(i) + " reads " + c;
        }
        const std::string& turn = main().Turn().caption();
        if (turn != "X" && turn != "O") return "Turn reads '" + turn + "'";
        for (const rules::Line& line : rules::kLines) {
            if (!main().Line2(line.strike).visible()) continue;
            const std::string& a = main().Toe(line.cells[0]).caption();
            if (a.empty() || main().Toe(line.cells[1]).caption() != a ||
                main().Toe(line.cells[2]).caption() != a)
                return "line " + std::to_string(line.strike) + " crosses no three equal marks";
        }
        if (app->noticeLoaded() != (clock.running() == 1) || clock.running() > 1)
            return "the notice is loaded without its countdown, or the other way round";
        if (placed && main().windowState() == tk::WindowState::Normal) {
            if (main().top() < 0) return "the window's top is above the screen";
            const int sw = screen.width * tk::kTwipsPerPixel,
                      sh = screen.height * tk::kTwipsPerPixel;
            const int l = main().left(), t = main().top();
            if (main().width() <= sw && main().height() + 400 <= sh &&
                (l < 0 || t < 0 || l + main().width() > sw || t + main().height() > sh))
                return "the window lies outside the screen at " + std::to_string(l) + "," +
                       std::to_string(t);
        }
        return "";
    }

    tk::SizePx screen{1280, 1024};
    bool replaced = false; // the last event changed the screen
    std::mt19937 rng;
};

TEST_F(SoakTest, EveryEventKeepsTheGameWhole) {
    const long events = envOr("GRIDLARK_SOAK_EVENTS", 20000);
    const auto seed = static_cast<std::uint32_t>(
        envOr("GRIDLARK_SOAK_SEED", static_cast<long>(std::random_device{}() & 0x7fffffff)));
    rng.seed(seed);
    std::cout << "soak: seed " << seed << ", " << events << " events" << std::endl;

    const auto begin = std::chrono::steady_clock::now();
    for (long n = 1; n <= events; ++n) {
        // A release that reached the window's background asks for the version to snap.
        const auto snaps = windows.sizesSeen.size();
        replaced = false;
        step();
        const std::string rule = broken(windows.sizesSeen.size() > snaps || replaced);
        ASSERT_EQ(rule, "") << "event " << n << " of seed " << seed
                            << " (replay: GRIDLARK_SOAK_SEED=" << seed
                            << " GRIDLARK_SOAK_EVENTS=" << n << ")";
        if (prompts.size() > 1000) prompts.clear();
        if (windows.sizesSeen.size() > 100000) windows.sizesSeen.clear();
        if (windows.shellCalls.size() > 1000) windows.shellCalls.clear();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    std::cout << "soak: " << events << " events in " << seconds << " s, "
              << static_cast<long>(events / seconds) << " events per second" << std::endl;
}

} // namespace
} // namespace gridlark::testing
