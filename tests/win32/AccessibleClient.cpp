// A screen reader's game of Gridlark.exe through Microsoft Active Accessibility, from a process of
// its own: it starts the program, reads the windowless children of its window through
// AccessibleObjectFromWindow, plays a won game with typed keys alone (Tab to the board, the
// arrows, Enter), hears the focus, the changes, what is said and the notice's alert through a
// window-event hook, and sees the board cleared. Usage: AccessibleClient Gridlark.exe
#include "tests/win32/Msaa.hpp"

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace msaa;

int failures = 0;

std::string utf8(const std::wstring& w) {
    if (w.empty()) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), out.data(), n, nullptr,
                        nullptr);
    std::string escaped;
    for (char c : out)
        escaped += c == '\n' ? std::string("\\n") : std::string(1, c);
    return escaped;
}

void fail(const std::string& what) {
    std::printf("FAIL: %s\n", what.c_str());
    std::fflush(stdout);
    ++failures;
}

template <class A, class B> void expectEq(const A& got, const B& want, const std::string& what) {
    if (!(got == want)) fail(what);
}

// Whatever arrives for this thread: the window events, and COM's calls back.
void pump(int ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (std::chrono::steady_clock::now() < until);
}

bool waitFor(const std::function<bool()>& done, int ms) {
    for (int waited = 0; !done(); waited += 20) {
        if (waited > ms) return false;
        pump(20);
    }
    return true;
}

std::wstring roleText(LONG role) {
    wchar_t text[64] = L"";
    GetRoleTextW(static_cast<DWORD>(role), text, 64);
    return text;
}

void dump(const Node& n, int depth) {
    std::printf("%*s[%s] '%s'", depth * 2, "", utf8(roleText(n.role())).c_str(),
                utf8(n.name()).c_str());
    if (const auto v = n.value(); !v.empty()) std::printf(" value '%s'", utf8(v).c_str());
    if (const auto a = n.action(); !a.empty()) std::printf(" action '%s'", utf8(a).c_str());
    std::printf("\n");
    for (const Node& c : n.children())
        dump(c, depth + 1);
}

struct Search {
    DWORD pid;
    HWND except;
    HWND found = nullptr;
};

BOOL CALLBACK match(HWND hwnd, LPARAM lParam) {
    auto& s = *reinterpret_cast<Search*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    wchar_t cls[64] = L"";
    GetClassNameW(hwnd, cls, 64);
    if (pid == s.pid && hwnd != s.except && IsWindowVisible(hwnd) &&
        std::wcscmp(cls, L"GridlarkForm") == 0) {
        s.found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND waitWindow(DWORD pid, HWND except, int ms) {
    Search s{pid, except};
    waitFor(
        [&] {
            EnumWindows(match, reinterpret_cast<LPARAM>(&s));
            return s.found != nullptr;
        },
        ms);
    return s.found;
}

// The window events the program raised, as a screen reader hears them.
struct Event {
    DWORD event;
    HWND hwnd;
    LONG object, child;
};
std::vector<Event> events;

void CALLBACK hear(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG childId, DWORD, DWORD) {
    events.push_back({event, hwnd, object, childId});
}

bool heard(DWORD event, HWND hwnd, LONG object, LONG childId, int ms = 3000) {
    return waitFor(
        [&] {
            for (const Event& e : events)
                if (e.event == event && e.hwnd == hwnd && e.object == object && e.child == childId)
                    return true;
            return false;
        },
        ms);
}

// A key typed on the keyboard, to whatever has the focus.
void type(WORD vk) {
    INPUT in[2]{};
    in[0].type = INPUT_KEYBOARD;
    in[0].ki.wVk = vk;
    if (vk != VK_TAB && vk != VK_RETURN) in[0].ki.dwFlags = KEYEVENTF_EXTENDEDKEY; // arrows
    in[1] = in[0];
    in[1].ki.dwFlags |= KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
}

// The program's path as Windows names it: Wine maps the Unix root to Z:.
std::wstring windowsPath(const char* path) {
    std::wstring w;
    for (const char* p = path; *p; ++p)
        w += *p == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*p));
    if (!w.empty() && w[0] == L'\\') w = L"Z:" + w;
    return w;
}

int play(HANDLE process, DWORD pid) {
    const HWND main = waitWindow(pid, nullptr, 20000);
    if (!main) return fail("no main window"), 1;
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_SYSTEM_ALERT, EVENT_OBJECT_LIVEREGIONCHANGED,
                                               nullptr, hear, pid, 0, WINEVENT_OUTOFCONTEXT);
    if (!hook) fail("no window-event hook");

    const Acc client = accessibleOf(main);
    if (!client) return fail("no object from AccessibleObjectFromWindow"), 1;
    const Node root{client, CHILDID_SELF};
    std::printf("The main window's client area:\n");
    dump(root, 1);
    expectEq(root.name(), std::wstring(L"DarIzoDiv"), "client name");
    expectEq(root.role(), ROLE_SYSTEM_CLIENT, "client role");
    // The native children as the window system's own objects (Wine 8's proxy knows no button
    // class, and calls them clients), the turn, the link, the grid, the live region.
    const auto top = root.children();
    if (top.size() != 6) return fail("children of the client: " + std::to_string(top.size())), 1;
    for (std::size_t i = 0; i < 2; ++i)
        if (top[i].id != CHILDID_SELF || (top[i].name() != L"Reset" && top[i].name() != L"CPU"))
            fail("child " + std::to_string(i) + " is not the native Reset or CPU");
    const Node &turn = top[2], &link = top[3], &live = top[5];
    expectEq(turn.role(), ROLE_SYSTEM_STATICTEXT, "turn role");
    // Either mark may start.
    const std::wstring firstTurn = turn.name();
    if (firstTurn != L"X's turn" && firstTurn != L"O's turn") fail("turn text " + utf8(firstTurn));
    const std::wstring first = firstTurn.substr(0, 1), second = first == L"X" ? L"O" : L"X";
    expectEq(link.role(), ROLE_SYSTEM_LINK, "link role");
    expectEq(link.action(), std::wstring(L"Press"), "link action");
    if (!(link.state() & STATE_SYSTEM_LINKED)) fail("link not linked");
    expectEq(live.role(), ROLE_SYSTEM_STATICTEXT, "live region role");
    const Node grid{top[4].acc, CHILDID_SELF};
    if (!grid.acc) return fail("no grid object"), 1;
    expectEq(grid.role(), ROLE_SYSTEM_TABLE, "grid role");
    expectEq(grid.name(), std::wstring(L"Board"), "grid name");
    const auto cells = grid.children();
    if (cells.size() != 9) return fail("cells: " + std::to_string(cells.size())), 1;
    RECT window{};
    GetWindowRect(main, &window);
    for (std::size_t i = 0; i < 9; ++i) {
        const Node& c = cells[i];
        expectEq(c.role(), ROLE_SYSTEM_CELL, "cell role");
        expectEq(c.value(), std::wstring(L"empty"), "cell value before a move");
        if (!(c.state() & STATE_SYSTEM_FOCUSABLE)) fail("cell not focusable");
        const RECT r = c.location();
        RECT inside{};
        if (r.right - r.left < 20 || !IntersectRect(&inside, &r, &window) ||
            !EqualRect(&inside, &r))
            fail("cell " + std::to_string(i) + " is not on the window");
    }
    expectEq(cells[4].name(), std::wstring(L"centre"), "centre's name");

    // Typed keys: Tab twice (Reset, CPU, the board), then whoever starts takes the top row.
    SetForegroundWindow(main);
    type(VK_TAB);
    type(VK_TAB);
    if (!heard(EVENT_OBJECT_FOCUS, main, 1, 1)) fail("no focus event on the top left cell");
    if (!(cells[0].state() & STATE_SYSTEM_FOCUSED)) fail("the top left cell is not focused");
    const std::vector<std::vector<WORD>> moves{{VK_RETURN},
                                               {VK_DOWN, VK_RETURN},
                                               {VK_UP, VK_RIGHT, VK_RETURN},
                                               {VK_DOWN, VK_RETURN},
                                               {VK_UP, VK_RIGHT, VK_RETURN}};
    const LONG played[] = {1, 4, 2, 5, 3};
    std::chrono::steady_clock::time_point wonAt;
    for (std::size_t m = 0; m < moves.size(); ++m) {
        const LONG cell = played[m];
        for (WORD vk : moves[m])
            type(vk);
        if (m == 4) wonAt = std::chrono::steady_clock::now();
        if (!heard(EVENT_OBJECT_FOCUS, main, 1, cell))
            fail("no focus event on cell " + std::to_string(cell));
        if (!heard(EVENT_OBJECT_VALUECHANGE, main, 1, cell))
            fail("no value change on cell " + std::to_string(cell));
        expectEq(cells[static_cast<std::size_t>(cell - 1)].value(), m % 2 ? second : first,
                 "mark in cell " + std::to_string(cell));
        if (m == 0) {
            if (!heard(EVENT_OBJECT_LIVEREGIONCHANGED, main, OBJID_CLIENT, live.id))
                fail("nothing said after the first move");
            expectEq(live.name(), first + L" in top left. " + second + L"'s turn",
                     "said after the first move");
            if (!heard(EVENT_OBJECT_NAMECHANGE, main, OBJID_CLIENT, turn.id))
                fail("no name change for the turn text");
        }
    }
    if (!heard(EVENT_OBJECT_DESCRIPTIONCHANGE, main, 1, CHILDID_SELF))
        fail("no description change for the grid");
    expectEq(grid.description(), std::wstring(L"top row struck through, ") + first + L" wins!",
             "grid after the win");

    const HWND noticeWindow = waitWindow(pid, main, 2000);
    if (!noticeWindow) return fail("no notice window"), 1;
    if (!heard(EVENT_SYSTEM_ALERT, noticeWindow, OBJID_CLIENT, CHILDID_SELF))
        fail("no alert event for the notice");
    const Acc notice = accessibleOf(noticeWindow);
    if (!notice) return fail("no notice object"), 1;
    const Node alert{notice, CHILDID_SELF};
    expectEq(alert.role(), ROLE_SYSTEM_ALERT, "notice role");
    expectEq(alert.name(), first + L" wins!\nGame will now reset\nGridlark by Fernwick",
             "notice name");

    // The notice clears the board about 1.5 s after the win, and goes.
    const bool cleared = waitFor([&] { return cells[2].value() == L"empty"; }, 5000);
    const auto clearedMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                               std::chrono::steady_clock::now() - wonAt)
                               .count();
    std::printf("Board empty again %lld ms after the winning move; %zu events heard\n",
                static_cast<long long>(clearedMs), events.size());
    if (!cleared) fail("board not cleared");
    if (clearedMs < 1200 || clearedMs > 3500) fail("cleared after " + std::to_string(clearedMs));
    if (!waitFor([&] { return !IsWindow(noticeWindow) || !IsWindowVisible(noticeWindow); }, 2000))
        fail("notice still shown");
    // The notice's object outlived its window: it answers, with an error.
    BSTR stale = nullptr;
    if (SUCCEEDED(notice->get_accName(childId(CHILDID_SELF), &stale)))
        fail("the gone notice still answers");
    SysFreeString(stale);
    if (hook) UnhookWinEvent(hook);

    // The window system's close ends the program cleanly.
    PostMessageW(main, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process, 10000) != WAIT_OBJECT_0)
        return fail("program still running"), 1;
    DWORD code = 1;
    GetExitCodeProcess(process, &code);
    expectEq(code, DWORD{0}, "exit code " + std::to_string(code));
    return failures ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::printf("usage: %s Gridlark.exe\n", argv[0]);
        return 2;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    std::wstring command = L"\"" + windowsPath(argv[1]) + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
        std::printf("FAIL: cannot start %s: %lu\n", argv[1], GetLastError());
        return 1;
    }
    const int result = play(pi.hProcess, pi.dwProcessId);
    if (WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    CoUninitialize();
    std::printf(result == 0 ? "win32_accessible: ok\n" : "win32_accessible: FAILED\n");
    return result;
}
