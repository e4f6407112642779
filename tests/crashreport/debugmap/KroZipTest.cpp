#include "KroZip.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::vector<std::uint8_t> Bytes(const std::string& Text) {
    return {Text.begin(), Text.end()};
}

void PutLe32(std::vector<std::uint8_t>& Block, std::size_t At, std::uint32_t Value) {
    for (int I = 0; I < 4; ++I)
        Block[At + I] = static_cast<std::uint8_t>(Value >> (8 * I));
}

} // namespace

TEST(KroZipTest, CrcIsTheStandardCrc32) {
    const auto Check = Bytes("123456789");
    EXPECT_EQ(Crc32Of(Check.data(), Check.size()), 0xCBF43926u);
}

TEST(KroZipTest, InflateRestoresWhatDeflatePacked) {
    std::string Text;
    for (int I = 0; I < 5000; ++I)
        Text += "line " + std::to_string(I * 7919 % 1000) + "\n";
    const auto Plain = Bytes(Text);
    const auto Packed = DeflateWithCrc(Plain.data(), Plain.size());
    ASSERT_GT(Packed.size(), 12u);
    EXPECT_LT(Packed.size(), Plain.size() / 2);
    EXPECT_EQ(InflateWithCrc(Packed.data(), Packed.size()), Plain);
}

TEST(KroZipTest, DamagedBlocksInflateToNothing) {
    const auto Plain = Bytes(std::string(3000, 'x') + "tail");
    const auto Packed = DeflateWithCrc(Plain.data(), Plain.size());

    auto WrongCrc = Packed;
    WrongCrc[4] ^= 1;
    EXPECT_TRUE(InflateWithCrc(WrongCrc.data(), WrongCrc.size()).empty());

    auto Cut = Packed;
    Cut.resize(Cut.size() - 3);
    EXPECT_TRUE(InflateWithCrc(Cut.data(), Cut.size()).empty());

    // A stated length below the real one cuts the output, and the CRC of the cut output no longer matches.
    auto Short = Packed;
    PutLe32(Short, 0, 100);
    EXPECT_TRUE(InflateWithCrc(Short.data(), Short.size()).empty());

    EXPECT_TRUE(InflateWithCrc(Packed.data(), 12).empty());
    EXPECT_TRUE(InflateWithCrc(nullptr, 0).empty());
}

TEST(KroZipTest, ImpossibleStatedLengthsAllocateNothing) {
    const auto Plain = Bytes("short");
    auto Packed = DeflateWithCrc(Plain.data(), Plain.size());
    for (const std::uint32_t Stated : {0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, 0u, 1u << 24}) {
        PutLe32(Packed, 0, Stated);
        const auto Out = InflateWithCrc(Packed.data(), Packed.size());
        EXPECT_TRUE(Out.empty()) << Stated;
        EXPECT_EQ(Out.capacity(), 0u) << Stated;
    }
}
