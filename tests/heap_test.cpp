// The internal heap and l_alloc.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cstdint>
#include <cstdlib>

#include "data/heap.h"
#include "platform/fake/fake.h"

namespace {

class Heap : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::reset();
        h_deinit();
    }
    void TearDown() override { h_deinit(); }
};

uintptr_t address(const void* p) {
    return reinterpret_cast<uintptr_t>(p);
}

TEST_F(Heap, AnExactFitSucceedsAndOneMoreByteDoesNot) {
    h_init(4194304);
    EXPECT_EQ(h_alloc(4194304, 0), h_base);
    EXPECT_EQ(h_next, h_end);
    EXPECT_EXIT(h_alloc(1, 0), ::testing::ExitedWithCode(1), "h_alloc: internal heap is full\\.");
}

TEST_F(Heap, AlignmentIsToTheAbsoluteAddressAndOnlySkipsWhatItMust) {
    h_init(4096);
    uint8_t* one = static_cast<uint8_t*>(h_alloc(1, 0));
    EXPECT_EQ(one, h_base);
    // A zero-byte request returns the aligned position and takes only the gap.
    void* empty = h_alloc(0, 2);
    EXPECT_EQ(address(empty), (address(h_base) + 1 + 3) & ~uintptr_t{3});
    EXPECT_EQ(h_next, empty);
    void* first = h_alloc(3, 9);
    void* second = h_alloc(1, 9);
    EXPECT_EQ(address(first) % 512, 0u);
    EXPECT_EQ(address(second) % 512, 0u);
    EXPECT_EQ(address(second), address(first) + 512);
    EXPECT_GE(first, empty);
}

TEST_F(Heap, NothingFitsBeforeInitOrAfterDeinit) {
    EXPECT_EXIT(h_alloc(1, 2), ::testing::ExitedWithCode(1), "h_alloc: internal heap is full\\.");
    h_init(64);
    h_deinit();
    h_deinit();  // gives the block back once (ASan would see a second free)
    EXPECT_EQ(h_base, nullptr);
    EXPECT_EXIT(h_alloc(1, 0), ::testing::ExitedWithCode(1), "h_alloc: internal heap is full\\.");
}

TEST_F(Heap, LAllocPicksTheHeapByExponent) {
    h_init(1024);
    h_alloc(1, 0);
    uint8_t* before = h_next;
    void* general = l_alloc(100, 0);
    EXPECT_EQ(h_next, before);
    EXPECT_TRUE(general < h_base || general >= h_end);
    free(general);
    uintptr_t expected = (address(before) + 3) & ~uintptr_t{3};
    EXPECT_EQ(address(l_alloc(8, 2)), expected);
}

TEST_F(Heap, ARefusedGeneralRequestNamesItsSize) {
    EXPECT_EXIT(l_alloc(-1, 0), ::testing::ExitedWithCode(1), "Unable to allocate -1 bytes");
}

#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
// With the address space capped, the general heap really refuses.
void cap_memory() {
    rlimit limit{256u << 20, 256u << 20};
    setrlimit(RLIMIT_AS, &limit);
}

TEST_F(Heap, AnEmptyGeneralHeapIsFatal) {
    EXPECT_EXIT((cap_memory(), l_alloc(1 << 30, 0)), ::testing::ExitedWithCode(1),
                "Unable to allocate 1073741824 bytes");
    EXPECT_EXIT((cap_memory(), h_init(1 << 30)), ::testing::ExitedWithCode(1),
                "h_init: not enough memory\\.");
}
#endif

}  // namespace
