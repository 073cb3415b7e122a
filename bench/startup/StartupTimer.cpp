// Start-up time: from starting a program to its first window shown on the X display,
// for QelEditor (a copy in an empty folder of its own, so no settings are read and no
// document is opened) and for the minimal Qt editor built beside it. Each program is
// started RUNS times (20 by default), alternating, after one start of each to warm the
// file cache; each run ends with the program killed. Needs an X display ($DISPLAY):
// scripts/bench.sh runs it under Xvfb.
//
//     startup_bench [RUNS]
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

class Display {
public:
    Display() : connection_(xcb_connect(nullptr, nullptr)) {
        if (xcb_connection_has_error(connection_)) {
            std::fprintf(stderr, "startup_bench: no X display (set DISPLAY)\n");
            std::exit(2);
        }
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        // Every top-level window mapped on the display is reported to us.
        const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(connection_);
    }
    ~Display() { xcb_disconnect(connection_); }

    // Waits until a top-level window is mapped; false after `timeout`.
    bool waitForMap(Clock::time_point deadline) {
        for (;;) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
                const bool mapped = (event->response_type & 0x7F) == XCB_MAP_NOTIFY;
                std::free(event);
                if (mapped)
                    return true;
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0)
                return false;
            pollfd fd{xcb_get_file_descriptor(connection_), POLLIN, 0};
            poll(&fd, 1, int(left.count()));
        }
    }
    void drain() {
        xcb_flush(connection_);
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection_))
            std::free(event);
    }

private:
    xcb_connection_t* connection_;
    xcb_window_t root_ = 0;
};

// Milliseconds from fork to the first window mapped, or nothing when none was.
std::optional<double> timeStart(Display& display, const std::string& program) {
    display.drain();
    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        // What the programs print would mix with the figures.
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    const bool shown = display.waitForMap(start + std::chrono::seconds(20));
    const Clock::time_point end = Clock::now();
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    display.drain();
    if (!shown)
        return std::nullopt;
    return std::chrono::duration<double, std::milli>(end - start).count();
}

void report(const char* name, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    std::printf("%-16s runs %2zu  min %6.1f ms  median %6.1f ms  max %6.1f ms\n", name,
                times.size(), times.front(), times[times.size() / 2], times.back());
}

} // namespace

int main(int argc, char* argv[]) {
    const QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const QDir here(QCoreApplication::applicationDirPath());

    // QelEditor keeps its settings in its own folder: a copy in an empty one starts
    // as on a first run.
    const QTemporaryDir folder;
    const QString copy = folder.filePath(QStringLiteral("QelEditor"));
    if (!folder.isValid() || !QFile::copy(here.filePath(QStringLiteral("QelEditor")), copy)) {
        std::fprintf(stderr, "startup_bench: cannot copy QelEditor beside a fresh folder\n");
        return 2;
    }
    const struct {
        const char* name;
        std::string path;
    } programs[] = {
        {"QelEditor", copy.toStdString()},
        {"minimal editor", here.filePath(QStringLiteral("minimal_editor")).toStdString()},
    };

    Display display;
    std::vector<double> times[2];
    for (int run = -1; run < runs; ++run) {
        for (int p = 0; p < 2; ++p) {
            const std::optional<double> ms = timeStart(display, programs[p].path);
            if (!ms) {
                std::fprintf(stderr, "startup_bench: %s showed no window\n", programs[p].name);
                return 1;
            }
            if (run >= 0) // the first start of each only warms the file cache
                times[p].push_back(*ms);
        }
    }
    std::printf("start to the first window shown, no document:\n");
    for (int p = 0; p < 2; ++p)
        report(programs[p].name, times[p]);
    return 0;
}
