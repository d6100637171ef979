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

// Waits (up to about ten seconds) for a mapped window of exactly this title,
// at any depth of the window tree; its X id, or empty.
std::string x_window(const std::string& title = "korvite");
// Waits (up to about half a second) for the window to be gone; true if it is.
bool x_gone(const std::string& id);
// Sends keys to the window until it is gone: a window manager may still be
// taking a new window in, or a box still drawing itself, when the first
// keystroke arrives. With a window manager the window is activated, without
// one it is given the focus.
void x_press_until_gone(const std::string& id, const std::string& keys, bool window_manager);
