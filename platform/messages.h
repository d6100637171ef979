// platform/messages.h -- the main thread's message queue and window messages.
//
// One queue, served by the main thread (the one that runs the message loop and
// owns the window). Posted messages wait in the queue; a message sent from
// another thread blocks its sender until the main thread has handled it, which
// it does while it waits in os_getmessage. A message sent on the main thread is
// handled at once.
#pragma once
#include <cstdint>

struct os_window;

using os_wndproc = intptr_t (*)(os_window* window, uint32_t message, uintptr_t wparam,
                                intptr_t lparam);

struct os_msg {
    os_window* window;  // null for a message to the thread itself
    uint32_t message;
    uintptr_t wparam;
    intptr_t lparam;
};

// Message numbers.
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_PAINT = 0x000F;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_SYSKEYDOWN = 0x0104;
constexpr uint32_t WM_SYSKEYUP = 0x0105;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_LBUTTONUP = 0x0202;
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr uint32_t WM_RBUTTONUP = 0x0205;
constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
constexpr uint32_t WM_MBUTTONUP = 0x0208;
constexpr uint32_t WM_MOUSEWHEEL = 0x020A;

// The left-button bit of a mouse message's wparam.
constexpr uintptr_t MK_LBUTTON = 0x0001;

// Virtual-key codes (letters and digits are their upper-case ASCII codes).
constexpr uint32_t VK_BACK = 0x08;
constexpr uint32_t VK_TAB = 0x09;
constexpr uint32_t VK_RETURN = 0x0D;
constexpr uint32_t VK_SHIFT = 0x10;
constexpr uint32_t VK_CONTROL = 0x11;
constexpr uint32_t VK_MENU = 0x12;  // Alt
constexpr uint32_t VK_PAUSE = 0x13;
constexpr uint32_t VK_ESCAPE = 0x1B;
constexpr uint32_t VK_SPACE = 0x20;
constexpr uint32_t VK_PRIOR = 0x21;
constexpr uint32_t VK_NEXT = 0x22;
constexpr uint32_t VK_END = 0x23;
constexpr uint32_t VK_HOME = 0x24;
constexpr uint32_t VK_LEFT = 0x25;
constexpr uint32_t VK_UP = 0x26;
constexpr uint32_t VK_RIGHT = 0x27;
constexpr uint32_t VK_DOWN = 0x28;
constexpr uint32_t VK_INSERT = 0x2D;
constexpr uint32_t VK_DELETE = 0x2E;
constexpr uint32_t VK_F1 = 0x70;  // VK_F1 + n - 1 is Fn, up to F12
constexpr uint32_t VK_F4 = 0x73;

// Mouse positions travel in lparam: x in the low 16 bits, y in the next 16.
constexpr intptr_t os_makelparam(uint32_t x, uint32_t y) {
    return static_cast<intptr_t>((x & 0xFFFF) | ((y & 0xFFFF) << 16));
}

// Waits for the next posted message and stores it in msg. Returns 0 when it is
// WM_QUIT (msg->wparam then holds the exit code), 1 otherwise. Sent messages and
// requests of other threads are served while it waits.
int32_t os_getmessage(os_msg* msg);

// Key messages need no translation here; kept for the loop's shape.
void os_translatemessage(const os_msg* msg);

// Hands msg to its window's procedure and returns the result; a message without
// a window, or for a window already destroyed, is dropped (result 0).
intptr_t os_dispatchmessage(const os_msg* msg);

void os_postmessage(os_window* window, uint32_t message, uintptr_t wparam, intptr_t lparam);

// Handles the message on the main thread and returns the procedure's result.
// A safe point of the calling thread while it waits (platform/thread.h).
intptr_t os_sendmessage(os_window* window, uint32_t message, uintptr_t wparam, intptr_t lparam);

// Marks the queue to end: os_getmessage returns 0 with code once the messages
// posted before have been taken.
void os_postquitmessage(int32_t code);

// The default handling: WM_CLOSE destroys the window, which delivers WM_DESTROY
// to its procedure before this returns. Everything else is ignored (result 0).
intptr_t os_defwindowproc(os_window* window, uint32_t message, uintptr_t wparam, intptr_t lparam);
