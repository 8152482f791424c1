#include "tests/support/Fixture.hpp"

#include <cstdlib>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
tk::Platform* thePlatform = nullptr;
}

tk::Platform& gridlark::testing::platform() {
    return *thePlatform;
}

int main(int argc, char** argv) {
#ifndef _WIN32
    // Real windows, without a display.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        const std::string dir = "/tmp/gridlark-tests-" + std::to_string(getuid());
        mkdir(dir.c_str(), 0700);
        setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    }
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return tk::run(argc, argv, "Gridlark", [](tk::Platform& p) {
        thePlatform = &p;
        return RUN_ALL_TESTS();
    });
}
