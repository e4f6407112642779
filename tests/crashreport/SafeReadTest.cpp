#include "KroSafeRead.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

TEST(SafeReadTest, ReadsMappedMemoryAndRefusesHolesWithoutFaulting) {
    const char Text[] = "crash reporter";
    char Copy[sizeof Text] = {};
    ASSERT_TRUE(KroSafeRead(reinterpret_cast<std::uintptr_t>(Text), Copy, sizeof Text));
    EXPECT_STREQ(Copy, Text);

    EXPECT_FALSE(KroSafeRead(0, Copy, 1));

    // A page we map and then take away is a hole at a known address; so is the tail of a read that runs into it.
    const long Page = sysconf(_SC_PAGESIZE);
    auto* Pages =
        static_cast<char*>(mmap(nullptr, 2 * Page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(Pages, MAP_FAILED);
    std::memset(Pages, 'x', Page);
    ASSERT_EQ(munmap(Pages + Page, Page), 0);
    const auto Hole = reinterpret_cast<std::uintptr_t>(Pages + Page);
    EXPECT_FALSE(KroSafeRead(Hole, Copy, 4));
    EXPECT_FALSE(KroSafeRead(Hole - 2, Copy, 4));
    EXPECT_TRUE(KroSafeRead(Hole - 4, Copy, 4));
    EXPECT_EQ(std::memcmp(Copy, "xxxx", 4), 0);
    munmap(Pages, Page);
}
