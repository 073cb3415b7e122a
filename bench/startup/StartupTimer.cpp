// Start-up time: from starting a program to its first window shown on the X display,
// for QelEditor (a copy in an empty folder of its own, so no settings are read) and for
// the minimal Qt editor built beside it. Each program is
// started RUNS times (20 by default), alternating, after one start of each to warm the
// file cache; each run ends with the program killed once it has gone idle. Needs an X
// display ($DISPLAY): scripts/bench.sh runs it under Xvfb.
//
// Besides the time to the window, each run reports when the program went idle (the
// last use of a processor before none for 200 ms) and the processor time it used, all
// threads together: on a machine busy with other work, the truer measure of its own
// cost. With a DOCUMENT, QelEditor opens it from the command line.
//
//     startup_bench [RUNS [DOCUMENT]]
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <signal.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
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

// Processor time of the running threads of process `pid` so far, in nanoseconds (the
// kernel's own account, which is finer than the tick counts of /proc/PID/stat): it
// changes while the program works.
std::int64_t processorTime(pid_t pid) {
    std::int64_t total = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(tasks.filePath(task + QStringLiteral("/schedstat")));
        if (stat.open(QIODevice::ReadOnly))
            total += stat.readAll().split(' ').value(0).toLongLong();
    }
    return total;
}

// One start, in milliseconds: from fork to the first window mapped (a window showing
// the progress of a long load counts); to the moment the program went idle (its last
// use of a processor before none for kQuiet); and the processor time it used by then.
// Nothing when no window was mapped.
struct Start {
    double shown = 0, idle = 0, processor = 0;
    double peakMB = 0; // resident memory at its highest
};
constexpr auto kQuiet = std::chrono::milliseconds(200);

std::optional<Start> timeStart(Display& display, const std::string& program,
                               const std::string& document) {
    display.drain();
    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        // What the programs print would mix with the figures.
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        if (document.empty())
            execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        else
            execl(program.c_str(), program.c_str(), document.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    const bool shown = display.waitForMap(start + std::chrono::seconds(60));
    const Clock::time_point mapped = Clock::now();
    // Idle: the processor time stops growing.
    Clock::time_point lastBusy = mapped;
    std::int64_t used = processorTime(child);
    while (shown && Clock::now() - lastBusy < kQuiet &&
           Clock::now() - mapped < std::chrono::seconds(60)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        const std::int64_t now = processorTime(child);
        if (now != used) {
            used = now;
            lastBusy = Clock::now();
        }
    }
    kill(child, SIGKILL);
    // The processor time of every thread the program had, those that ended included.
    rusage usage{};
    wait4(child, nullptr, 0, &usage);
    display.drain();
    if (!shown)
        return std::nullopt;
    const auto ms = [&](Clock::time_point t) {
        return std::chrono::duration<double, std::milli>(t - start).count();
    };
    const auto seconds = [](const timeval& t) {
        return double(t.tv_sec) + double(t.tv_usec) / 1e6;
    };
    return Start{ms(mapped), ms(lastBusy),
                 (seconds(usage.ru_utime) + seconds(usage.ru_stime)) * 1e3,
                 double(usage.ru_maxrss) / 1024};
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void report(const char* name, const std::vector<Start>& starts) {
    std::vector<double> shown, idle, processor, peak;
    for (const Start& s : starts) {
        shown.push_back(s.shown);
        idle.push_back(s.idle);
        processor.push_back(s.processor);
        peak.push_back(s.peakMB);
    }
    std::sort(shown.begin(), shown.end());
    std::printf("%-16s runs %2zu  shown: min %6.1f  median %6.1f  max %6.1f ms;  idle: median "
                "%6.1f ms;  processor: median %6.1f ms;  peak memory %.0f MB\n",
                name, shown.size(), shown.front(), median(shown), shown.back(), median(idle),
                median(processor), median(peak));
}

} // namespace

int main(int argc, char* argv[]) {
    const QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const std::string document =
        argc > 2 ? QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath().toStdString()
                 : std::string();
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
        std::string document;
    } programs[] = {
        {"QelEditor", copy.toStdString(), document},
        {"minimal editor", here.filePath(QStringLiteral("minimal_editor")).toStdString(), {}},
    };

    Display display;
    std::vector<Start> starts[2];
    for (int run = -1; run < runs; ++run) {
        for (int p = 0; p < 2; ++p) {
            const std::optional<Start> s =
                timeStart(display, programs[p].path, programs[p].document);
            if (!s) {
                std::fprintf(stderr, "startup_bench: %s showed no window\n", programs[p].name);
                return 1;
            }
            if (run >= 0) // the first start of each only warms the file cache
                starts[p].push_back(*s);
        }
    }
    if (document.empty())
        std::printf("start to the first window shown, no document:\n");
    else
        std::printf("start to the first window shown, QelEditor with %s (the minimal editor "
                    "with none):\n",
                    document.c_str());
    for (int p = 0; p < 2; ++p)
        report(programs[p].name, starts[p]);
    std::vector<double> shown[2];
    for (int p = 0; p < 2; ++p)
        for (const Start& s : starts[p])
            shown[p].push_back(s.shown);
    std::printf("median shown, QelEditor / minimal editor: %.2f\n",
                median(shown[0]) / median(shown[1]));
    return 0;
}
