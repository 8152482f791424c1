// The Windows version query and its names.
#include "tests/support/Fixture.hpp"

namespace gridlark::testing {
namespace {

class VersionTest : public AppTest {
protected:
    WindowsVersion ask(std::uint32_t major, std::uint32_t minor, std::uint32_t platformId) {
        windows.versionAnswers = true;
        windows.major = major;
        windows.minor = minor;
        windows.platformId = platformId;
        return app->GetWindowsVersion();
    }
};

TEST_F(VersionTest, NamesEachRowOfTheTable) {
    struct Row {
        std::uint32_t major, minor, platformId;
        const char* name;
    };
    for (const Row& r :
         {Row{3, 51, 2, "Windows NT 3.x"}, Row{3, 10, 1, "Windows 3.x"},
          Row{4, 0, 2, "Windows NT 4.0"}, Row{4, 0, 1, "Windows 95"}, Row{4, 10, 1, "Windows 98"},
          Row{4, 90, 1, "Windows 98"}, Row{5, 0, 2, "Windows 2000"}, Row{5, 1, 2, "Windows XP"},
          Row{5, 1, 1, "Windows XP"}, Row{6, 0, 2, "Windows Vista"}, Row{6, 1, 2, "Windows 7"},
          Row{10, 0, 2, "Unknown Windows Version"}, Row{2, 0, 2, "Unknown Windows Version"}}) {
        auto fresh = std::make_unique<Gridlark>(plat);
        windows.versionAnswers = true;
        windows.major = r.major;
        windows.minor = r.minor;
        windows.platformId = r.platformId;
        EXPECT_EQ(fresh->GetWindowsVersion().Name, r.name) << r.major << "." << r.minor;
    }
}

TEST_F(VersionTest, VersionTextIsMajorMinorPlatform) {
    EXPECT_EQ(ask(6, 1, 2).VersionText, "6.1.2");
    EXPECT_EQ(ask(10, 0, 2).VersionText, "10.0.2");
    EXPECT_EQ(ask(6, 2, 2).VersionText, "6.2.2");
}

TEST_F(VersionTest, LaterMinorsOf5And6SetNoNameAndKeepTheLastOne) {
    EXPECT_EQ(ask(6, 3, 2).Name, "");
    EXPECT_EQ(ask(5, 2, 2).Name, "");
    EXPECT_EQ(ask(5, 1, 2).Name, "Windows XP");
    EXPECT_EQ(ask(6, 2, 2).Name, "Windows XP");
}

TEST_F(VersionTest, AFailingFirstCallGivesUnknownAndZeros) {
    const WindowsVersion v = app->GetWindowsVersion();
    EXPECT_EQ(v.Name, "Unknown Windows Version");
    EXPECT_EQ(v.VersionText, "0.0.0");
    // A later failure keeps what the record held.
    ask(6, 1, 2);
    windows.versionAnswers = false;
    EXPECT_EQ(app->GetWindowsVersion().VersionText, "6.1.2");
}

TEST_F(VersionTest, TheStandInFailsLikeTheRealCallCan) {
    plat.seams.windowsApi = nullptr;
#ifndef _WIN32
    const WindowsVersion v = app->GetWindowsVersion();
    EXPECT_EQ(v.Name, "Unknown Windows Version");
    EXPECT_EQ(v.VersionText, "0.0.0");
#else
    EXPECT_NE(app->GetWindowsVersion().VersionText, "0.0.0");
#endif
}

} // namespace
} // namespace gridlark::testing
