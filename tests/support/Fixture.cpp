#include "tests/support/Fixture.hpp"

namespace gridlark::testing {

std::optional<int> exitCode() {
    const int code = platform().exec();
    if (code == tk::testing::WrappedBackend::kNoExit) return std::nullopt;
    return code;
}

void AppTest::SetUp() {
    plat.seams = {};
    plat.seams.clock = &clock;
    plat.seams.random = &random;
    plat.seams.windowsApi = &windows;
    plat.seams.messageBox = [this](const tk::msgbox::Request& box) {
        prompts.push_back(
            {std::string(box.prompt), box.style.icon, box.answers, std::string(box.title)});
        return answer;
    };
    exitCode(); // a quit left by an earlier test is not this one's
    driver = tk::testing::makeDriver(plat);
    app = std::make_unique<Gridlark>(plat);
}

void AppTest::TearDown() {
    app.reset();
    settle();
    plat.seams = {};
}

void AppTest::start() {
    random.values.push_back(0.25f); // X starts unless a test says otherwise
    app->start();
    settle();
}

tk::PointPx AppTest::cellCentre(int i) {
    const tk::Label& cell = main().Toe(i);
    return {(cell.left() + cell.width() / 2) / tk::kTwipsPerPixel,
            (cell.top() + cell.height() / 2) / tk::kTwipsPerPixel};
}

void AppTest::clickCell(int i, int button) {
    driver->click(main(), button, cellCentre(i));
}

std::string AppTest::board() {
    std::string b;
    for (int i = 0; i < 9; ++i) {
        const std::string& c = main().Toe(i).caption();
        b += c.empty() ? '.' : c.size() == 1 ? c[0] : '?';
    }
    return b;
}

void AppTest::setBoard(std::string_view cells) {
    for (int i = 0; i < 9; ++i)
        main().Toe(i).setCaption(cells[static_cast<std::size_t>(i)] == '.'
                                     ? std::string()
                                     : std::string(1, cells[static_cast<std::size_t>(i)]));
}

std::vector<int> AppTest::visibleLines() {
    std::vector<int> v;
    for (int k = 0; k < 8; ++k)
        if (main().Line2(k).visible()) v.push_back(k);
    return v;
}

} // namespace gridlark::testing
