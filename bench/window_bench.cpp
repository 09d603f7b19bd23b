// zentrola-window-bench: the window from outside, as a user meets it. It starts the program
// with --quit-after-start many times and takes the wall time to the first paint and the
// peak memory, beside an empty Qt window started the same way; then it lets the window run
// with the virtual unit streaming live data and takes the CPU time it used, without and then
// with the live chart shown.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Run {
    double wallMs;
    double cpuMs;
    long peakKb;
};

// Starts the program, optionally stops it after `seconds`, and collects what it used.
Run run(const std::vector<std::string>& argv, double seconds = 0) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> args;
        for (const std::string& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        std::freopen("/dev/null", "w", stderr);
        execv(args[0], args.data());
        _exit(127);
    }
    if (seconds > 0) {
        usleep(static_cast<useconds_t>(seconds * 1e6));
        kill(pid, SIGTERM);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    const double cpu = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                       (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    return {std::chrono::duration<double, std::milli>(end - start).count(), cpu, usage.ru_maxrss};
}

void report(const char* what, std::vector<Run> runs) {
    std::sort(runs.begin(), runs.end(),
              [](const Run& a, const Run& b) { return a.wallMs < b.wallMs; });
    long peak = 0;
    for (const Run& r : runs)
        peak = std::max(peak, r.peakKb);
    std::printf("%-34s median %6.1f ms   min %6.1f ms   max %6.1f ms   peak memory %5.1f MB\n",
                what, runs[runs.size() / 2].wallMs, runs.front().wallMs, runs.back().wallMs,
                static_cast<double>(peak) / 1024.0);
}

} // namespace

int main(int argc, char* argv[]) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 20;
    const double streamSeconds = argc > 2 ? std::atof(argv[2]) : 20;
    char config[] = "/tmp/zentrola-window-bench-XXXXXX";
    if (!mkdtemp(config))
        return 1;
    setenv("ZENTROLA_CONFIG_DIR", config, 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);

    std::vector<Run> bare, window;
    for (int i = 0; i < runs; ++i) {
        bare.push_back(run({ZENTROLA_BARE_EXE}));
        window.push_back(run({ZENTROLA_WINDOW_EXE, "--demo", "--quit-after-start"}));
    }
    std::printf("Start to the first painted window, %d runs each (QT_QPA_PLATFORM=%s):\n", runs,
                std::getenv("QT_QPA_PLATFORM"));
    report("empty Qt window", bare);
    report("zentrola --demo --quit-after-start", window);

    const Run stream = run({ZENTROLA_WINDOW_EXE, "--demo"}, streamSeconds);
    // The start's own CPU time is taken off, so what remains is the window at work.
    std::sort(window.begin(), window.end(),
              [](const Run& a, const Run& b) { return a.cpuMs < b.cpuMs; });
    const Run& start = window[window.size() / 2];
    std::printf(
        "\nzentrola --demo streaming live data for %.0f s: CPU %.0f ms in all = %.2f %% of one "
        "core;\nwithout the start (%.0f ms CPU): %.2f %% of one core\n",
        stream.wallMs / 1e3, stream.cpuMs, 100.0 * stream.cpuMs / stream.wallMs, start.cpuMs,
        100.0 * (stream.cpuMs - start.cpuMs) / (stream.wallMs - start.wallMs));
    // The same with the live chart shown, as the settings file remembers it.
    std::ofstream(std::string(config) + "/ZENTROLA_v92.ini")
        << "[BASIC]\r\nMenuLiveChart->Checked=1\r\n";
    const Run chart = run({ZENTROLA_WINDOW_EXE, "--demo"}, streamSeconds);
    std::printf(
        "zentrola --demo with the live chart shown, %.0f s: CPU %.0f ms in all = %.2f %% of one "
        "core;\nwithout the start: %.2f %% of one core\n",
        chart.wallMs / 1e3, chart.cpuMs, 100.0 * chart.cpuMs / chart.wallMs,
        100.0 * (chart.cpuMs - start.cpuMs) / (chart.wallMs - start.wallMs));
    std::string cleanup = std::string("rm -rf ") + config;
    return std::system(cleanup.c_str()) == 0 ? 0 : 1;
}
