// Time from process start to the first frame on the window: starts the built
// music disk from build/ under an X server of our own (depth 24, or
// KORVITE_BENCH_DEPTH) with first_frame_probe preloaded, waits for the
// probe's note, ends the program and prints each run and the median.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/xserver.h"

namespace {

long long monotonic_ns() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

long long read_note(const std::string& path) {
    std::ifstream in(path);
    long long ns = 0;
    in >> ns;
    return ns;
}

// One run: milliseconds to the first frame, or a negative figure if none came
// within ten seconds.
double one_run(const std::string& note, const std::vector<std::string>& args) {
    unlink(note.c_str());
    long long start = monotonic_ns();
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(KORVITE_BUILD_DIR) != 0) _exit(126);
        setenv("LD_PRELOAD", KORVITE_PROBE, 1);
        setenv("KORVITE_FIRST_FRAME", note.c_str(), 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        std::vector<char*> argv{const_cast<char*>("./musicdisk")};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv("./musicdisk", argv.data());
        _exit(127);
    }
    long long frame = 0;
    for (int i = 0; i < 2000 && !(frame = read_note(note)); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    return frame ? (frame - start) / 1e6 : -1.0;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? atoi(argv[1]) : 15;
    const char* depth = getenv("KORVITE_BENCH_DEPTH");
    x_server server(depth ? atoi(depth) : 24);
    if (!server.ok()) {
        fprintf(stderr, "first_frame: no X server\n");
        return 1;
    }
    std::string note = "/tmp/korvite-first-frame-" + std::to_string(getpid());
    const std::vector<std::vector<std::string>> modes = {{}, {"-gdi"}};
    for (const auto& args : modes) {
        std::vector<double> times;
        for (int i = 0; i < runs; ++i) times.push_back(one_run(note, args));
        std::sort(times.begin(), times.end());
        printf("%-6s runs %d  min %.1f ms  median %.1f ms  max %.1f ms\n",
               args.empty() ? "ddraw" : "gdi", runs, times.front(), times[times.size() / 2],
               times.back());
    }
    unlink(note.c_str());
    return 0;
}
