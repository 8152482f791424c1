#include "tests/support/Fixture.hpp"
#include "tests/support/Wrapped.hpp"

#include <cstdlib>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
tk::Platform* thePlatform = nullptr;
tk::testing::WrappedBackend* theBackend = nullptr;
} // namespace

tk::Platform& gridlark::testing::platform() {
    return *thePlatform;
}

tk::testing::WrappedBackend& gridlark::testing::backend() {
    return *theBackend;
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
    return tk::runBackend(argc, argv, "Gridlark", [](tk::Backend& real) {
        tk::testing::WrappedBackend wrapped(real);
        tk::Platform p(wrapped);
        theBackend = &wrapped;
        thePlatform = &p;
        return RUN_ALL_TESTS();
    });
}
