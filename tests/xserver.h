// tests/xserver.h -- an X server of the test's own (Xvfb at a chosen depth),
// optionally with a window manager, and commands run against it with a time
// limit. The server and the manager end with the object.
#pragma once
#include <sys/types.h>

#include <string>

class x_server {
  public:
    explicit x_server(int depth = 24, bool window_manager = false, int width = 1280,
                      int height = 1024);
    ~x_server();
    x_server(const x_server&) = delete;
    x_server& operator=(const x_server&) = delete;

    bool ok() const { return !display_.empty(); }
    // ":N"; also set as DISPLAY for this process and its children.
    const std::string& display() const { return display_; }

  private:
    pid_t server_ = -1, manager_ = -1;
    std::string display_;
};

// Runs a shell command (with this process's DISPLAY) for at most timeout_s
// seconds; returns its exit status (124 after a timeout) and, if asked, its
// standard output.
int x_command(const std::string& command, int timeout_s = 10, std::string* output = nullptr);
