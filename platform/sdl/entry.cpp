// platform/sdl/entry.cpp -- the process entry: the arguments joined into one
// writable command line, as the engine's entry expects.
#define SDL_MAIN_HANDLED
#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/entry.h"
#include "platform/sdl/sdl.h"
#include "platform/window.h"

int main(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line += ' ';
        line += argv[i];
    }
    std::vector<char> cmdline(line.begin(), line.end());
    cmdline.push_back('\0');
    int32_t code = WinMain(os_instance(), nullptr, cmdline.data(), SW_SHOWDEFAULT);
    SDL_Quit();
    return code;
}
