#include "main/Gridlark.hpp"

int main(int argc, char** argv) {
    return tk::run(argc, argv, [](tk::Platform& platform) {
        gridlark::Gridlark app(platform);
        app.start();
        return platform.exec();
    });
}
