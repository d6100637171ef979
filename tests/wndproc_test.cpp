// The window procedure's input state and cursor confinement, on the fake
// backend, message by message.
#include <gtest/gtest.h>

#include <vector>

#include "platform/fake/fake.h"
#include "platform/messages.h"
#include "platform/window.h"
#include "system/sys.h"
#include "system/wndproc.h"

namespace {

class WindowProcedure : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::reset();
        s_windows_init(this, nullptr, line, 1);
        s_mousex = 0;
        s_mousey = 0;
        s_clicked = 0;
        os_windowclass wc{
            CS_HREDRAW | CS_VREDRAW, s_wndproc, s_instance, IDC_ARROW, BLACK_BRUSH, "input"};
        os_registerclass(&wc);
        s_hwnd = os_createwindow(0, "input", "input", WS_VISIBLE | WS_CAPTION | WS_SYSMENU, 200,
                                 100, 666, 329, nullptr);
    }
    void TearDown() override { s_hwnd = nullptr; }
    intptr_t send(uint32_t message, uintptr_t wparam, intptr_t lparam = 0) {
        return s_wndproc(s_hwnd, message, wparam, lparam);
    }
    char line[1] = {'\0'};
};

TEST_F(WindowProcedure, AHeldKeyStaysDownThroughRepeatsUntilReleased) {
    for (int repeat = 0; repeat < 3; ++repeat) {
        EXPECT_EQ(send(WM_KEYDOWN, VK_ESCAPE), 0);
        EXPECT_EQ(s_keys[VK_ESCAPE].load(), 1);
    }
    EXPECT_EQ(send(WM_KEYUP, VK_ESCAPE), 0);
    EXPECT_EQ(s_keys[VK_ESCAPE].load(), 0);
    send(WM_KEYDOWN, 0x1234);  // no such key: nothing outside the table changes
    EXPECT_EQ(s_keys[0x34].load(), 0);
}

TEST_F(WindowProcedure, PressesLatchOneClickAndMovesCountOnlyWithTheButtonHeld) {
    send(WM_LBUTTONDOWN, MK_LBUTTON, os_makelparam(10, 20));
    send(WM_LBUTTONDOWN, MK_LBUTTON, os_makelparam(11, 21));
    EXPECT_EQ(s_clicked.load(), 1);
    send(WM_MOUSEMOVE, MK_LBUTTON, os_makelparam(300, 250));
    EXPECT_EQ(s_mousex.load(), 300);
    EXPECT_EQ(s_mousey.load(), 250);
    send(WM_LBUTTONUP, 0, os_makelparam(301, 251));
    send(WM_MOUSEMOVE, 0, os_makelparam(5, 6));
    EXPECT_EQ(s_mousex.load(), 301);
    EXPECT_EQ(s_mousey.load(), 251);
    // Positions are the unsigned 16-bit halves, even for a point left of the window.
    send(WM_LBUTTONDOWN, MK_LBUTTON, os_makelparam(0xFFFF, 2));
    EXPECT_EQ(s_mousex.load(), 65535);
}

TEST_F(WindowProcedure, TheCursorIsHeldInTheClientAreaFromPressToRelease) {
    send(WM_LBUTTONDOWN, MK_LBUTTON, os_makelparam(1, 1));
    send(WM_LBUTTONUP, 0, os_makelparam(1, 1));
    // The fake puts the client area 3 pixels in and 26 down from the window's corner.
    std::vector<std::string> expected = {"clipcursor 203 126 863 426", "clipcursor none"};
    EXPECT_EQ(fake::calls_of({"clipcursor"}), expected);
}

TEST_F(WindowProcedure, OtherButtonsTheWheelAndSystemKeysChangeNothing) {
    const uint32_t messages[] = {WM_RBUTTONDOWN, WM_RBUTTONUP,  WM_MBUTTONDOWN, WM_MBUTTONUP,
                                 WM_MOUSEWHEEL,  WM_SYSKEYDOWN, WM_SYSKEYUP};
    for (uint32_t m : messages) send(m, VK_MENU, os_makelparam(40, 50));
    EXPECT_EQ(s_clicked.load(), 0);
    EXPECT_EQ(s_mousex.load(), 0);
    EXPECT_EQ(s_keys[VK_MENU].load(), 0);
    EXPECT_TRUE(fake::calls_of({"clipcursor", "destroywindow"}).empty());
}

TEST_F(WindowProcedure, AltF4AndWmCloseTakeTheDefaultRoadToDestruction) {
    send(WM_SYSKEYDOWN, VK_F4);
    EXPECT_TRUE(fake::window()->destroyed);
    std::vector<std::string> expected = {"sendmessage 16", "destroywindow", "postquitmessage 0"};
    EXPECT_EQ(fake::calls_of({"sendmessage", "destroywindow", "postquitmessage"}), expected);
}

}  // namespace
