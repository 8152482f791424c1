// A screen reader's game of Gridlark.exe through Microsoft Active Accessibility, from a process of
// its own: it starts the program, reads the windowless children of its window through
// AccessibleObjectFromWindow, plays a won game by the cells' default actions alone (the mouse
// pointer stays where it was, away from the board), hears the changes and the notice's alert
// through a window-event hook, and sees the board cleared. Usage: AccessibleClient Gridlark.exe
#include "tests/win32/Msaa.hpp"

#include <chrono>
#include <cstdio>
#include <cwchar>
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

std::wstring roleText(LONG role) {
    wchar_t text[64] = L"";
    GetRoleTextW(static_cast<DWORD>(role), text, 64);
    return text;
}

void dump(const Node& n, int depth) {
    std::printf("%*s[%s] '%s'", depth * 2, "", utf8(roleText(n.role())).c_str(),
                utf8(n.name()).c_str());
    if (const auto v = n.value(); !v.empty()) std::printf(" value '%s'", utf8(v).c_str());
    if (const auto d = n.description(); !d.empty())
        std::printf(" description '%s'", utf8(d).c_str());
    if (const auto a = n.action(); !a.empty()) std::printf(" action '%s'", utf8(a).c_str());
    std::printf("\n");
    for (const Node& c : n.children())
        dump(c, depth + 1);
}

const Node* byRole(const std::vector<Node>& nodes, LONG role) {
    for (const Node& n : nodes)
        if (n.role() == role) return &n;
    return nullptr;
}

struct Search {
    DWORD pid;
    HWND except;
    std::wstring title; // empty: any
    HWND found = nullptr;
};

BOOL CALLBACK match(HWND hwnd, LPARAM lParam) {
    auto& s = *reinterpret_cast<Search*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    wchar_t cls[64] = L"", title[128] = L"";
    GetClassNameW(hwnd, cls, 64);
    GetWindowTextW(hwnd, title, 128);
    if (pid == s.pid && hwnd != s.except && IsWindowVisible(hwnd) &&
        std::wcscmp(cls, L"GridlarkForm") == 0 && (s.title.empty() || s.title == title)) {
        s.found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND waitWindow(DWORD pid, HWND except, const std::wstring& title, int ms) {
    for (int waited = 0; waited <= ms; waited += 50) {
        Search s{pid, except, title};
        EnumWindows(match, reinterpret_cast<LPARAM>(&s));
        if (s.found) return s.found;
        pump(50);
    }
    return nullptr;
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

bool heard(DWORD event, HWND hwnd, LONG object, LONG childId) {
    for (const Event& e : events)
        if (e.event == event && e.hwnd == hwnd && e.object == object && e.child == childId)
            return true;
    return false;
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
    const HWND main = waitWindow(pid, nullptr, L"DarIzoDiv", 20000);
    if (!main) {
        fail("no main window");
        return 1;
    }
    RECT board{};
    GetWindowRect(main, &board);
    // The pointer goes to the screen's far corner, away from the window, and must stay there.
    // (Under Wine the move reaches the X server a moment later: until then the old place shows.)
    const POINT corner{GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1};
    POINT cursor{};
    for (int tries = 0; tries < 40; ++tries) {
        SetCursorPos(corner.x, corner.y);
        pump(50);
        GetCursorPos(&cursor);
        if (cursor.x == corner.x && cursor.y == corner.y) break;
    }
    if (PtInRect(&board, cursor)) fail("the pointer starts over the window");

    const Acc client = accessibleOf(main);
    if (!client) return fail("no object from AccessibleObjectFromWindow"), 1;
    HRESULT hr = S_OK;
    const Node root{client, CHILDID_SELF};
    std::printf("The main window's client area:\n");
    dump(root, 1);

    expectEq(root.name(), std::wstring(L"DarIzoDiv"), "client name");
    expectEq(root.role(), ROLE_SYSTEM_CLIENT, "client role");
    const auto top = root.children();
    // First the native children, as the window system's own objects (the push button's and the
    // check box's on Windows; Wine 8's proxy knows no button class, and calls them clients).
    if (top.size() != 5) return fail("children of the client: " + std::to_string(top.size())), 1;
    for (std::size_t i = 0; i < 2; ++i) {
        const Node& n = top[i];
        const std::wstring name = n.name();
        const LONG role = n.role(),
                   want = name == L"CPU" ? ROLE_SYSTEM_CHECKBUTTON : ROLE_SYSTEM_PUSHBUTTON;
        if (n.id != CHILDID_SELF || (name != L"Reset" && name != L"CPU"))
            fail("child " + std::to_string(i) + " is not the native Reset or CPU: " + utf8(name));
        if (role != want && role != ROLE_SYSTEM_CLIENT)
            fail(utf8(name) + " has role " + utf8(roleText(role)));
        if (role == ROLE_SYSTEM_CHECKBUTTON && (n.state() & STATE_SYSTEM_CHECKED))
            fail("CPU is checked");
    }
    if (top[0].name() == top[1].name()) fail("Reset or CPU twice");
    const Node* turn = byRole(top, ROLE_SYSTEM_STATICTEXT);
    const Node* link = byRole(top, ROLE_SYSTEM_LINK);
    const Node* table = byRole(top, ROLE_SYSTEM_TABLE);
    Acc gridAcc = table ? table->acc : Acc();
    if (!turn) return fail("no turn text"), 1;
    // Either mark may start.
    const std::wstring firstTurn = turn->name();
    if (firstTurn != L"X's turn" && firstTurn != L"O's turn") fail("turn text " + utf8(firstTurn));
    const std::wstring first = firstTurn.substr(0, 1), second = first == L"X" ? L"O" : L"X";
    if (!link) return fail("no link"), 1;
    expectEq(link->name(), std::wstring(L"More at Fernwick"), "link name");
    expectEq(link->action(), std::wstring(L"Press"), "link action");
    if (!(link->state() & STATE_SYSTEM_LINKED)) fail("link not linked");
    if (!gridAcc) return fail("no grid object"), 1;
    const Node grid{gridAcc, CHILDID_SELF};
    expectEq(grid.name(), std::wstring(L"Board"), "grid name");
    expectEq(grid.description(), std::wstring(), "grid description before a move");
    const auto cells = grid.children();
    const wchar_t* names[] = {L"top left",    L"top middle",    L"top right",
                              L"middle left", L"centre",        L"middle right",
                              L"bottom left", L"bottom middle", L"bottom right"};
    if (cells.size() != 9) return fail("cells: " + std::to_string(cells.size())), 1;
    for (std::size_t i = 0; i < 9; ++i) {
        const Node& c = cells[i];
        expectEq(c.name(), std::wstring(names[i]), "cell " + std::to_string(i) + " name");
        expectEq(c.role(), ROLE_SYSTEM_CELL, "cell role");
        expectEq(c.value(), std::wstring(L"empty"), "cell value before a move");
        expectEq(c.action(), std::wstring(L"Press"), "cell action");
        // Where the cell is on the screen, inside the window.
        const RECT r = c.location();
        RECT inside{};
        if (r.right - r.left < 20 || !IntersectRect(&inside, &r, &board) || !EqualRect(&inside, &r))
            fail("cell " + std::to_string(i) + " is not on the window");
    }
    {
        // A hit test at a cell's centre finds it.
        const RECT r = cells[4].location();
        VARIANT at;
        VariantInit(&at);
        grid.acc->accHitTest((r.left + r.right) / 2, (r.top + r.bottom) / 2, &at);
        if (at.vt != VT_I4 || at.lVal != cells[4].id) fail("hit test of the centre");
        VariantClear(&at);
    }

    // A game by default actions alone: whoever starts takes the top row.
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_SYSTEM_ALERT, EVENT_OBJECT_VALUECHANGE,
                                               nullptr, hear, pid, 0, WINEVENT_OUTOFCONTEXT);
    if (!hook) fail("no window-event hook");
    const std::wstring marks[] = {first, second, first, second, first};
    const int moves[] = {0, 3, 1, 4, 2};
    std::chrono::steady_clock::time_point wonAt;
    for (int m = 0; m < 5; ++m) {
        const Node& c = cells[static_cast<std::size_t>(moves[m])];
        if (FAILED(hr = c.press())) fail("press " + utf8(c.name()) + ": " + std::to_string(hr));
        if (m == 4) wonAt = std::chrono::steady_clock::now();
        expectEq(c.value(), marks[m], utf8(c.name()) + " after its press");
        if (m == 0) expectEq(turn->name(), second + L"'s turn", "turn after the first move");
    }
    // A taken cell stays as it is.
    cells[0].press();
    expectEq(cells[0].value(), first, "a second press on a taken cell");
    expectEq(grid.description(), std::wstring(L"top row struck through"), "grid after the win");

    const HWND noticeWindow = waitWindow(pid, main, L"", 2000);
    if (!noticeWindow) return fail("no notice window"), 1;
    const Acc notice = accessibleOf(noticeWindow);
    if (!notice) return fail("no notice object"), 1;
    const Node alert{notice, CHILDID_SELF};
    std::printf("The notice:\n");
    dump(alert, 1);
    expectEq(alert.role(), ROLE_SYSTEM_ALERT, "notice role");
    expectEq(alert.name(), L"Game will now reset\n" + first + L" wins!\nGridlark by Fernwick",
             "notice name");

    pump(200); // the events come as messages
    std::printf("Window events heard: %zu\n", events.size());
    if (!heard(EVENT_SYSTEM_ALERT, noticeWindow, OBJID_CLIENT, CHILDID_SELF))
        fail("no alert event for the notice");
    for (int m = 0; m < 5; ++m)
        if (!heard(EVENT_OBJECT_VALUECHANGE, main, 1, moves[m] + 1))
            fail("no value change for cell " + std::to_string(moves[m]));
    if (!heard(EVENT_OBJECT_DESCRIPTIONCHANGE, main, 1, CHILDID_SELF))
        fail("no description change for the grid");
    if (!heard(EVENT_OBJECT_NAMECHANGE, main, OBJID_CLIENT, turn->id))
        fail("no name change for the turn text");

    // The notice clears the board about 1.5 s after the win, and goes.
    bool cleared = false;
    long long clearedMs = 0;
    while (!cleared && clearedMs < 5000) {
        pump(50);
        clearedMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - wonAt)
                        .count();
        cleared = true;
        for (const Node& c : cells)
            cleared = cleared && c.value() == L"empty";
    }
    std::printf("Board empty again %lld ms after the winning move\n", clearedMs);
    if (!cleared) fail("board not cleared");
    if (clearedMs < 1200 || clearedMs > 3500) fail("cleared after " + std::to_string(clearedMs));
    expectEq(grid.description(), std::wstring(), "grid description after the reset");
    for (int waited = 0; IsWindow(noticeWindow) && IsWindowVisible(noticeWindow) && waited < 2000;
         waited += 50)
        pump(50);
    if (IsWindow(noticeWindow) && IsWindowVisible(noticeWindow)) fail("notice still shown");
    // The notice's object outlived its window: it answers, with an error.
    BSTR stale = nullptr;
    hr = notice->get_accName(childId(CHILDID_SELF), &stale);
    std::printf("The notice's object after its window went: 0x%08lx\n",
                static_cast<unsigned long>(hr));
    if (SUCCEEDED(hr)) fail("the gone notice still answers");
    SysFreeString(stale);

    POINT after{};
    GetCursorPos(&after);
    if (after.x != cursor.x || after.y != cursor.y) fail("the pointer moved");
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
