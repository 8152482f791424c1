// The toolkit core on the real backend: a form's life, routing of input, timers, the end of the
// program. Uses a small form of its own so that it does not lean on the game.
#include "tests/support/Fixture.hpp"

#include <algorithm>
#include <array>

namespace {

using namespace tk;
using gridlark::testing::backend;
using gridlark::testing::exitCode;
using gridlark::testing::platform;

// 200 x 100 pixels; user scale 100 x 50 units.
const std::array<ControlDesign, 9> kControls{{
    {.kind = ControlKind::Label,
     .name = "Under",
     .left = 0,
     .top = 0,
     .width = 1500,
     .height = 750,
     .caption = "under"},
    {.kind = ControlKind::Label,
     .name = "Over",
     .left = 750,
     .top = 0,
     .width = 1500,
     .height = 750,
     .caption = "over"},
    {.kind = ControlKind::Line,
     .name = "Rule",
     .x1 = 0,
     .y1 = 300,
     .x2 = 3000,
     .y2 = 300,
     .borderWidth = 5},
    {.kind = ControlKind::Shape,
     .name = "Frame",
     .left = 1500,
     .top = 750,
     .width = 1500,
     .height = 750},
    {.kind = ControlKind::Label,
     .name = "Cell",
     .index = 0,
     .left = 0,
     .top = 900,
     .width = 300,
     .height = 300},
    {.kind = ControlKind::Label,
     .name = "Cell",
     .index = 1,
     .left = 300,
     .top = 900,
     .width = 300,
     .height = 300,
     .visible = false},
    {.kind = ControlKind::Label,
     .name = "Fit",
     .left = 600,
     .top = 900,
     .width = 15,
     .height = 15,
     .caption = "x",
     .autoSize = true},
    {.kind = ControlKind::Timer, .name = "Tick", .enabled = false, .interval = 100},
    {.kind = ControlKind::CheckBox,
     .name = "Box",
     .left = 2100,
     .top = 1050,
     .width = 750,
     .height = 300,
     .caption = "Box",
     .tabIndex = 1},
}};

const FormDesign kDesign{.name = "frmTest",
                         .caption = "Test",
                         .width = 3000,
                         .height = 1500,
                         .scaleWidth = 100,
                         .scaleHeight = 50,
                         .controls = kControls};

struct Seen {
    std::string what;
    EventArgs args;
};

class TestForm final : public Form {
public:
    explicit TestForm(Platform& p)
        : Form(p, kDesign) {
        for (auto event : {Event::Initialize, Event::Load, Event::Unload})
            on(kFormEvents, event, [this, event](const EventArgs& a) { note("Form", event, a); });
        for (auto name : {"Form", "Under", "Over", "Cell"})
            for (auto event : {Event::MouseDown, Event::MouseMove, Event::MouseUp, Event::Click,
                               Event::DblClick})
                on(name, event, [this, name, event](const EventArgs& a) { note(name, event, a); });
        on("Tick", Event::Timer, [this](const EventArgs& a) {
            note("Tick", Event::Timer, a);
            if (unloadOnTick) unload();
        });
        on("Box", Event::Click, [this](const EventArgs& a) {
            note("Box", Event::Click, a);
            if (reloadOnBox) {
                unload();
                show();
            }
        });
    }

    void note(std::string_view name, Event event, const EventArgs& a) {
        static constexpr std::array names{"Initialize", "Load",      "Unload",  "Click", "DblClick",
                                          "MouseDown",  "MouseMove", "MouseUp", "Timer"};
        log.push_back({std::string(name) + "." + names[static_cast<std::size_t>(event)], a});
        if (event == Event::Load) captionAtLoad = label("Under").caption();
    }
    std::vector<std::string> events() const {
        std::vector<std::string> v;
        for (const auto& s : log)
            v.push_back(s.what);
        return v;
    }

    std::vector<Seen> log;
    std::string captionAtLoad;
    bool unloadOnTick = false;
    bool reloadOnBox = false;
};

class FormTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform().seams = {};
        platform().seams.clock = &clock;
        exitCode(); // a quit left by an earlier test is not this one's
    }
    void TearDown() override {
        form.reset();
        driver->processEvents();
        platform().seams = {};
    }
    TestForm& f() { return ref(); }

    tk::testing::ManualClock clock;
    std::unique_ptr<tk::testing::Driver> driver = tk::testing::makeDriver(platform());
    std::unique_ptr<FormRef<TestForm>> form =
        std::make_unique<FormRef<TestForm>>([] { return std::make_unique<TestForm>(platform()); });
    FormRef<TestForm>& ref = *form;
};

TEST_F(FormTest, CreatedOnceAndLoadedByTheFirstTouch) {
    EXPECT_FALSE(ref.exists());
    TestForm& once = f();
    EXPECT_EQ(&once, &f());
    EXPECT_EQ(once.events(), std::vector<std::string>{"Form.Initialize"});
    EXPECT_FALSE(once.loaded());

    // The load runs before the touch completes, with the design's values in place.
    once.label("Over").setCaption("changed");
    EXPECT_EQ(once.events(), (std::vector<std::string>{"Form.Initialize", "Form.Load"}));
    EXPECT_EQ(once.captionAtLoad, "under");
    EXPECT_TRUE(once.loaded());
    EXPECT_FALSE(once.visible());
    once.show();
    EXPECT_TRUE(once.visible());
    EXPECT_EQ(driver->clientSize(once), (SizePx{200, 100}));
}

TEST_F(FormTest, UnloadDropsEverythingWrittenAndTheNextTouchStartsFromTheDesign) {
    f().show();
    f().label("Under").setCaption("written");
    f().label("Cell", 1).setVisible(true);
    f().unload();
    EXPECT_FALSE(f().loaded());
    EXPECT_TRUE(f().controls().empty());
    EXPECT_EQ(f().events().back(), "Form.Unload");

    EXPECT_EQ(f().label("Under").caption(), "under");
    EXPECT_FALSE(f().label("Cell", 1).visible());
    EXPECT_FALSE(f().visible()); // loaded again, but not shown
    const auto events = f().events();
    EXPECT_EQ(std::count(events.begin(), events.end(), "Form.Initialize"), 1);
    EXPECT_EQ(std::count(events.begin(), events.end(), "Form.Load"), 2);
}

TEST_F(FormTest, ControlsAreAddressedByNameIndexAndKind) {
    EXPECT_EQ(f().label("Cell", 0).index(), 0);
    EXPECT_EQ(f().label("Cell", 1).index(), 1);
    EXPECT_THROW(f().label("Cell", 2), std::out_of_range);
    EXPECT_THROW(f().label("Cell"), std::out_of_range);
    EXPECT_THROW(f().line("Fit"), std::logic_error); // a label
}

TEST_F(FormTest, HitTestFindsTheTopMostVisibleLabelAndLetsLinesAndShapesThrough) {
    f().load();
    auto at = [&](int x, int y) {
        const Control* c = f().hitTest(x, y);
        return c ? c->name() + (c->index() >= 0 ? std::to_string(c->index()) : "") : "Form";
    };
    EXPECT_EQ(at(100, 100), "Under");
    EXPECT_EQ(at(1000, 100), "Over");  // both: the later one lies on top
    EXPECT_EQ(at(2000, 300), "Over");  // the line crosses here but takes nothing
    EXPECT_EQ(at(2500, 300), "Form");  // only the line
    EXPECT_EQ(at(2000, 1000), "Form"); // only the shape
    EXPECT_EQ(at(100, 1000), "Cell0");
    EXPECT_EQ(at(400, 1000), "Form"); // Cell(1) is hidden
    f().label("Cell", 1).setVisible(true);
    EXPECT_EQ(at(400, 1000), "Cell1");
    EXPECT_EQ(at(1499, 749), "Over");
    EXPECT_EQ(at(2250, 100), "Form"); // right and bottom edges are outside
}

TEST_F(FormTest, MouseEventsGoToTheTargetOfThePressInTheFormsScale) {
    f().show();
    // 30 twips a unit both ways.
    driver->press(f(), mouse::Left, keys::Shift, {180, 90});
    ASSERT_EQ(f().log.back().what, "Form.MouseDown");
    EXPECT_EQ(f().log.back().args.button, mouse::Left);
    EXPECT_EQ(f().log.back().args.shift, keys::Shift);
    EXPECT_FLOAT_EQ(f().log.back().args.x, 90.0f);
    EXPECT_FLOAT_EQ(f().log.back().args.y, 45.0f);
    // Moving and releasing over a label still goes to the form, which took the press.
    driver->move(f(), mouse::Left, {10, 10});
    EXPECT_EQ(f().log.back().what, "Form.MouseMove");
    driver->release(f(), mouse::Left, 0, {10, 10});
    EXPECT_EQ(f().log[f().log.size() - 2].what, "Form.MouseUp");
    EXPECT_EQ(f().log.back().what, "Form.Click");

    // A press on a label goes to it, with its index and a position relative to it.
    driver->press(f(), mouse::Right, 0, {5, 62});
    ASSERT_EQ(f().log.back().what, "Cell.MouseDown");
    EXPECT_EQ(f().log.back().args.index, 0);
    EXPECT_EQ(f().log.back().args.button, mouse::Right);
    EXPECT_FLOAT_EQ(f().log.back().args.x, 2.5f);
    EXPECT_FLOAT_EQ(f().log.back().args.y, 1.0f);
    driver->release(f(), mouse::Right, 0, {150, 90});
    EXPECT_EQ(f().log.back().what, "Cell.MouseUp");
}

TEST_F(FormTest, DoubleClickBelongsToTheBackgroundOnly) {
    f().show();
    driver->doubleClick(f(), mouse::Left, {180, 90});
    auto events = f().events();
    EXPECT_EQ(std::count(events.begin(), events.end(), "Form.DblClick"), 1);
    EXPECT_EQ(std::count(events.begin(), events.end(), "Form.MouseDown"), 1);
    EXPECT_EQ(std::count(events.begin(), events.end(), "Form.MouseUp"), 2);

    // On a label the second press of a double click is just another press.
    f().log.clear();
    driver->doubleClick(f(), mouse::Left, {5, 62});
    events = f().events();
    EXPECT_EQ(std::count(events.begin(), events.end(), "Cell.MouseDown"), 2);
    EXPECT_EQ(std::count(events.begin(), events.end(), "Cell.DblClick"), 0);
}

TEST_F(FormTest, ButtonsTheHandlersDoNotKnowRaiseNothing) {
    f().show();
    f().log.clear();
    for (int button : {8, 16})
        driver->click(f(), button, {180, 90});
    EXPECT_TRUE(f().log.empty());
}

TEST_F(FormTest, TimerTicksWhileEnabledAndStopsWithTheForm) {
    f().load();
    clock.advance(1000);
    EXPECT_TRUE(f().log.empty() || f().log.back().what != "Tick.Timer"); // stored disabled
    f().timer("Tick").setEnabled(true);
    clock.advance(250);
    auto events = f().events();
    EXPECT_EQ(std::count(events.begin(), events.end(), "Tick.Timer"), 2);
    f().timer("Tick").setEnabled(false);
    clock.advance(1000);
    events = f().events();
    EXPECT_EQ(std::count(events.begin(), events.end(), "Tick.Timer"), 2);

    // A tick that unloads its own form stops for good, and nothing is left running.
    f().timer("Tick").setEnabled(true);
    f().unloadOnTick = true;
    clock.advance(1000);
    events = f().events();
    EXPECT_EQ(std::count(events.begin(), events.end(), "Tick.Timer"), 3);
    EXPECT_FALSE(f().loaded());
    EXPECT_EQ(clock.running(), 0u);
}

TEST_F(FormTest, TheProgramEndsWhenItsLastFormUnloads) {
    FormRef<TestForm> other([] { return std::make_unique<TestForm>(platform()); });
    f().show();
    other().show();
    {
        FormRef<TestForm> gone([] { return std::make_unique<TestForm>(platform()); });
        gone().show();
    } // destroyed while loaded: it counts no more
    f().unload();
    EXPECT_EQ(exitCode(), std::nullopt);
    driver->closeWindow(other()); // the window system's close unloads it like any other
    EXPECT_FALSE(other().loaded());
    EXPECT_EQ(exitCode(), 0);
}

// The window system is still inside the old window's event, and may send it more before it goes.
TEST_F(FormTest, AWindowLetGoInsideItsOwnEventHidesReachesTheFormNoMoreAndGoesAfter) {
    f().show();
    f().reloadOnBox = true;
    auto& old = dynamic_cast<tk::testing::WrappedWindow&>(*f().native());
    const std::size_t windows = backend().windows().size();
    old.host.childClicked(f().idOf(f().checkBox("Box")));
    ASSERT_TRUE(f().visible());
    EXPECT_FALSE(old.isVisible());
    old.host.closeRequested();
    EXPECT_TRUE(f().loaded()); // the new window's form
    driver->processEvents();
    EXPECT_EQ(backend().windows().size(), windows);
}

TEST_F(FormTest, AutoSizedLabelsFollowTheirCaptionAndKeepTheirCorner) {
    Label& fit = f().label("Fit");
    const int narrow = fit.width();
    EXPECT_GT(narrow, 15);
    fit.setCaption("a much longer caption");
    EXPECT_GT(fit.width(), 4 * narrow);
    EXPECT_EQ(fit.height(), pixelsToTwips(platform().backend().measureText({}, "x").height));
    EXPECT_EQ(fit.left(), 600);
    EXPECT_EQ(fit.top(), 900);
}

TEST_F(FormTest, ARepaintCoversAllThatAControlPaints) {
    f().load();
    const auto covers = [](const RectPx& a, double x, double y) {
        return x >= a.x && x < a.x + a.width && y >= a.y && y < a.y + a.height;
    };
    // A 5-pixel line from (0, 20) to (200, 20), round caps and all.
    const RectPx rule = f().line("Rule").paintedArea();
    EXPECT_TRUE(covers(rule, -2.5, 17.5));
    EXPECT_TRUE(covers(rule, 202, 22.5));
    EXPECT_FALSE(covers(rule, 100, 30));
    // A caption wider and taller than its box still counts.
    Label& cell = f().label("Cell", 0); // 20 x 20 at (0, 60)
    cell.setCaption("a caption much wider than the cell");
    const SizePx text = platform().backend().measureText(cell.font(), cell.caption());
    const RectPx area = cell.paintedArea();
    EXPECT_TRUE(covers(area, text.width - 1, 60));
    EXPECT_TRUE(covers(area, 0, 60 + std::max(20, text.height) - 1));
}

// The window system's own windows, with every area the core invalidates noted on the way.
TEST_F(FormTest, ChangesRepaintTheOldCaptionTheGlyphsOverhangAndANewBackground) {
    tk::testing::WrappedBackend recording(platform().backend());
    recording.recordInvalidated = true;
    Platform recorded(recording);
    TestForm probe(recorded);
    Label& over = probe.label("Over"); // 100 x 50 pixels at (50, 0), left aligned
    over.setCaption("a caption much wider than the label's own box");
    const SizePx old = recording.measureText(over.font(), over.caption());
    ASSERT_GT(old.width, 100);
    recording.invalidated.clear();
    over.setCaption("x");
    // Glyphs may reach up to 2 pixels past their advance.
    const double x = 50 + old.width + 1.5, y = old.height / 2.0;
    EXPECT_TRUE(std::any_of(
        recording.invalidated.begin(), recording.invalidated.end(), [&](const RectPx& a) {
            return x >= a.x && x < a.x + a.width && y >= a.y && y < a.y + a.height;
        }));
    recording.invalidated.clear();
    probe.setBackColour(rgb(1, 2, 3));
    EXPECT_EQ(recording.invalidated.size(), 1u); // the whole window
}

// Releases straight into the core: some window systems drop a release they saw no press for.
TEST_F(FormTest, AClickNeedsAPressBeforeTheReleaseSinceTheFormLoaded) {
    f().show();
    f().mouseUp(MouseButton::Left, 0, 180, 90);
    driver->press(f(), mouse::Left, 0, {180, 90});
    f().unload();
    f().show();
    f().mouseUp(MouseButton::Left, 0, 180, 90);
    const auto events = f().events();
    EXPECT_EQ(std::count(events.begin(), events.end(), "Form.MouseUp"), 2);
    EXPECT_EQ(std::count(events.begin(), events.end(), "Form.Click"), 0);
}

TEST_F(FormTest, WiringToANameOutsideTheDesignOrTwiceFailsAtConstruction) {
    struct Miswired final : Form {
        Miswired(Platform& p, std::string_view name)
            : Form(p, kDesign) {
            on("Under", Event::Click, [](const EventArgs&) {});
            on(name, Event::Click, [](const EventArgs&) {});
        }
    };
    const auto message = [](std::string_view name) {
        try {
            Miswired miswired(platform(), name);
        } catch (const std::logic_error& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(message("Undr"), "frmTest.Undr: no such control in the design");
    EXPECT_EQ(message("Under"), "frmTest.Under: a second handler for one event");
    EXPECT_THROW(f().raise("Undr", Event::Click), std::logic_error);
}

TEST_F(FormTest, CheckBoxRaisesClickOnEveryChangeOfItsValue) {
    f().show();
    CheckBox& box = f().checkBox("Box");
    box.setValue(1);
    box.setValue(1);
    auto events = f().events();
    EXPECT_EQ(std::count(events.begin(), events.end(), "Box.Click"), 1);
    driver->clickControl(f(), "Box");
    EXPECT_EQ(box.value(), 0);
    events = f().events();
    EXPECT_EQ(std::count(events.begin(), events.end(), "Box.Click"), 2);
}

TEST_F(FormTest, PositionsAreTwipsOfWholePixels) {
    f().show();
    f().setLeft(1500);
    f().setTop(1507); // 100.47 pixels
    EXPECT_EQ(f().left(), 1500);
    EXPECT_EQ(f().top(), 1500);
    f().setLeft(-38); // -2.53 pixels
    EXPECT_EQ(f().left(), -45);
}

} // namespace
