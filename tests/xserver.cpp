// tests/xserver.cpp -- Xvfb, openbox and shell commands for tests.
#include "tests/xserver.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

static pid_t spawn(const char* const argv[]) {
    pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        for (int fd = 3; fd < 256; ++fd) close(fd);
        execvp(argv[0], const_cast<char* const*>(argv));
        _exit(127);
    }
    return pid;
}

static void end(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    for (int i = 0; i < 200; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

// True once the server started as pid owns display n and listens on it.
static bool serving(pid_t pid, int n) {
    FILE* lock = fopen(("/tmp/.X" + std::to_string(n) + "-lock").c_str(), "r");
    if (!lock) return false;
    long owner = 0;
    bool ours = fscanf(lock, "%ld", &owner) == 1 && owner == pid;
    fclose(lock);
    return ours && access(("/tmp/.X11-unix/X" + std::to_string(n)).c_str(), F_OK) == 0;
}

x_server::x_server(int depth, bool window_manager, int width, int height) {
    std::string screen =
        std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(depth);
    // Tests run side by side, so each takes the first display no other server
    // holds; a server that loses the race for a number exits, and the next is tried.
    for (int n = 20 + getpid() % 50; n < 200 && !ok(); ++n) {
        std::string name = ":" + std::to_string(n);
        const char* argv[] = {"Xvfb",      name.c_str(), "-screen",  "0",    screen.c_str(),
                              "-nolisten", "tcp",        "-noreset", nullptr};
        server_ = spawn(argv);
        for (int i = 0; i < 500; ++i) {
            if (waitpid(server_, nullptr, WNOHANG) == server_) {
                server_ = -1;  // lost the race, already reaped
                break;
            }
            if (serving(server_, n)) {
                display_ = name;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (!ok()) {
            end(server_);
            server_ = -1;
        }
    }
    if (ok()) setenv("DISPLAY", display_.c_str(), 1);
    if (ok() && window_manager) {
        const char* wm[] = {"openbox", "--sm-disable", nullptr};
        manager_ = spawn(wm);
        // openbox claims the screen early but manages windows only once it has
        // loaded its theme, the last thing it announces before its main loop.
        for (int i = 0; i < 100 && x_command("xprop -root _OB_THEME | grep -q =", 5); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

x_server::~x_server() {
    end(manager_);
    end(server_);
}

int x_command(const std::string& command, int timeout_s, std::string* output) {
    // The output goes through a file, not a pipe: a process forked meanwhile by
    // another thread (SDL's message box is one) would hold a pipe open for ever.
    char path[] = "/tmp/korvite-x-XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0) return -1;
    close(fd);
    std::string line = "timeout -k 2 " + std::to_string(timeout_s) + " sh -c '" + command + "' >" +
                       path + " 2>/dev/null";
    int status = std::system(line.c_str());
    if (output) {
        output->clear();
        if (FILE* f = fopen(path, "r")) {
            char buffer[512];
            size_t n;
            while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) output->append(buffer, n);
            fclose(f);
        }
    }
    unlink(path);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string x_window(const std::string& title) {
    // xdotool cannot match the UTF-8 title of SDL's message box; xwininfo can.
    for (int i = 0; i < 500; ++i) {
        std::string tree;
        x_command("xwininfo -root -tree", 5, &tree);
        size_t at = tree.find(" \"" + title + "\":");
        if (at != std::string::npos) {
            size_t begin = tree.rfind(' ', at - 1) + 1;
            std::string id = tree.substr(begin, at - begin);
            if (x_command("xwininfo -id " + id + " | grep -q IsViewable", 5) == 0) return id;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return "";
}

bool x_gone(const std::string& id) {
    for (int i = 0; i < 25; ++i) {
        if (x_command("xwininfo -id " + id + " >/dev/null 2>&1", 5) != 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

void x_press_until_gone(const std::string& id, const std::string& keys, bool window_manager) {
    std::string focus = window_manager ? "windowactivate" : "windowfocus";
    for (int i = 0; i < 20 && !id.empty(); ++i) {
        x_command("xdotool " + focus + " " + id + " key " + keys, 5);
        if (x_gone(id)) return;
    }
}
