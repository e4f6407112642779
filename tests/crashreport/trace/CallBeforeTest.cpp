#include "KroCallBefore.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <vector>

namespace {

// The 8 bytes before a return address whose call instruction is Code (shorter codes are padded in front).
bool EndsWithCallBytes(std::initializer_list<std::uint8_t> Code) {
    std::uint8_t Bytes[8];
    std::memset(Bytes, 0x90, sizeof Bytes);
    std::vector<std::uint8_t> Tail(Code);
    std::memcpy(Bytes + 8 - Tail.size(), Tail.data(), Tail.size());
    return EndsWithCall(Bytes);
}

TEST(CallBeforeTest, AcceptsEveryCallFormOfX8664) {
    EXPECT_TRUE(EndsWithCallBytes({0xE8, 0x10, 0x20, 0x30, 0x40}));                   // call rel32
    EXPECT_TRUE(EndsWithCallBytes({0xFF, 0xD0}));                                     // call rax
    EXPECT_TRUE(EndsWithCallBytes({0x41, 0xFF, 0xD3}));                               // call r11
    EXPECT_TRUE(EndsWithCallBytes({0xFF, 0x15, 0x78, 0x56, 0x34, 0x12}));             // call [rip+disp32]
    EXPECT_TRUE(EndsWithCallBytes({0xFF, 0x50, 0x08}));                               // call [rax+8]
    EXPECT_TRUE(EndsWithCallBytes({0xFF, 0x14, 0x24}));                               // call [rsp]
    EXPECT_TRUE(EndsWithCallBytes({0xFF, 0x54, 0x24, 0x08}));                         // call [rsp+8]
    EXPECT_TRUE(EndsWithCallBytes({0xFF, 0x90, 0x00, 0x01, 0x00, 0x00}));             // call [rax+256]
    EXPECT_TRUE(EndsWithCallBytes({0xFF, 0x94, 0xC1, 0x00, 0x01, 0x00, 0x00}));       // call [rcx+rax*8+256]
    EXPECT_TRUE(EndsWithCallBytes({0x41, 0xFF, 0x94, 0xC1, 0x00, 0x01, 0x00, 0x00})); // the same with REX
    EXPECT_TRUE(EndsWithCallBytes({0xFF, 0x1C, 0x25, 0x00, 0x10, 0x00, 0x00}));       // far call [disp32]
}

TEST(CallBeforeTest, RefusesJumpsAndFormsOfTheWrongLength) {
    EXPECT_FALSE(EndsWithCallBytes({0xFF, 0x25, 0x78, 0x56, 0x34, 0x12}));       // jmp [rip+disp32]
    EXPECT_FALSE(EndsWithCallBytes({0xFF, 0xE0}));                               // jmp rax
    EXPECT_FALSE(EndsWithCallBytes({0xFF, 0xC0}));                               // inc eax
    EXPECT_FALSE(EndsWithCallBytes({0xFF, 0x15}));                               // would need a displacement behind it
    EXPECT_FALSE(EndsWithCallBytes({0xFF, 0x50}));                               // would need a byte behind it
    EXPECT_FALSE(EndsWithCallBytes({0x9A, 0x00, 0x10, 0x00, 0x00, 0x08, 0x00})); // far call: none in 64-bit code
    EXPECT_FALSE(EndsWithCallBytes({0x00, 0x00, 0x00, 0x00, 0x00}));
}

TEST(CallBeforeTest, UnreadableBytesAreNoCall) {
    EXPECT_FALSE(FollowsCall(0));
    EXPECT_FALSE(FollowsCall(8));
    EXPECT_FALSE(FollowsCall(0x10));
}

} // namespace
