// What the Windows backend promises beyond the driver's view: window styles and icons, native
// children in step with the core, windows that outlive their form's unload only until their own
// message has returned, the real version query, timers and the event loop's end.
#include "tests/support/Fixture.hpp"

#include "platform/win32/Win32Platform.hpp"

#include "tests/win32/Msaa.hpp"

#include <array>
#include <optional>

namespace {

using namespace tk;
using gridlark::testing::AppTest;
using gridlark::testing::platform;
using tk::testing::Key;

const std::array<ControlDesign, 2> kControls{{
    {.kind = ControlKind::CommandButton,
     .name = "Go",
     .left = 150,
     .top = 150,
     .width = 1200,
     .height = 375,
     .caption = "Grüße",
     .tabIndex = 0},
    {.kind = ControlKind::CheckBox,
     .name = "Box",
     .left = 150,
     .top = 750,
     .width = 1200,
     .height = 300,
     .caption = "Box",
     .foreColour = rgb(224, 224, 224),
     .backColour = rgb(128, 128, 128),
     .tabIndex = 1},
}};

const FormDesign kDesign{.name = "frmProbe",
                         .caption = "Probe",
                         .width = 1500,
                         .height = 1200,
                         .showInTaskbar = false,
                         .controls = kControls};

class ProbeForm final : public Form {
public:
    explicit ProbeForm(Platform& p)
        : Form(p, kDesign) {
        on("Go", Event::Click, [this](const EventArgs&) {
            const HWND before = hwnd();
            unload();
            aliveInsideItsMessage = IsWindow(before) && !IsWindowVisible(before);
        });
        on("Box", Event::Click, [this](const EventArgs&) { ++boxClicks; });
    }
    HWND hwnd() const { return window()->hwnd(); }
    win32::FormWindow* window() const {
        return &tk::testing::backendWindow<win32::NativeFormWindow>(native())->formWindow();
    }
    HWND child(std::string_view name) { return window()->child(idOf(control<Control>(name))); }

    bool aliveInsideItsMessage = false;
    int boxClicks = 0;
};

class Win32BackendTest : public AppTest {
protected:
    void TearDown() override {
        if (probe.loaded()) probe().unload();
        AppTest::TearDown();
    }
    win32::Win32Platform& native() {
        return tk::testing::backendItself<win32::Win32Platform>(plat.backend());
    }
    static HWND hwndOf(Form& form) {
        return tk::testing::backendWindow<win32::NativeFormWindow>(form.native())
            ->formWindow()
            .hwnd();
    }
    // Draws the icon over white and over black: a blank icon leaves both as they were.
    static bool blank(HICON icon) {
        for (COLORREF ground : {RGB(255, 255, 255), RGB(0, 0, 0)}) {
            const win32::WindowDc screen(nullptr);
            const win32::MemoryDc dc(CreateCompatibleDC(screen.get()));
            const win32::Bitmap bitmap(CreateCompatibleBitmap(screen.get(), 32, 32));
            const win32::Selected selected(dc.get(), bitmap.get());
            const RECT all{0, 0, 32, 32};
            SetDCBrushColor(dc.get(), ground);
            FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
            DrawIconEx(dc.get(), 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL);
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 32; ++x)
                    if (GetPixel(dc.get(), x, y) != ground) return false;
        }
        return true;
    }
    FormRef<ProbeForm> probe{[] { return std::make_unique<ProbeForm>(platform()); }};
};

TEST_F(Win32BackendTest, WindowsArePopupsSizedByTheirDesignWithTheIconsTheyAskFor) {
    start();
    main().Check1().setValue(1); // shows the notice
    settle();
    HWND m = hwndOf(main());
    HWND n = hwndOf(notice());
    for (HWND w : {m, n}) {
        EXPECT_EQ(GetWindowLongW(w, GWL_STYLE) & (WS_POPUP | WS_CAPTION | WS_THICKFRAME), WS_POPUP);
        RECT outer{}, client{};
        GetWindowRect(w, &outer);
        GetClientRect(w, &client);
        EXPECT_EQ(outer.right - outer.left, client.right);
        EXPECT_EQ(outer.bottom - outer.top, client.bottom);
    }
    EXPECT_EQ(driver->clientSize(notice()), (SizePx{188, 58}));
    EXPECT_TRUE(GetWindowLongW(m, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_TRUE(GetWindowLongW(n, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(GetClassLongW(m, GCL_STYLE) & CS_DBLCLKS);

    // The main window's icon is the program's blank one, and shows nothing; the notice has none.
    for (WPARAM kind : {ICON_BIG, ICON_SMALL}) {
        const auto icon = reinterpret_cast<HICON>(SendMessageW(m, WM_GETICON, kind, 0));
        ASSERT_NE(icon, nullptr);
        EXPECT_TRUE(blank(icon));
        const bool big = kind == ICON_BIG;
        EXPECT_EQ(icon, LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(2), IMAGE_ICON,
                                   GetSystemMetrics(big ? SM_CXICON : SM_CXSMICON),
                                   GetSystemMetrics(big ? SM_CYICON : SM_CYSMICON), LR_SHARED));
        EXPECT_EQ(SendMessageW(n, WM_GETICON, kind, 0), 0);
    }
}

TEST_F(Win32BackendTest, NativeChildrenFollowTheCoreAndTheCheckBoxEndsWhereTheCoreIs) {
    ProbeForm& f = probe();
    f.show();
    HWND go = f.child("Go");
    HWND box = f.child("Box");
    wchar_t caption[16]{};
    GetWindowTextW(go, caption, 16);
    EXPECT_STREQ(caption, L"Grüße"); // UTF-8 in the core, UTF-16 in the window
    RECT r{};
    GetWindowRect(go, &r);
    MapWindowPoints(nullptr, f.hwnd(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 10);
    EXPECT_EQ(r.right - r.left, 80);
    EXPECT_EQ(r.bottom - r.top, 25);
    EXPECT_TRUE(GetWindowLongW(go, GWL_STYLE) & WS_TABSTOP);

    CheckBox& value = f.checkBox("Box");
    value.setValue(1);
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(f.boxClicks, 1);
    for (int expected : {0, 1, 0}) {
        driver->clickControl(f, "Box");
        EXPECT_EQ(value.value(), expected);
        EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), expected ? BST_CHECKED : BST_UNCHECKED);
    }
    EXPECT_EQ(f.boxClicks, 4); // once per change, not twice
    // A double click flips it twice, as two clicks do.
    for (UINT msg : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        SendMessageW(box, msg, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(f.boxClicks, 6);
    EXPECT_EQ(driver->controlBackground(f, "Box"), (Rgb{128, 128, 128}));

    value.setVisible(false);
    EXPECT_FALSE(IsWindowVisible(box));
}

TEST_F(Win32BackendTest, TheFocusTheWindowSystemMovesReachesTheCoreAndComesBackAsItWas) {
    start();
    HWND m = hwndOf(main());
    driver->key(main(), Key::Tab);
    driver->key(main(), Key::Tab);
    ASSERT_EQ(GetFocus(), m); // the window itself, for the board
    // Another window takes the activation, then gives it back.
    const win32::Window other(CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 10,
                                              10, nullptr, nullptr, nullptr, nullptr));
    SetActiveWindow(other.get());
    ASSERT_NE(GetFocus(), m);
    SetActiveWindow(m);
    EXPECT_EQ(GetFocus(), m);

    // A click on the check box focuses it, and the core knows.
    driver->clickControl(main(), "Check1");
    EXPECT_EQ(main().focus(), main().idOf(main().Check1()));
}

// Windows' own news of a new display size reaches the core, which brings the window back.
TEST_F(Win32BackendTest, ADisplayChangeBringsTheWindowBackOnTheScreen) {
    plat.seams.screenSize = SizePx{1280, 1024};
    start();
    main().setLeft(1092 * kTwipsPerPixel);
    main().setTop(757 * kTwipsPerPixel);
    plat.seams.screenSize = SizePx{800, 600};
    SendMessageW(hwndOf(main()), WM_DISPLAYCHANGE, 32, MAKELPARAM(800, 600));
    RECT r{};
    GetWindowRect(hwndOf(main()), &r);
    EXPECT_EQ(r.left, 612);
    EXPECT_EQ(r.top, 333);
}

TEST_F(Win32BackendTest, AWindowUnloadedInsideItsOwnMessageGoesWhenTheMessageReturns) {
    ProbeForm& f = probe();
    f.show();
    HWND h = f.hwnd();
    driver->clickControl(f, "Go"); // the click handler unloads the form
    EXPECT_TRUE(f.aliveInsideItsMessage);
    EXPECT_FALSE(f.loaded());
    EXPECT_FALSE(IsWindow(h));

    // The window system's close, sent from outside the loop: hidden at once, gone once the loop
    // runs what was posted.
    f.show();
    h = f.hwnd();
    SendMessageW(h, WM_CLOSE, 0, 0);
    EXPECT_FALSE(f.loaded());
    EXPECT_FALSE(IsWindowVisible(h));
    driver->processEvents();
    EXPECT_FALSE(IsWindow(h));
}

TEST_F(Win32BackendTest, TheRealVersionQueryFillsTheRecordWithTheVersionWinePins) {
    plat.seams.windowsApi = nullptr;
    win::OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    ASSERT_NE(plat.windowsApi().GetVersionExA(&info), 0);
    EXPECT_EQ(info.dwMajorVersion, 6u);
    EXPECT_EQ(info.dwMinorVersion, 1u);
    EXPECT_EQ(info.dwPlatformId, 2u);
    EXPECT_EQ(app->GetWindowsVersion().Name, "Windows 7");
    EXPECT_EQ(app->GetWindowsVersion().VersionText, "6.1.2");
}

TEST_F(Win32BackendTest, ATickMayStopItsOwnTimerAndStartAnother) {
    TimerService& timers = native().timers();
    int first = 0, second = 0, firstId = 0, secondId = 0;
    firstId = timers.start(10, [&] {
        if (++first == 3) {
            timers.stop(firstId);
            secondId = timers.start(10, [&] { ++second; });
        }
    });
    ASSERT_GT(firstId, 0);
    const DWORD end = GetTickCount() + 2000;
    while (second < 2 && GetTickCount() < end) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        settle();
    }
    timers.stop(secondId);
    EXPECT_EQ(first, 3);
    EXPECT_GE(second, 2);
}

TEST_F(Win32BackendTest, TheMessageBoxHoldsEveryFormWindowUntilAnswered) {
    plat.seams.messageBox = nullptr;
    start();
    main().Check1().setValue(1); // the notice shows too
    settle();
    HWND m = hwndOf(main());
    HWND n = hwndOf(notice());
    bool mainEnabled = true, noticeEnabled = true;
    driver->answerNextMessageBox(Key::Escape, [&] {
        mainEnabled = IsWindowEnabled(m);
        noticeEnabled = IsWindowEnabled(n);
    });
    driver->click(main(), mouse::Right, {100, 178});
    EXPECT_EQ(driver->lastMessageBox().title, "Attention");
    EXPECT_FALSE(mainEnabled);
    EXPECT_FALSE(noticeEnabled);
    EXPECT_TRUE(IsWindowEnabled(m));
    EXPECT_TRUE(IsWindowEnabled(n));
}

TEST_F(Win32BackendTest, AQuitOutsideTheLoopLeavesLaterModalLoopsAloneAndEndsTheNextLoop) {
    plat.seams.messageBox = nullptr;
    plat.quit(3);
    // A quit message left in the queue would close this box before anyone answered it.
    driver->answerNextMessageBox(Key::Enter);
    std::optional<msgbox::Answer> given;
    plat.messageBox("Still here?", {}, "Probe", [&](msgbox::Answer a) { given = a; });
    EXPECT_EQ(given, msgbox::Answer::Yes);
    EXPECT_EQ(driver->lastMessageBox().text, "Still here?");
    EXPECT_EQ(plat.exec(), 3);
}

// Microsoft Active Accessibility in the program's own thread, as a client in the process would
// use it (a client in another process: tests/win32/AccessibleClient.cpp).
TEST_F(Win32BackendTest, TheClientAreaAnswersActiveAccessibilityAndLetsGoWithItsWindow) {
    using namespace msaa;
    start();
    HWND m = hwndOf(main());
    const Node client{accessibleOf(m)};
    ASSERT_TRUE(client.acc);
    EXPECT_TRUE(native().accessibilityAsked());
    EXPECT_EQ(client.name(), L"DarIzoDiv");
    const auto top = client.children();
    // The check box and the push button, the turn, the link, the grid, the live region.
    ASSERT_EQ(top.size(), 6u);
    const Node grid = top[4];
    ASSERT_TRUE(grid.acc);
    // The grid by its own object id, as window events name it.
    EXPECT_EQ(Node{accessibleOf(m, win32::FormAccessibility::kGridObjectId)}.name(), L"Board");
    const Node centre{grid.acc, 5};
    EXPECT_EQ(centre.name(), L"centre");

    // A screen reader moves the focus to a cell; the window itself holds the keyboard's.
    EXPECT_EQ(centre.acc->accSelect(SELFLAG_TAKEFOCUS, childId(centre.id)), S_OK);
    EXPECT_EQ(main().focus(), main().idOf(main().Toe(4)));
    EXPECT_EQ(GetFocus(), m);
    EXPECT_TRUE(centre.state() & STATE_SYSTEM_FOCUSED);
    EXPECT_EQ(client.focus().name(), L"Board");
    EXPECT_EQ(grid.focus().id, centre.id);

    // While a message box holds the window, the cells refuse their action, as they do the mouse.
    plat.seams.messageBox = nullptr;
    HRESULT held = S_OK;
    driver->answerNextMessageBox(Key::Escape, [&] { held = Node{grid.acc, 1}.press(); });
    driver->click(main(), mouse::Right, {100, 178});
    EXPECT_EQ(held, E_FAIL);
    EXPECT_EQ(board(), ".........");

    // What is said, once the event is handled: the move and the turn together.
    EXPECT_EQ((Node{grid.acc, 1}.press()), S_OK);
    settle();
    EXPECT_EQ(top[5].name(), L"X in top left. O's turn");
    for (LONG cell : {4, 2, 5, 3})
        EXPECT_EQ((Node{grid.acc, cell}.press()), S_OK);
    EXPECT_EQ(board(), "XXXOO....");
    ASSERT_TRUE(notice().visible());
    const Node alert{accessibleOf(hwndOf(notice()))};
    ASSERT_TRUE(alert.acc);
    EXPECT_EQ(alert.role(), ROLE_SYSTEM_ALERT);

    // The objects outlive their window, and only say so.
    notice().unload();
    BSTR name = nullptr;
    EXPECT_EQ(alert.acc->get_accName(childId(CHILDID_SELF), &name), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ((Node{alert.acc, 1}.press()), CO_E_OBJNOTCONNECTED);
    main().unload();
    EXPECT_EQ((Node{grid.acc, 1}.press()), CO_E_OBJNOTCONNECTED);
    LONG count = 0;
    EXPECT_EQ(client.acc->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
}

} // namespace
