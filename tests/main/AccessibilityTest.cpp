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
    const auto tree = form.accessibleTree(); // the node lives in it
    const Node* n = tree.focused();
    return n ? n->name : "";
}

std::vector<std::string> spoken(tk::Form& form) {
    std::vector<std::string> said;
    for (const Change& c : form.accessibleChanges())
        if (c.kind == Change::Kind::Announce || c.kind == Change::Kind::Alert)
            said.push_back(c.text);
    return said;
}

// Pixels of the indicator's black frame inside the cell, in the grab.
int indicatorPixels(const tk::testing::Image& img, const tk::Label& cell, int ratio) {
    const int left = (cell.left() / 15 + 1) * ratio, top = (cell.top() / 15 + 1) * ratio;
    int n = 0;
    for (int x = left; x < left + 30 * ratio; ++x)
        if (img.at(x, top + ratio / 2) == tk::Rgb{0, 0, 0}) ++n;
    return n;
}

using AccessibilityTest = AppTest;

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
    driver->key(main(), Key::Tab);
    driver->key(main(), Key::Tab);
    ASSERT_EQ(focused(main()), "top left");
    (void)main().accessibleChanges();

    // The arrows stop at the edges; Home and End go along the row.
    for (Key k : {Key::Up, Key::Left, Key::Right, Key::Right, Key::Right, Key::Down, Key::Home})
        driver->key(main(), k);
    EXPECT_EQ(focused(main()), "middle left");
    driver->key(main(), Key::End, tk::keys::Ctrl);
    EXPECT_EQ(focused(main()), "bottom right");
    driver->key(main(), Key::Home, tk::keys::Ctrl);
    EXPECT_EQ(focused(main()), "top left");
    (void)main().accessibleChanges();

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
    driver->key(main(), Key::Enter);
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
    // Read all at once, the turn is said once, as it now reads.
    EXPECT_EQ(spoken(main()),
              (std::vector<std::string>{"X in top left", "O in middle left", "X in top middle",
                                        "O in centre", "X in top right", "O's turn"}));
    EXPECT_EQ(spoken(notice()), std::vector<std::string>{"X wins!\nGame will now reset\n"
                                                         "Gridlark by Fernwick"});

    // The result stays on the board after the reset, until the next move.
    clock.advance(1500);
    settle();
    EXPECT_EQ(board(), ".........");
    EXPECT_EQ(node(main().accessibleTree(), "Board").description, "X wins!");
    EXPECT_EQ(focused(main()), "top right");
    main().Check1().setValue(1);
    clock.advance(1500);
    settle();
    random.values = {0.0f}; // the computer's answer: top left
    driver->key(main(), Key::Enter);
    EXPECT_EQ(board(), "O.X......");
    EXPECT_EQ(node(main().accessibleTree(), "Board").description, "");
    const auto computer = spoken(main());
    EXPECT_NE(std::find(computer.begin(), computer.end(), "O in top left"), computer.end());
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
