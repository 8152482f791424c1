// On a dense screen the window keeps its logical size and paints everything at device pixels.
#include "tests/support/Fixture.hpp"

#include <cstdlib>

namespace gridlark::testing {
namespace {

using tk::Rgb;
using tk::testing::Image;

class HiDpiTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        start();
        setBoard("X........");
        main().Line2(6).setVisible(true); // a diagonal: edges at every angle
    }
    static int diff(Rgb a, Rgb b) {
        return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
    }
    // Share of a box's pixels that are neither the board's grey nor a mark's white: the blur
    // at the edges of glyphs and lines, which shrinks as the pixels get finer.
    static double edgeShare(const Image& img, int x0, int y0, int w, int h, int scale) {
        const Rgb board = img.at(x0 * scale + 1, y0 * scale + 1);
        int edge = 0;
        for (int y = y0 * scale; y < (y0 + h) * scale; ++y)
            for (int x = x0 * scale; x < (x0 + w) * scale; ++x) {
                const Rgb p = img.at(x, y);
                if (diff(p, board) > 24 && diff(p, {255, 255, 255}) > 24 &&
                    diff(p, {192, 0, 0}) > 24)
                    ++edge;
            }
        return double(edge) / (w * h * scale * scale);
    }
};

TEST_F(HiDpiTest, TwiceTheDevicePixelsSameLayoutSharperEdges) {
    const Image lo = driver->grabAt(main(), 1);
    const Image hi = driver->grabAt(main(), 2);
    ASSERT_EQ(lo.width, 188);
    ASSERT_EQ(lo.height, 240);
    ASSERT_EQ(hi.width, 376);
    ASSERT_EQ(hi.height, 480);

    // Same layout: the fine picture, averaged back down, is the coarse one.
    long total = 0;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 188; ++x) {
            int r = 0, g = 0, b = 0;
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx) {
                    const Rgb p = hi.at(2 * x + dx, 2 * y + dy);
                    r += p.r;
                    g += p.g;
                    b += p.b;
                }
            total += diff(Rgb{std::uint8_t(r / 4), std::uint8_t(g / 4), std::uint8_t(b / 4)},
                          lo.at(x, y));
        }
    EXPECT_LT(double(total) / (188 * 240), 12.0);

    // The strike-through lines keep their 5 logical pixels: 10 device rows.
    main().Line2(6).setVisible(false);
    main().Line2(1).setVisible(true);
    const Image struck = driver->grabAt(main(), 2);
    int rows = 0;
    for (int y = 170; y < 210; ++y)
        rows += struck.at(2 * 100, y) == Rgb{192, 0, 0};
    EXPECT_EQ(rows, 10);

    if (!driver->realWindowSystem()) GTEST_SKIP() << "no soft edges to compare";
    // Sharper: less of cell 0 (a mark and a diagonal) is edge blur at twice the pixels.
    const double coarse = edgeShare(lo, 17, 16, 40, 40, 1);
    const double fine = edgeShare(hi, 17, 16, 40, 40, 2);
    EXPECT_GT(coarse, 0.0);
    EXPECT_LT(fine, 0.7 * coarse) << coarse << " vs " << fine;
}

// Run with a screen of ratio 2 (see tests/CMakeLists.txt): the window is still 188 x 240.
TEST_F(HiDpiTest, OnADenseScreenTheWindowKeepsItsLogicalSize) {
    const Image shown = driver->grab(main());
    if (shown.width == 188) GTEST_SKIP() << "the screen's ratio is 1";
    EXPECT_EQ(driver->clientSize(main()), (tk::SizePx{188, 240}));
    EXPECT_EQ(shown.width, 376);
    EXPECT_EQ(shown.height, 480);
    const Image hi = driver->grabAt(main(), 2);
    long total = 0;
    for (std::size_t i = 0; i < hi.pixels.size(); ++i)
        total += diff(hi.pixels[i], shown.pixels[i]);
    EXPECT_LT(double(total) / double(hi.pixels.size()), 1.0);
}

} // namespace
} // namespace gridlark::testing
