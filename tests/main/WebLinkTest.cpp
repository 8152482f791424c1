// "More at Fernwick" opens the maker's page on a left press.
#include "tests/support/Fixture.hpp"

namespace gridlark::testing {
namespace {

class WebLinkTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        start();
    }
    tk::PointPx link() {
        const tk::Label& l = main().Label1();
        return {(l.left() + 60) / tk::kTwipsPerPixel, (l.top() + 60) / tk::kTwipsPerPixel};
    }
};

TEST_F(WebLinkTest, ALeftPressOpensThePageAtOnceAndEveryTime) {
    driver->press(main(), tk::mouse::Left, 0, link());
    ASSERT_EQ(windows.shellCalls.size(), 1u); // on the press, before any release
    const auto& call = windows.shellCalls[0];
    EXPECT_EQ(call.operation, "open");
    EXPECT_EQ(call.file, "https://www.fernwick.example");
    EXPECT_TRUE(call.noParameters);
    EXPECT_TRUE(call.noDirectory);
    EXPECT_EQ(call.show, 1);
    driver->release(main(), tk::mouse::Left, 0, link());
    driver->click(main(), tk::mouse::Left, link(), tk::keys::Ctrl);
    EXPECT_EQ(windows.shellCalls.size(), 2u);
    EXPECT_EQ(main().left(), 0); // a press on the link starts no drag and no snap
}

TEST_F(WebLinkTest, OtherButtonsDoNothingAndNeverPrompt) {
    driver->click(main(), tk::mouse::Right, link());
    driver->click(main(), tk::mouse::Middle, link());
    EXPECT_TRUE(windows.shellCalls.empty());
    EXPECT_TRUE(prompts.empty());
}

} // namespace
} // namespace gridlark::testing
