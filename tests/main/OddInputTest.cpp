// Input a player seldom sends, each with a defined outcome.
#include "tests/support/Fixture.hpp"

#include <cstdlib>

namespace gridlark::testing {
namespace {

class OddInputTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        plat.seams.screenSize = tk::SizePx{1280, 1024};
        start();
        main().setLeft(600 * tk::kTwipsPerPixel);
        main().setTop(400 * tk::kTwipsPerPixel);
    }
    tk::PointPx at() {
        return {main().left() / tk::kTwipsPerPixel, main().top() / tk::kTwipsPerPixel};
    }
};

TEST_F(OddInputTest, AReleaseWithoutAPressStillSnaps) {
    main().setLeft(20 * tk::kTwipsPerPixel);
    main().mouseUp(tk::MouseButton::Left, 0, 100, 178); // as a backend delivers it
    EXPECT_EQ(at().x, 0);
    EXPECT_FALSE(main().IsDragging);
    driver->release(main(), tk::mouse::Middle, 0, {100, 178}); // the window system may drop it
    EXPECT_EQ(board(), ".........");
}

TEST_F(OddInputTest, ADoubleClickDuringADragMinimisesAndTheReleaseEndsTheDrag) {
    driver->press(main(), tk::mouse::Left, 0, {100, 178});
    driver->move(main(), tk::mouse::Left, {80, 178});
    EXPECT_EQ(at(), (tk::PointPx{580, 400}));
    driver->doubleClick(main(), tk::mouse::Left, {80, 178});
    EXPECT_EQ(main().windowState(), tk::WindowState::Minimized);
    EXPECT_FALSE(main().IsDragging);
    main().setWindowState(tk::WindowState::Normal);
    EXPECT_EQ(at(), (tk::PointPx{580, 400}));
}

TEST_F(OddInputTest, OtherButtonsAndEveryModifierMaskChangeNothing) {
    const tk::PointPx places[] = {cellCentre(0), cellCentre(8), {100, 178}, {140, 196}};
    for (int button : {tk::mouse::Middle, 8, 16})
        for (int shift = 0; shift < 8; ++shift)
            for (tk::PointPx p : places) {
                driver->press(main(), button, shift, p);
                driver->move(main(), button, {p.x + 30, p.y + 10});
                driver->release(main(), button, shift, {p.x + 30, p.y + 10});
            }
    EXPECT_EQ(board(), ".........");
    EXPECT_EQ(at(), (tk::PointPx{600, 400}));
    EXPECT_TRUE(prompts.empty());
    EXPECT_TRUE(windows.shellCalls.empty());
    for (int shift = 0; shift < 8; ++shift) {
        setBoard(".........");
        driver->click(main(), tk::mouse::Left, cellCentre(4), shift);
        EXPECT_EQ(board(), "....X....") << shift;
        main().Turn().setCaption("X");
    }
}

// The bottom rule would give -2500 twips; the top stays on the screen, the board in reach.
TEST_F(OddInputTest, OnAScreenSmallerThanTheWindowItHangsOffTheLeftNotTheTop) {
    plat.seams.screenSize = tk::SizePx{100, 100}; // 1500 twips
    driver->click(main(), tk::mouse::Left, {100, 178});
    EXPECT_EQ(main().left(), 1500 - 2820);
    EXPECT_EQ(main().top(), 0);
    clickCell(4);
    EXPECT_EQ(board(), "....X....");
}

#ifndef _WIN32 // there the stand-in is the real shell, which would start a browser
TEST_F(OddInputTest, ALinkPressWithNoBrowserToStartDoesNothingVisible) {
    plat.seams.windowsApi = nullptr; // the stand-in, to the desktop's opener
    const char* path = std::getenv("PATH");
    const std::string saved = path ? path : "";
    setenv("PATH", "/nonexistent", 1);
    unsetenv("BROWSER");
    unsetenv("DEFAULT_BROWSER");
    driver->click(main(), tk::mouse::Left, {140, 196});
    settle();
    setenv("PATH", saved.c_str(), 1);
    EXPECT_TRUE(main().loaded());
    EXPECT_TRUE(prompts.empty());
    EXPECT_FALSE(app->noticeLoaded());
    clickCell(4);
    EXPECT_EQ(board(), "....X....");
}
#endif

} // namespace
} // namespace gridlark::testing

namespace gridlark::testing {
namespace {

// Run with two virtual screens (see tests/CMakeLists.txt). The screen is the primary one, so a
// window released on the second screen comes back flush with the primary's right edge.
TEST_F(OddInputTest, WithTwoScreensTheWindowSnapsToThePrimaryOne) {
    if (!std::getenv("GRIDLARK_TWO_SCREENS")) GTEST_SKIP() << "one screen";
    plat.seams.screenSize.reset();
    EXPECT_EQ(plat.screenSize(), (tk::SizePx{1280, 1024}));
    main().setLeft(1500 * tk::kTwipsPerPixel);
    main().setTop(100 * tk::kTwipsPerPixel);
    driver->click(main(), tk::mouse::Left, {100, 178});
    EXPECT_EQ(at(), (tk::PointPx{1092, 100}));
}

} // namespace
} // namespace gridlark::testing
