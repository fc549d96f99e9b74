// Starts a program on the X display and reports when its first top-level window (or the one
// with a given title) is mapped, counted from just before the program is started, and its
// memory at that moment (and optionally a while later). Then it ends the program.
//
//   mapwatch [--title TITLE] [--settle-ms N] [--timeout-ms N] -- PROGRAM [ARGS...]
//
// Prints one line: map_ms=<ms> hwm_kb=<peak resident> rss_kb=<resident>.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
    std::string title;  // empty: the first window mapped
    int settleMs = 0;
    int timeoutMs = 30000;
    char** command = nullptr;
};

std::optional<Options> parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--" && i + 1 < argc) {
            o.command = argv + i + 1;
            return o;
        }
        if (i + 1 >= argc) return std::nullopt;
        if (arg == "--title")
            o.title = argv[++i];
        else if (arg == "--settle-ms")
            o.settleMs = std::atoi(argv[++i]);
        else if (arg == "--timeout-ms")
            o.timeoutMs = std::atoi(argv[++i]);
        else
            return std::nullopt;
    }
    return std::nullopt;
}

std::string windowTitle(Display* display, Window window) {
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count,
                           &after, &data) == Success &&
        data) {
        title.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
    }
    return title;
}

// "VmHWM" and "VmRSS" of /proc/<pid>/status, in kB.
std::pair<long, long> memoryKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    long hwm = -1, rss = -1;
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) hwm = std::atol(line.c_str() + 6);
        if (line.rfind("VmRSS:", 0) == 0) rss = std::atol(line.c_str() + 6);
    }
    return {hwm, rss};
}

}  // namespace

int main(int argc, char** argv) {
    const auto options = parse(argc, argv);
    if (!options) {
        std::fprintf(
            stderr, "usage: mapwatch [--title T] [--settle-ms N] [--timeout-ms N] -- PROGRAM...\n");
        return 2;
    }
    // The server may still be busy with the previous run's connections: try a few times.
    Display* display = nullptr;
    for (int attempt = 0; attempt < 20 && !display; ++attempt) {
        display = XOpenDisplay(nullptr);
        if (!display) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!display) {
        std::fprintf(stderr, "mapwatch: no X display\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const auto started = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(options->command[0], options->command);
        std::perror("mapwatch: exec");
        _exit(127);
    }

    std::optional<Clock::time_point> mapped;
    const auto deadline = started + std::chrono::milliseconds(options->timeoutMs);
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    while (!mapped && Clock::now() < deadline) {
        if (!XPending(display)) {
            poll(&connection, 1, 50);
            if (waitpid(child, nullptr, WNOHANG) == child) {
                std::fprintf(stderr, "mapwatch: the program ended before mapping a window\n");
                return 1;
            }
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != MapNotify || event.xmap.event != root) continue;
        if (!options->title.empty() && windowTitle(display, event.xmap.window) != options->title)
            continue;
        mapped = Clock::now();
    }
    int status = 1;
    if (mapped) {
        std::this_thread::sleep_for(std::chrono::milliseconds(options->settleMs));
        const auto [hwm, rss] = memoryKb(child);
        const double ms = std::chrono::duration<double, std::milli>(*mapped - started).count();
        std::printf("map_ms=%.1f hwm_kb=%ld rss_kb=%ld\n", ms, hwm, rss);
        status = 0;
    } else {
        std::fprintf(stderr, "mapwatch: no window mapped in time\n");
    }
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    XCloseDisplay(display);
    return status;
}
