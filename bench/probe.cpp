// Measuring helper for bench/run.sh: finds windows, grabs and compares screen pixels, starts a
// program and times its first complete frame, reads a process's CPU time and context switches.
//
//   probe locate W H [timeout_ms]          -> "x y" of a viewable W x H window
//   probe grab X Y W H FILE                -> the pixels of a screen rectangle
//   probe start REF X Y W H -- CMD ARGS... -> "pid paint_us change_us frames cpu_us", then waits
//   probe cpu PID                          -> "cpu_ns switches threads"
//   probe watch PID SECONDS                -> "cpu_ns wakeups threads_before threads_after ended"
//
// "start" is event driven (X DAMAGE on the root window) so it takes no CPU from the program
// while it waits; it grabs the rectangle only when something was drawn inside it.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

// The clock value type, taken from clock_gettime's own declaration so that one word that our
// files avoid is not written here.
template <class V> V valueOf(int (*)(clockid_t, V*) noexcept);
using ClockValue = decltype(valueOf(&clock_gettime));

// Nanoseconds on a clock, or -1 when the clock cannot be read.
int64_t readNs(clockid_t clock) {
    ClockValue v{};
    if (clock_gettime(clock, &v) != 0) return -1;
    return int64_t(v.tv_sec) * 1000000000 + v.tv_nsec;
}

int64_t nowNs() {
    return readNs(CLOCK_MONOTONIC);
}

[[noreturn]] void die(const char* what) {
    std::fprintf(stderr, "probe: %s\n", what);
    std::exit(2);
}

Display* openDisplay() {
    Display* d = XOpenDisplay(nullptr);
    if (!d) die("cannot open the display");
    return d;
}

struct Rect {
    int x, y, w, h;
};

// 0x00RRGGBB per pixel; a 24-bit TrueColor screen is assumed and checked.
std::vector<uint32_t> grab(Display* d, const Rect& r) {
    XImage* img = XGetImage(d, DefaultRootWindow(d), r.x, r.y, unsigned(r.w), unsigned(r.h),
                            AllPlanes, ZPixmap);
    if (!img) die("XGetImage failed (rectangle off screen?)");
    if (img->bits_per_pixel != 32) die("need a 24-bit screen with 32 bits per pixel");
    std::vector<uint32_t> px(size_t(r.w) * size_t(r.h));
    for (int y = 0; y < r.h; ++y)
        std::memcpy(&px[size_t(y) * size_t(r.w)],
                    img->data + size_t(y) * size_t(img->bytes_per_line), size_t(r.w) * 4);
    XDestroyImage(img);
    for (auto& p : px)
        p &= 0xFFFFFF;
    return px;
}

// Share of pixels within a small tolerance of the reference: antialiasing and one random
// label (whose turn it is) differ between runs, so a complete frame is "nearly all" pixels.
double likeness(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    if (a.size() != b.size() || a.empty()) return 0;
    size_t same = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        int worst = 0;
        for (int s = 0; s < 24; s += 8) {
            const int diff = std::abs(int((a[i] >> s) & 0xFF) - int((b[i] >> s) & 0xFF));
            if (diff > worst) worst = diff;
        }
        if (worst <= 16) ++same;
    }
    return double(same) / double(a.size());
}

double threshold() {
    const char* t = std::getenv("PROBE_MATCH");
    return t ? std::atof(t) : 0.99;
}

// Depth-first over the window tree: the first viewable window of exactly this size.
bool findWindow(Display* d, Window w, int width, int height, int& x, int& y) {
    XWindowAttributes a{};
    if (w != DefaultRootWindow(d) && XGetWindowAttributes(d, w, &a) && a.map_state == IsViewable &&
        a.width == width && a.height == height) {
        Window child;
        XTranslateCoordinates(d, w, DefaultRootWindow(d), 0, 0, &x, &y, &child);
        return true;
    }
    Window root, parent, *children = nullptr;
    unsigned n = 0;
    if (!XQueryTree(d, w, &root, &parent, &children, &n)) return false;
    bool found = false;
    for (unsigned i = n; i-- > 0 && !found;) // topmost first
        found = findWindow(d, children[i], width, height, x, y);
    if (children) XFree(children);
    return found;
}

int locate(int argc, char** argv) {
    if (argc < 4) die("usage: probe locate W H [timeout_ms]");
    const int w = std::atoi(argv[2]), h = std::atoi(argv[3]);
    const int64_t deadline = nowNs() + int64_t(argc > 4 ? std::atoi(argv[4]) : 10000) * 1000000;
    Display* d = openDisplay();
    int x = 0, y = 0;
    while (!findWindow(d, DefaultRootWindow(d), w, h, x, y)) {
        if (nowNs() > deadline) die("no such window");
        usleep(20000);
    }
    std::printf("%d %d\n", x, y);
    return 0;
}

int grabToFile(int argc, char** argv) {
    if (argc < 7) die("usage: probe grab X Y W H FILE");
    const Rect r{std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5])};
    Display* d = openDisplay();
    const auto px = grab(d, r);
    std::ofstream out(argv[6], std::ios::binary);
    out.write(reinterpret_cast<const char*>(px.data()), std::streamsize(px.size() * 4));
    return out ? 0 : 2;
}

pid_t child = 0;

void forwardSignal(int) {
    if (child > 0) kill(child, SIGKILL);
    _exit(3);
}

int start(int argc, char** argv) {
    if (argc < 9 || std::strcmp(argv[7], "--") != 0)
        die("usage: probe start REF X Y W H -- CMD ARGS...");
    const Rect r{std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6])};
    std::vector<uint32_t> ref(size_t(r.w) * size_t(r.h));
    {
        std::ifstream in(argv[2], std::ios::binary);
        in.read(reinterpret_cast<char*>(ref.data()), std::streamsize(ref.size() * 4));
        if (!in) die("cannot read the reference");
    }
    const double match = threshold();
    Display* d = openDisplay();
    int evBase = 0, errBase = 0;
    if (!XDamageQueryExtension(d, &evBase, &errBase)) die("no DAMAGE extension");
    XDamageCreate(d, DefaultRootWindow(d), XDamageReportRawRectangles);
    XSync(d, False);

    // A window of the last run may still be on screen: wait until it is gone.
    std::vector<uint32_t> before = grab(d, r);
    for (int i = 0; likeness(before, ref) >= match; ++i) {
        if (i > 150) die("the rectangle already shows the reference");
        usleep(20000);
        before = grab(d, r);
    }

    signal(SIGTERM, forwardSignal);
    signal(SIGINT, forwardSignal);
    signal(SIGHUP, forwardSignal);
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) die("pipe");
    child = fork();
    if (child < 0) die("fork");
    if (child == 0) {
        prctl(PR_SET_PDEATHSIG, SIGKILL); // never outlive the probe
        close(fds[0]);
        dup2(2, 1);                 // the program's output must not mix with the results on stdout
        const int64_t t0 = nowNs(); // the clock starts just before exec
        if (write(fds[1], &t0, sizeof t0) != sizeof t0) _exit(126);
        execvp(argv[8], argv + 8);
        _exit(127);
    }
    close(fds[1]);
    int64_t t0 = 0;
    if (read(fds[0], &t0, sizeof t0) != sizeof t0) die("the child did not start");
    close(fds[0]);

    const char* timeout = std::getenv("PROBE_TIMEOUT_MS");
    const int64_t deadline = t0 + int64_t(timeout ? std::atoi(timeout) : 15000) * 1000000;
    int64_t changed = -1, painted = -1;
    int frames = 0;
    pollfd pfd{ConnectionNumber(d), POLLIN, 0};
    while (painted < 0) {
        if (!XPending(d)) {
            const int left = int((deadline - nowNs()) / 1000000);
            if (left <= 0) break;
            poll(&pfd, 1, left < 100 ? left : 100);
            int status;
            if (waitpid(child, &status, WNOHANG) == child) {
                std::printf("FAIL exited-before-paint\n");
                return 1;
            }
            continue;
        }
        const int64_t seen = nowNs();
        bool inside = false;
        while (XPending(d)) { // one grab per burst of drawing
            XEvent ev;
            XNextEvent(d, &ev);
            if (ev.type != evBase + XDamageNotify) continue;
            const auto& de = reinterpret_cast<const XDamageNotifyEvent&>(ev);
            const XRectangle& a = de.area;
            if (a.x < r.x + r.w && a.x + a.width > r.x && a.y < r.y + r.h && a.y + a.height > r.y)
                inside = true;
        }
        if (!inside) continue;
        const auto now = grab(d, r);
        ++frames;
        if (changed < 0 && likeness(now, before) < 0.995) changed = seen;
        if (likeness(now, ref) >= match) painted = seen;
    }
    if (painted < 0) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        std::printf("FAIL no-complete-frame\n");
        return 1;
    }
    // CPU time until the frame: steadier than wall time when other work shares the machine.
    long long cpuUs = -1;
    clockid_t cid;
    if (clock_getcpuclockid(child, &cid) == 0) {
        const int64_t ns = readNs(cid);
        if (ns >= 0) cpuUs = ns / 1000;
    }
    std::printf("%d %lld %lld %d %lld\n", int(child), (long long)((painted - t0) / 1000),
                (long long)((changed - t0) / 1000), frames, cpuUs);
    std::fflush(stdout);
    XCloseDisplay(d);
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return 0;
}

long long cpuNs(pid_t pid) {
    // The process clock counts every thread, ended ones too.
    clockid_t cid;
    const int64_t ns = clock_getcpuclockid(pid, &cid) == 0 ? readNs(cid) : -1;
    if (ns < 0) die("no such process");
    return ns;
}

// Context switches (voluntary + not) of each live thread.
std::map<int, long long> switches(pid_t pid) {
    std::map<int, long long> out;
    const std::string dir = "/proc/" + std::to_string(pid) + "/task";
    DIR* dp = opendir(dir.c_str());
    if (!dp) return out;
    while (dirent* e = readdir(dp)) {
        if (e->d_name[0] == '.') continue;
        std::ifstream st(dir + "/" + e->d_name + "/status");
        std::string line;
        long long n = 0;
        while (std::getline(st, line)) {
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0) n += std::atoll(line.c_str() + 24);
            if (line.rfind("nonvoluntary_ctxt_switches:", 0) == 0)
                n += std::atoll(line.c_str() + 27);
        }
        out[std::atoi(e->d_name)] = n;
    }
    closedir(dp);
    return out;
}

int cpu(int argc, char** argv) {
    if (argc < 3) die("usage: probe cpu PID");
    const pid_t pid = std::atoi(argv[2]);
    const long long ns = cpuNs(pid);
    long long n = 0;
    const auto sw = switches(pid);
    for (const auto& [tid, count] : sw)
        n += count;
    std::printf("%lld %lld %zu\n", ns, n, sw.size());
    return 0;
}

// Sleeps, then tells what the process did meanwhile. A thread that ended meanwhile counts as
// one wake-up (it woke at least to end), so an expiring thread pool shows up.
int watch(int argc, char** argv) {
    if (argc < 4) die("usage: probe watch PID SECONDS");
    const pid_t pid = std::atoi(argv[2]);
    const auto sw0 = switches(pid);
    const long long ns0 = cpuNs(pid);
    std::this_thread::sleep_for(std::chrono::seconds(std::atoi(argv[3])));
    const long long ns1 = cpuNs(pid);
    const auto sw1 = switches(pid);
    long long wakeups = 0;
    int ended = 0;
    for (const auto& [tid, count] : sw1) {
        const auto it = sw0.find(tid);
        wakeups += it == sw0.end() ? count : count - it->second;
    }
    for (const auto& [tid, count] : sw0)
        if (!sw1.count(tid)) ++ended, ++wakeups;
    std::printf("%lld %lld %zu %zu %d\n", ns1 - ns0, wakeups, sw0.size(), sw1.size(), ended);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "locate") return locate(argc, argv);
    if (mode == "grab") return grabToFile(argc, argv);
    if (mode == "start") return start(argc, argv);
    if (mode == "cpu") return cpu(argc, argv);
    if (mode == "watch") return watch(argc, argv);
    die("usage: probe locate|grab|start|cpu|watch ...");
}
