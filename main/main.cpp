#include "main/Gridlark.hpp"
#include "platform/CommandLine.hpp"

#include <cstdio>

int main(int argc, char** argv) {
    // Before the toolkit: --help and --version need no display.
    const tk::ProgramInfo info{"gridlark", "Gridlark", GRIDLARK_VERSION,
                               "Noughts and crosses for two players or against the computer."};
    if (const auto code = tk::handleCommandLine(argc, argv, info, stdout, stderr)) return *code;
    return tk::run(argc, argv, info.title, [](tk::Platform& platform) {
        gridlark::Gridlark app(platform);
        app.start();
        return platform.exec();
    });
}
