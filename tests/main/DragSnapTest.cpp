// Dragging the frameless window, snapping it to the screen's edges, and the minimise toggle.
#include "tests/support/Fixture.hpp"

namespace gridlark::testing {
namespace {

using tk::testing::Key;

class DragSnapTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        plat.seams.screenSize = tk::SizePx{1280, 1024}; // 19200 x 15360 twips
        start();
        placeAt(600, 400);
    }
    void placeAt(int x, int y) {
        main().setLeft(x * tk::kTwipsPerPixel);
        main().setTop(y * tk::kTwipsPerPixel);
    }
    tk::PointPx at() {
        return {main().left() / tk::kTwipsPerPixel, main().top() / tk::kTwipsPerPixel};
    }
    // A press and release on the background, which does not move the window.
    void releaseAt(int x, int y) {
        placeAt(x, y);
        driver->click(main(), tk::mouse::Left, {100, 178});
    }
    void windows7() {
        windows.versionAnswers = true;
        windows.major = 6;
        windows.minor = 1;
        windows.platformId = 2;
    }
};

TEST_F(DragSnapTest, TheGrabbedPointStaysUnderTheCursor) {
    driver->press(main(), tk::mouse::Left, 0, {100, 178});
    EXPECT_TRUE(main().IsDragging);
    driver->move(main(), tk::mouse::Left, {130, 158}); // 30 right, 20 up
    EXPECT_EQ(at(), (tk::PointPx{630, 380}));
    // The window moved: the cursor is back at the grabbed point in window coordinates.
    driver->move(main(), tk::mouse::Left, {90, 188});
    EXPECT_EQ(at(), (tk::PointPx{620, 390}));
    driver->release(main(), tk::mouse::Left, 0, {100, 178});
    EXPECT_FALSE(main().IsDragging);
    EXPECT_EQ(at(), (tk::PointPx{620, 390}));
}

TEST_F(DragSnapTest, NoMoveWithoutAPressOnTheBackground) {
    driver->move(main(), tk::mouse::Left, {130, 158});
    EXPECT_EQ(at(), (tk::PointPx{600, 400}));
    // A press on a cell is the cell's: it starts no drag.
    driver->press(main(), tk::mouse::Left, 0, cellCentre(4));
    driver->move(main(), tk::mouse::Left, {130, 158});
    EXPECT_EQ(at(), (tk::PointPx{600, 400}));
    EXPECT_FALSE(main().IsDragging);
    driver->release(main(), tk::mouse::Left, 0, cellCentre(4));
}

TEST_F(DragSnapTest, ThePressPositionIsRoundedHalfToEven) {
    main().Form_MouseDown(tk::mouse::Left, 0, 0.5f, 0.5f); // 7.7 and 7.5 twips
    EXPECT_EQ(main().DragStartX, 8);
    EXPECT_EQ(main().DragStartY, 8);
    main().Form_MouseDown(tk::mouse::Left, 0, 0.0f, 1.5f); // 22.5 twips
    EXPECT_EQ(main().DragStartY, 22);
    main().Form_MouseDown(tk::mouse::Left, 0, 183.0f, 240.0f);
    EXPECT_EQ(main().DragStartX, 2820);
    EXPECT_EQ(main().DragStartY, 3600);
}

TEST_F(DragSnapTest, LeftAndTopEdgesSnapWithin400Twips) {
    releaseAt(26, 26); // 390 twips
    EXPECT_EQ(at(), (tk::PointPx{0, 0}));
    releaseAt(27, 27); // 405 twips
    EXPECT_EQ(at(), (tk::PointPx{27, 27}));
    releaseAt(-50, -30); // partly off the screen
    EXPECT_EQ(at(), (tk::PointPx{0, 0}));
}

TEST_F(DragSnapTest, RightEdgeSnapsWithin400TwipsOrBeyond) {
    releaseAt(1066, 100); // 15990: the limit is 19200 - 400 - 2820 = 15980
    EXPECT_EQ(at().x, 1092);
    releaseAt(1065, 100);
    EXPECT_EQ(at().x, 1065);
    releaseAt(1200, 100);
    EXPECT_EQ(at().x, 1092);
}

TEST_F(DragSnapTest, BottomKeeps400TwipsFreeUnlessTheNameHasASeven) {
    releaseAt(600, 731); // 10965 >= 15360 - 800 - 3600
    EXPECT_EQ(at().y, 757);
    releaseAt(600, 730);
    EXPECT_EQ(at().y, 730);

    // A version with no name set (6.2) takes the same rule.
    windows.versionAnswers = true;
    windows.major = 6;
    windows.minor = 2;
    releaseAt(600, 731);
    EXPECT_EQ(at().y, 757);
}

TEST_F(DragSnapTest, OnWindows7TheBottomKeeps600TwipsFree) {
    windows7();
    releaseAt(600, 718); // 10770 >= 15360 - 1000 - 3600
    EXPECT_EQ(at().y, 744);
    releaseAt(600, 717);
    EXPECT_EQ(at().y, 717);
    releaseAt(600, 2000);
    EXPECT_EQ(at().y, 744);
}

TEST_F(DragSnapTest, EveryReleaseAsksForTheVersionAnew) {
    const auto before = windows.sizesSeen.size();
    releaseAt(600, 400);
    driver->click(main(), tk::mouse::Right, {100, 178}); // any button; this one prompts too
    EXPECT_EQ(windows.sizesSeen.size(), before + 2);
    for (auto size : windows.sizesSeen)
        EXPECT_EQ(size, 148u);
}

TEST_F(DragSnapTest, AWindowAsWideAsTheScreenEndsFlushRight) {
    plat.seams.screenSize = tk::SizePx{200, 1024};
    releaseAt(0, 400);
    EXPECT_EQ(at().x, 12); // 3000 - 2820 twips
}

// The bottom rule would give 3900 - 400 - 3600 = -100 twips, leaving the top rows out of reach.
TEST_F(DragSnapTest, OnAVeryLowScreenTheBottomRuleWinsButTheTopStaysOnTheScreen) {
    plat.seams.screenSize = tk::SizePx{1280, 260}; // 3900 twips
    releaseAt(600, 10);
    EXPECT_EQ(at().y, 0);
    windows7();
    releaseAt(600, 10);
    EXPECT_EQ(at().y, 0);
}

// A laptop leaving its dock, a projector: the window at the right and bottom edges stays at
// them; any window comes wholly back inside; a window larger than the screen goes to its corner.
TEST_F(DragSnapTest, AScreenChangeBringsTheWindowBackKeepingItsEdges) {
    releaseAt(1200, 900);
    ASSERT_EQ(at(), (tk::PointPx{1092, 757})); // 27 pixels of taskbar strip below
    plat.seams.screenSize = tk::SizePx{800, 600};
    main().screenChanged();
    EXPECT_EQ(at(), (tk::PointPx{612, 333}));
    plat.seams.screenSize = tk::SizePx{1280, 1024};
    main().screenChanged();
    EXPECT_EQ(at(), (tk::PointPx{1092, 757}));

    placeAt(500, 300);
    plat.seams.screenSize = tk::SizePx{640, 480};
    main().screenChanged();
    EXPECT_EQ(at(), (tk::PointPx{452, 240}));
    plat.seams.screenSize = tk::SizePx{100, 100};
    main().screenChanged();
    EXPECT_EQ(at(), (tk::PointPx{0, 0}));
}

TEST_F(DragSnapTest, DoubleClickMinimisesAndRestores) {
    driver->doubleClick(main(), tk::mouse::Left, {100, 178});
    EXPECT_EQ(main().windowState(), tk::WindowState::Minimized);
    driver->doubleClick(main(), tk::mouse::Left, {100, 178});
    EXPECT_EQ(main().windowState(), tk::WindowState::Normal);
    main().setWindowState(tk::WindowState::Maximized);
    settle(); // the state is the window system's once it reports it
    driver->doubleClick(main(), tk::mouse::Left, {100, 178});
    EXPECT_EQ(main().windowState(), tk::WindowState::Normal);
}

// The quit prompt, opened by a right press during a drag, takes the left release for itself.
TEST_F(DragSnapTest, APromptThatTakesTheMouseEndsTheDrag) {
    plat.seams.messageBox = nullptr;
    driver->press(main(), tk::mouse::Left, 0, {100, 178});
    driver->answerNextMessageBox(Key::Escape); // No
    driver->press(main(), tk::mouse::Right, 0, {100, 178});
    EXPECT_TRUE(main().loaded());
    EXPECT_FALSE(main().IsDragging);
    driver->move(main(), tk::mouse::Middle, {130, 158});
    EXPECT_EQ(at(), (tk::PointPx{600, 400}));
}

TEST_F(DragSnapTest, AWindowThatIsNotNormalIsNeitherDraggedNorSnapped) {
    placeAt(26, 26);
    main().setWindowState(tk::WindowState::Minimized);
    driver->release(main(), tk::mouse::Left, 0, {100, 178});
    main().setWindowState(tk::WindowState::Normal);
    EXPECT_EQ(at(), (tk::PointPx{26, 26}));

    main().setWindowState(tk::WindowState::Maximized);
    settle();
    const tk::PointPx maximised = at();
    driver->press(main(), tk::mouse::Left, 0, {100, 178});
    driver->move(main(), tk::mouse::Left, {130, 158});
    EXPECT_EQ(at(), maximised);
    driver->release(main(), tk::mouse::Left, 0, {130, 158});
    EXPECT_EQ(at(), maximised);
}

} // namespace
} // namespace gridlark::testing
