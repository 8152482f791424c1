// The keyboard and assistive technology: a game played with keys through the window system, and
// what the accessible tree and its changes tell a screen reader meanwhile.
#include "tests/support/Fixture.hpp"

#include <algorithm>

namespace gridlark::testing {
namespace {

using Key = tk::testing::Key;
using Node = tk::AccessibleNode;
using Change = tk::AccessibleChange;

const Node& node(const tk::AccessibleTree& tree, std::string_view name) {
    const auto it = std::find_if(tree.nodes.begin(), tree.nodes.end(),
                                 [name](const Node& n) { return n.name == name; });
    if (it == tree.nodes.end()) throw std::out_of_range("no node " + std::string(name));
    return *it;
}

std::string focused(tk::Form& form) {
    const tk::AccessibleTree tree = form.accessibleTree();
    const Node* n = tree.focused();
    return n ? n->name : "";
}

// What the windows would tell assistive technology, read here instead of by the window system,
// once per key as the backends do once per event.
std::vector<std::string> said(const tk::testing::WrappedBackend& backend) {
    std::vector<std::string> out;
    for (tk::testing::WrappedWindow* w : backend.windows())
        for (const Change& c : w->host.accessibleChanges())
            if (c.kind == Change::Kind::Announce || c.kind == Change::Kind::Alert)
                out.push_back(c.text);
    return out;
}

class AccessibilityTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        listening.keepAccessibleChanges = true;
        listened.seams = plat.seams;
        app = std::make_unique<Gridlark>(listened); // the driver still drives the real backend
    }
    void TearDown() override {
        app.reset();
        AppTest::TearDown();
    }
    std::vector<std::string> spoken() { return said(listening); }

    tk::testing::WrappedBackend listening{plat.backend()};
    tk::Platform listened{listening};
};

// Pixels of the indicator's black frame inside the cell, in the grab.
int indicatorPixels(const tk::testing::Image& img, const tk::Label& cell, int ratio) {
    const int left = (cell.left() / 15 + 1) * ratio, top = (cell.top() / 15 + 1) * ratio;
    int n = 0;
    for (int x = left; x < left + 30 * ratio; ++x)
        if (img.at(x, top + ratio / 2) == tk::Rgb{0, 0, 0}) ++n;
    return n;
}

TEST_F(AccessibilityTest, TabReachesTheBoardAndTheLinkAndBackInOrder) {
    start();
    EXPECT_EQ(focused(main()), "Reset");
    std::vector<std::string> order;
    for (int i = 0; i < 4; ++i) {
        driver->key(main(), Key::Tab);
        order.push_back(focused(main()));
    }
    EXPECT_EQ(order, (std::vector<std::string>{"CPU", "top left", "More at Fernwick", "Reset"}));
    EXPECT_EQ(driver->focusedControl(main()), "Reset");
    driver->key(main(), Key::Tab, tk::keys::Shift);
    EXPECT_EQ(focused(main()), "More at Fernwick");
    EXPECT_EQ(driver->focusedControl(main()), ""); // the window itself, for a painted control
    driver->key(main(), Key::Tab, tk::keys::Shift);
    EXPECT_EQ(focused(main()), "top left");
    driver->key(main(), Key::Tab, tk::keys::Shift);
    EXPECT_EQ(driver->focusedControl(main()), "Check1");

    // A click on a cell plays it and leaves the focus where it was.
    clickCell(4);
    EXPECT_EQ(board(), "....X....");
    EXPECT_EQ(focused(main()), "CPU");
}

TEST_F(AccessibilityTest, AGameWonWithTheKeysAloneIsHeardMoveByMove) {
    start();
    EXPECT_EQ(spoken(), std::vector<std::string>{});
    driver->key(main(), Key::Tab);
    driver->key(main(), Key::Tab);
    ASSERT_EQ(focused(main()), "top left");
    // The arrows stop at the edges; Home and End go along the row.
    for (Key k : {Key::Up, Key::Left, Key::Right, Key::Right, Key::Right, Key::Down, Key::Home})
        driver->key(main(), k);
    EXPECT_EQ(focused(main()), "middle left");
    driver->key(main(), Key::End, tk::keys::Ctrl);
    EXPECT_EQ(focused(main()), "bottom right");
    driver->key(main(), Key::Home, tk::keys::Ctrl);
    EXPECT_EQ(focused(main()), "top left");
    EXPECT_EQ(spoken(), std::vector<std::string>{}); // moving speaks through the focus alone

    // X top row, O middle row: Enter and Space play the current cell as a click does.
    const std::vector<std::pair<Key, Key>> moves{{Key::Enter, Key::Down},
                                                 {Key::Enter, Key::Up},
                                                 {Key::Right, Key::Space},
                                                 {Key::Down, Key::Enter},
                                                 {Key::Up, Key::Right}};
    for (const auto& [a, b] : moves) {
        driver->key(main(), a);
        driver->key(main(), b);
    }
    // Read at once, a text changed twice is told once, as it now reads.
    EXPECT_EQ(spoken(), (std::vector<std::string>{"X in top left", "O in middle left",
                                                  "X in top middle", "O in centre", "X's turn"}));
    driver->key(main(), Key::Enter);
    EXPECT_EQ(spoken(), (std::vector<std::string>{"X in top right", "O's turn",
                                                  "X wins!\nGame will now reset\n"
                                                  "Gridlark by Fernwick"}));
    EXPECT_EQ(board(), "XXXOO....");
    EXPECT_EQ(visibleLines(), std::vector<int>{0});
    ASSERT_TRUE(notice().visible());
    EXPECT_EQ(driver->focusedControl(notice()), "cmdMain");

    const auto tree = main().accessibleTree();
    EXPECT_EQ(node(tree, "top right").value, "X");
    EXPECT_EQ(node(tree, "centre").value, "O");
    EXPECT_EQ(node(tree, "bottom left").value, "empty");
    const Node& grid = node(tree, "Board");
    EXPECT_EQ(grid.role, Node::Role::Grid);
    EXPECT_EQ(grid.children.size(), 9u);
    EXPECT_EQ(grid.description, "top row struck through, X wins!");
    EXPECT_EQ(notice().accessibleTree().nodes[0].role, Node::Role::Alert);
    EXPECT_EQ(notice().accessibleTree().nodes[0].name,
              "X wins!\nGame will now reset\nGridlark by Fernwick");

    // The result stays on the board after the reset, until the next move.
    clock.advance(1500);
    settle();
    EXPECT_EQ(board(), ".........");
    EXPECT_EQ(node(main().accessibleTree(), "Board").description, "X wins!");
    EXPECT_EQ(focused(main()), "top right");
    main().Check1().setValue(1);
    // No result here: the lines read as they are painted.
    EXPECT_EQ(notice().accessibleTree().nodes[0].name,
              "AI enabled.\nGame will now reset\nGridlark by Fernwick");
    clock.advance(1500);
    settle();
    random.values = {0.0f}; // the computer's answer: top left
    (void)spoken();
    driver->key(main(), Key::Enter);
    EXPECT_EQ(board(), "O.X......");
    EXPECT_EQ(node(main().accessibleTree(), "Board").description, ""); // a move ends it
    // One event, one reading: the turn is told once, as it now reads.
    EXPECT_EQ(spoken(), (std::vector<std::string>{"X in top right", "O in top left", "X's turn"}));

    // The computer's answer to a winning move leaves the result told.
    setBoard("XX.......");
    random.values = {0.0f};
    driver->key(main(), Key::Enter);
    EXPECT_EQ(board(), "XXX.....O");
    EXPECT_EQ(node(main().accessibleTree(), "Board").description,
              "top row struck through, X wins!");
}

TEST_F(AccessibilityTest, TheFocusIndicatorShowsOnlyWhileTheBoardHasTheFocus) {
    start();
    for (int ratio : {1, 2}) {
        EXPECT_EQ(indicatorPixels(driver->grabAt(main(), ratio), main().Toe(0), ratio), 0);
        driver->key(main(), Key::Tab);
        driver->key(main(), Key::Tab);
        const auto img = driver->grabAt(main(), ratio);
        EXPECT_GT(indicatorPixels(img, main().Toe(0), ratio), 20 * ratio) << ratio;
        driver->key(main(), Key::Tab);
        driver->key(main(), Key::Tab);
        EXPECT_EQ(indicatorPixels(driver->grabAt(main(), ratio), main().Toe(0), ratio), 0);
    }
}

TEST_F(AccessibilityTest, EnterOnTheLinkOpensIt) {
    start();
    driver->key(main(), Key::Tab, tk::keys::Shift);
    ASSERT_EQ(focused(main()), "More at Fernwick");
    driver->key(main(), Key::Space);
    EXPECT_TRUE(windows.shellCalls.empty());
    driver->key(main(), Key::Enter);
    ASSERT_EQ(windows.shellCalls.size(), 1u);
    EXPECT_EQ(windows.shellCalls[0].operation, "open");
    // Assistive technology's default action is the same press.
    main().accessibleAction(node(main().accessibleTree(), "More at Fernwick").id);
    EXPECT_EQ(windows.shellCalls.size(), 2u);
}

} // namespace
} // namespace gridlark::testing
