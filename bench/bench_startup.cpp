// Time from process start to the first window being mapped, for tolvan and for a minimal Qt
// dialog program started the same way. Runs under an X server (DISPLAY), alternating the two
// programs so that both see the same machine load.
//
//   bench_startup <runs> <program> <floor program>
//
// The map is seen as a MapNotify on the root window, so no polling delay enters the figures.
// Each program is killed once its window is up; tolvan then clears the marker the killed copy
// left behind at its next start, as it would after any crash.

#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double startToMap(Display *display, const char *program, const char *workDir)
{
    XSync(display, True);
    const Clock::time_point start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(workDir) != 0 || !freopen("/dev/null", "w", stderr))
            _exit(127);
        execl(program, program, static_cast<char *>(nullptr));
        _exit(127);
    }
    double milliseconds = -1;
    while (milliseconds < 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && !event.xmap.override_redirect)
            milliseconds = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return milliseconds;
}

struct Summary
{
    double median;
    double mean;
    double min;
};

Summary summarize(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    double sum = 0;
    for (double value : values)
        sum += value;
    return {values[values.size() / 2], sum / double(values.size()), values.front()};
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <runs> <program> <floor program>\n", argv[0]);
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    Display *display = XOpenDisplay(nullptr);
    if (!display || runs < 1) {
        std::fprintf(stderr, "no X display (set DISPLAY) or no runs\n");
        return 2;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    char workDir[] = "/tmp/bench_startup.XXXXXX";
    if (!mkdtemp(workDir))
        return 2;

    // One unmeasured start each warms the page cache and the font cache.
    startToMap(display, argv[2], workDir);
    startToMap(display, argv[3], workDir);
    std::vector<double> program, floor;
    for (int i = 0; i < runs; ++i) {
        program.push_back(startToMap(display, argv[2], workDir));
        floor.push_back(startToMap(display, argv[3], workDir));
    }
    const Summary p = summarize(program);
    const Summary f = summarize(floor);
    std::printf("%-8s runs %d  median %7.1f ms  mean %7.1f ms  min %7.1f ms\n", "tolvan", runs,
        p.median, p.mean, p.min);
    std::printf("%-8s runs %d  median %7.1f ms  mean %7.1f ms  min %7.1f ms\n", "floor", runs,
        f.median, f.mean, f.min);
    std::printf("median ratio tolvan/floor: %.2f\n", p.median / f.median);
    XCloseDisplay(display);
    return 0;
}
