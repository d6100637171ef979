// The audio library over libopenmpt, mixed into SDL's dummy audio device
// (callbacks at real pace, none while paused), with the generated fixtures:
// loading, order steps, the end sync, pause, and calls with nothing to act on.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/audio.h"

namespace {

using namespace std::chrono_literals;

std::string fixture(const char* name) {
    return std::string(KORVITE_FIXTURES_DIR) + "/" + name;
}

au_music load(const char* name) {
    return au_musicload(false, fixture(name).c_str(), 0, 0, 1);
}

uint32_t order_of(au_music m) {
    return au_channelgetposition(m) & 0xFFFF;
}

uint32_t row_of(au_music m) {
    return au_channelgetposition(m) >> 16;
}

// Polls until done() holds; false when the limit passes first.
template <typename F>
bool wait_until(F done, std::chrono::milliseconds limit = 10s) {
    auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

std::atomic<int> ends{0};
std::atomic<uint32_t> end_user{0};
std::atomic<std::thread::id> end_thread;

void on_end(uint32_t, uint32_t, uint32_t, uint32_t user) {
    end_user = user;
    end_thread = std::this_thread::get_id();
    ++ends;
}

class Audio : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ends = 0;
        ASSERT_EQ(au_getversion(), AU_VERSION);
        ASSERT_TRUE(au_init(-1, 44100, 0, nullptr));
    }
    void TearDown() override { au_free(); }

    // Loaded, with its end sync, and playing from the start.
    au_music play(const char* name) {
        au_music m = load(name);
        EXPECT_NE(m, 0u) << name;
        au_start();
        au_musicsetpositionscaler(m, 1);
        EXPECT_NE(au_channelsetsync(m, AU_SYNC_END, 0, on_end, 7), 0u);
        au_musicplay(m);
        return m;
    }
};

TEST_F(Audio, ModulesLoadFromFilesAndOtherFilesDoNot) {
    au_music four = load("four_orders.it");
    ASSERT_NE(four, 0u);
    EXPECT_EQ(au_musicgetlength(four), 4u);
    au_music one = load("short.it");
    ASSERT_NE(one, 0u);
    EXPECT_NE(one, four);
    EXPECT_EQ(au_musicgetlength(one), 1u);
    EXPECT_EQ(au_musicgetlength(four), 0u);  // one module at a time: replaced
    EXPECT_EQ(load("not_a_module.it"), 0u);
    EXPECT_EQ(load("no_such_file.it"), 0u);
    EXPECT_EQ(au_musicload(false, KORVITE_FIXTURES_DIR, 0, 0, 1), 0u);  // a folder
    EXPECT_NE(au_musicgetlength(one), 0u);         // a failed load leaves the loaded one
    EXPECT_FALSE(au_init(-1, 44100, 0, nullptr));  // started already
}

TEST_F(Audio, OrderStepsMoveThePositionAtOnce) {
    au_music m = play("four_orders.it");
    ASSERT_TRUE(wait_until([&] { return row_of(m) > 0; })) << "plays";
    EXPECT_EQ(order_of(m), 0u);
    ASSERT_TRUE(au_channelsetposition(m, 2));
    EXPECT_EQ(au_channelgetposition(m), 2u);  // row 0 of order 2
    ASSERT_TRUE(wait_until([&] { return row_of(m) > 0; })) << "goes on from there";
    EXPECT_EQ(order_of(m), 2u);
    ASSERT_TRUE(au_channelsetposition(m, 1));
    EXPECT_EQ(order_of(m), 1u);
    EXPECT_FALSE(au_channelsetposition(m, 4));  // past the last order
    EXPECT_EQ(order_of(m), 1u);
    // From the last order the module soon ends, and its position stays put
    // rather than wrapping to the first order.
    ASSERT_TRUE(au_channelsetposition(m, 3));
    ASSERT_TRUE(wait_until([] { return ends.load() == 1; }));
    EXPECT_EQ(order_of(m), 3u);
    EXPECT_FALSE(au_channelsetposition(m, 0));  // after the end: nothing changes
    EXPECT_EQ(order_of(m), 3u);
}

TEST_F(Audio, TheEndSyncFiresOnceOnTheAudioThread) {
    au_music m = play("short.it");
    ASSERT_TRUE(wait_until([] { return ends.load() > 0; }));
    std::this_thread::sleep_for(300ms);  // a dozen more buffers
    EXPECT_EQ(ends.load(), 1);
    EXPECT_EQ(end_user.load(), 7u);
    EXPECT_NE(end_thread.load(), std::this_thread::get_id());
    // Pause, resume and steps after the end change nothing.
    uint32_t position = au_channelgetposition(m);
    au_pause();
    au_start();
    au_channelsetposition(m, 0);
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(au_channelgetposition(m), position);
    EXPECT_EQ(ends.load(), 1);
}

TEST_F(Audio, ARemovedSyncNeverFires) {
    au_music m = play("short.it");
    au_sync second = au_channelsetsync(m, AU_SYNC_END, 0, on_end, 8);
    ASSERT_TRUE(au_channelremovesync(m, second));
    EXPECT_FALSE(au_channelremovesync(m, second));
    std::this_thread::sleep_for(1500ms);  // three times the module's length
    EXPECT_EQ(ends.load(), 0);
}

TEST_F(Audio, APauseHaltsPlaybackWhereItIs) {
    au_music m = play("four_orders.it");
    ASSERT_TRUE(wait_until([&] { return row_of(m) >= 2; }));
    au_pause();
    uint32_t paused = au_channelgetposition(m);
    std::this_thread::sleep_for(300ms);  // nearly ten rows of play
    EXPECT_EQ(au_channelgetposition(m), paused);
    au_start();
    EXPECT_TRUE(wait_until([&] { return au_channelgetposition(m) != paused; }));
    EXPECT_EQ(order_of(m), 0u);
}

TEST_F(Audio, CallsWithNothingToActOnChangeNothing) {
    for (au_music m : {0u, 99u}) {
        EXPECT_EQ(au_channelgetposition(m), 0u);
        EXPECT_FALSE(au_channelsetposition(m, 1));
        EXPECT_EQ(au_musicgetlength(m), 0u);
        EXPECT_FALSE(au_musicplay(m));
        EXPECT_FALSE(au_musicsetpositionscaler(m, 1));
        EXPECT_EQ(au_channelsetsync(m, AU_SYNC_END, 0, on_end, 0), 0u);
        EXPECT_FALSE(au_channelremovesync(m, 1));
        au_musicfree(m);
    }
    EXPECT_TRUE(au_start());
    EXPECT_TRUE(au_pause());
    EXPECT_TRUE(au_stop());
    // Once released, the library plays nothing until it is started again.
    au_free();
    au_free();
    EXPECT_FALSE(au_start());
    EXPECT_EQ(load("four_orders.it"), 0u);
    ASSERT_TRUE(au_init(-1, 44100, 0, nullptr));
    EXPECT_NE(load("four_orders.it"), 0u);
}

}  // namespace
