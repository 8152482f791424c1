// The main window: its layout as painted, start-up, the quit prompt and the end.
#include "tests/support/Fixture.hpp"

#include <algorithm>
#include <cmath>

namespace gridlark::testing {
namespace {

using tk::Rgb;

constexpr Rgb kRed{192, 0, 0};
constexpr Rgb kButtonColour{103, 113, 113};
constexpr char kPrompt[] = "Are you sure you want to Quit the game?";
constexpr char kPromptWithProgress[] = "Are you sure you want to Quit the game?\r\n"
                                       "All Game progress will get lost if you proceed!";

using MainWindowTest = AppTest;

TEST_F(MainWindowTest, StartsFramelessWithAFreshBoardAndItsColours) {
    EXPECT_EQ(windows.initCalls, 0);
    (void)main(); // created, not loaded yet
    EXPECT_EQ(windows.initCalls, 1);
    EXPECT_FALSE(main().loaded());
    start();
    EXPECT_EQ(windows.initCalls, 1);
    EXPECT_TRUE(main().visible());
    EXPECT_EQ(driver->clientSize(main()), (tk::SizePx{188, 240}));
    EXPECT_FALSE(driver->framed(main()));
    EXPECT_TRUE(driver->inTaskbar(main()));
    EXPECT_EQ(board(), ".........");
    EXPECT_TRUE(visibleLines().empty());
    EXPECT_EQ(main().Turn().caption(), "X");
    EXPECT_EQ(main().Check1().value(), 0);
    EXPECT_EQ(main().Reset().backColour(), tk::rgb(103, 113, 113));
    EXPECT_EQ(main().Check1().backColour(), tk::rgb(103, 113, 113));
    EXPECT_EQ(driver->controlBackground(main(), "Check1"), kButtonColour);
}

TEST_F(MainWindowTest, ControlsStandWhereTheLayoutPutsThem) {
    start();
    for (int i = 0; i < 9; ++i) {
        const tk::Label& cell = main().Toe(i);
        constexpr int columns[] = {246, 1108, 1971};
        constexpr int rows[] = {240, 1080, 1920};
        EXPECT_EQ(cell.left(), columns[i % 3]) << i;
        EXPECT_EQ(cell.top(), rows[i / 3]) << i;
        EXPECT_EQ(cell.width(), i == 0 ? 616 : 615);
        EXPECT_EQ(cell.height(), 600);
        EXPECT_EQ(cell.font().name, "Verdana");
        EXPECT_EQ(cell.alignment(), tk::Align::Center);
    }
    // Each line's stroke crosses its own three cells, within 4 pixels of their centres.
    for (const rules::Line& l : rules::kLines) {
        const tk::Line& line = main().Line2(l.strike);
        const double dx = line.x2() - line.x1(), dy = line.y2() - line.y1();
        const double length = std::hypot(dx, dy);
        for (int c : l.cells) {
            const tk::Label& cell = main().Toe(c);
            const double cx = cell.left() + cell.width() / 2.0 - line.x1();
            const double cy = cell.top() + cell.height() / 2.0 - line.y1();
            const double along = (dx * cx + dy * cy) / (length * length);
            EXPECT_LT(std::abs(dx * cy - dy * cx) / length, 4 * tk::kTwipsPerPixel)
                << l.name << ", cell " << c;
            EXPECT_TRUE(along > 0 && along < 1) << l.name << ", cell " << c;
        }
        EXPECT_EQ(line.borderWidth(), 5);
        EXPECT_EQ(line.colour(), tk::rgb(192, 0, 0));
    }
    // Stored order is painting order: marks, frame, link, rule, lines 7..0, the turn.
    std::vector<std::string> order;
    for (const auto& c : main().controls())
        order.push_back(c->name() + (c->index() >= 0 ? std::to_string(c->index()) : ""));
    EXPECT_EQ(order, (std::vector<std::string>{"Check1", "Reset",  "Toe6",    "Toe2",   "Toe8",
                                               "Toe5",   "Toe4",   "Toe3",    "Toe7",   "Toe1",
                                               "Toe0",   "Shape1", "Label1",  "Line1",  "Line27",
                                               "Line26", "Line25", "Line24",  "Line23", "Line22",
                                               "Line21", "Line20", "Label13", "Turn"}));
    // Self-sizing labels keep their corner; "O" is wider than "X" and Label13 stays put.
    const int xWidth = main().Turn().width();
    main().Turn().setCaption("O");
    EXPECT_GT(main().Turn().width(), xWidth);
    EXPECT_EQ(main().Turn().left(), 195);
    EXPECT_EQ(main().Label13().left(), 360);
    EXPECT_EQ(main().Label1().caption(), "More at Fernwick");
    EXPECT_TRUE(main().Label1().font().underline);
}

TEST_F(MainWindowTest, PaintsThePictureTheFrameAndStrikeThroughLinesOverTheMarks) {
    start();
    const auto plain = driver->grabAt(main(), 1);
    ASSERT_EQ(plain.width, 188);
    ASSERT_EQ(plain.height, 240);
    EXPECT_LT(plain.at(65, 100).r + plain.at(65, 100).g, 20); // a grid stroke of the picture
    const Rgb frame = plat.resolve(tk::sys::AppWorkspace);    // the scheme's, wherever it runs
    EXPECT_EQ(plain.at(1, 100), frame);                       // Shape1, just inside the left edge
    EXPECT_EQ(plain.at(186, 100), frame);
    EXPECT_EQ(plain.at(100, 184), (Rgb{0, 0, 0}));     // Line1
    EXPECT_EQ(plain.at(185, 184), plain.at(185, 190)); // ends 60 twips short of the edge
    EXPECT_NE(plain.at(100, 38), kRed);

    // A mark is white over the picture; a visible line lies over the marks it crosses.
    setBoard("XXX......");
    const auto marked = driver->grabAt(main(), 1);
    const auto whiteIn = [](const tk::testing::Image& img, int x0, int y0) {
        int n = 0;
        for (int y = y0; y < y0 + 40; ++y)
            for (int x = x0; x < x0 + 41; ++x)
                if (img.at(x, y) == Rgb{255, 255, 255}) ++n;
        return n;
    };
    EXPECT_GT(whiteIn(marked, 17, 16), 40);
    EXPECT_EQ(whiteIn(plain, 17, 16), 0);
    main().Line2(0).setVisible(true);
    const auto struck = driver->grabAt(main(), 1);
    int red = 0;
    for (int x = 17; x < 58; ++x)
        red += struck.at(x, 38) == kRed;
    EXPECT_EQ(red, 41);
    for (int y = 36; y <= 40; ++y)
        EXPECT_EQ(struck.at(100, y), kRed) << y; // 5 pixels wide
}

TEST_F(MainWindowTest, QuitPromptOnAnEmptyBoardAndNoChangesNothing) {
    start();
    driver->click(main(), tk::mouse::Right, {100, 178});
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].text, kPrompt);
    EXPECT_EQ(prompts[0].icon, tk::msgbox::Icon::Information);
    EXPECT_EQ(prompts[0].answers, (std::vector{tk::msgbox::Answer::Yes, tk::msgbox::Answer::No}));
    EXPECT_EQ(prompts[0].title, "Attention");
    EXPECT_TRUE(main().loaded());
    EXPECT_FALSE(quitAsked());
    EXPECT_EQ(main().Turn().caption(), "X");
}

TEST_F(MainWindowTest, QuitPromptWarnsOfProgressOnceAnyCellIsMarked) {
    start();
    for (int cell : {8, 0}) {
        setBoard(".........");
        main().Toe(cell).setCaption("O");
        driver->click(main(), tk::mouse::Right, {5, 5});
        ASSERT_FALSE(prompts.empty());
        EXPECT_EQ(prompts.back().text, kPromptWithProgress) << cell;
    }
    setBoard("XOXOXOOXO"); // a full board too
    driver->click(main(), tk::mouse::Right, {5, 5});
    EXPECT_EQ(prompts.back().text, kPromptWithProgress);
    EXPECT_EQ(board(), "XOXOXOOXO");
}

TEST_F(MainWindowTest, YesClosesTheWindowAndEndsTheProgram) {
    start();
    answer = tk::msgbox::Answer::Yes;
    driver->press(main(), tk::mouse::Right, 0, {100, 178});
    EXPECT_FALSE(main().loaded());
    EXPECT_TRUE(quitAsked()); // ended before the loop: it returns at once, with 0
}

TEST_F(MainWindowTest, OnlyTheRightButtonOnTheBackgroundPrompts) {
    start();
    driver->click(main(), tk::mouse::Middle, {100, 178});
    clickCell(4, tk::mouse::Right);
    clickCell(0, tk::mouse::Right);
    for (auto* name : {"Label1", "Label13", "Turn"}) {
        const tk::Label& l = main().label(name);
        driver->click(main(), tk::mouse::Right,
                      {(l.left() + 30) / tk::kTwipsPerPixel, (l.top() + 30) / tk::kTwipsPerPixel});
    }
    // Over a strike-through line the press still reaches the cell under it.
    main().Line2(4).setVisible(true);
    clickCell(4, tk::mouse::Right);
    EXPECT_TRUE(prompts.empty());
    EXPECT_TRUE(main().loaded());
}

} // namespace
} // namespace gridlark::testing
