// The main window and the notice as assistive technology is told of them, and played through it.
#include "tests/support/Fixture.hpp"

#include <algorithm>

namespace gridlark::testing {
namespace {

using Role = tk::AccessibleItem::Role;

const tk::AccessibleItem& item(const tk::AccessibleView& view, std::string_view name) {
    const auto it = std::find_if(view.items.begin(), view.items.end(),
                                 [name](const tk::AccessibleItem& i) { return i.name == name; });
    if (it == view.items.end()) throw std::out_of_range("no item " + std::string(name));
    return *it;
}

using AccessibilityTest = AppTest;

TEST_F(AccessibilityTest, AGameReadAndPlayedThroughTheViewAlone) {
    start();
    auto view = main().accessibleView();
    EXPECT_EQ(view.name, "DarIzoDiv");
    EXPECT_FALSE(view.alert);
    EXPECT_EQ(view.gridName, "Board");
    EXPECT_EQ(view.gridDescription, "");
    const auto& turn = view.items.front();
    EXPECT_EQ(turn.role, Role::Text);
    EXPECT_EQ(turn.name, "X's turn");
    EXPECT_FALSE(turn.action);
    const auto link = item(view, "More at Fernwick");
    EXPECT_EQ(link.role, Role::Link);
    EXPECT_TRUE(link.action);
    std::vector<std::string> cells;
    for (const auto& i : view.items) {
        if (i.role != Role::Cell) continue;
        cells.push_back(i.name);
        EXPECT_EQ(i.value, "empty") << i.name;
        EXPECT_EQ(i.row * 3 + i.column, static_cast<int>(cells.size()) - 1) << i.name;
        EXPECT_TRUE(i.action);
    }
    EXPECT_EQ(cells, (std::vector<std::string>{"top left", "top middle", "top right", "middle left",
                                               "centre", "middle right", "bottom left",
                                               "bottom middle", "bottom right"}));

    // The default action is the mouse's press and release: the game cannot tell them apart.
    for (int cell : {0, 3, 1, 4, 2})
        main().accessibleAction(item(main().accessibleView(), cells[std::size_t(cell)]).id);
    EXPECT_EQ(board(), "XXXOO....");
    view = main().accessibleView();
    EXPECT_EQ(item(view, "top left").value, "X");
    EXPECT_EQ(item(view, "middle left").value, "O");
    EXPECT_EQ(view.gridDescription, "top row struck through");
    ASSERT_TRUE(notice().visible());
    const auto alert = notice().accessibleView();
    EXPECT_TRUE(alert.alert);
    EXPECT_EQ(alert.name, "Game will now reset\nX wins!\nGridlark by Fernwick");

    main().accessibleAction(link.id);
    ASSERT_EQ(windows.shellCalls.size(), 1u);
    EXPECT_EQ(windows.shellCalls[0].operation, "open");
}

} // namespace
} // namespace gridlark::testing
