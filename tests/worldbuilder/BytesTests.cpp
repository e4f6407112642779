#include "Bytes.h"
#include "Records.h"
#include "World.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using Bytes = std::vector<uint8_t>;

TEST(Bytes, IntegersAreLittleEndian) {
    wb::TBytes Out;
    Out.I16(-2);
    Out.U16(0x1234);
    Out.I32(0x01020304);
    Out.I32(-1);
    EXPECT_EQ(Out.Data(), (Bytes{0xFE, 0xFF, 0x34, 0x12, 0x04, 0x03, 0x02, 0x01, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(Bytes, EmptyWideStringIsTheCountAlone) {
    wb::TBytes Out;
    Out.WStr(u"");
    EXPECT_EQ(Out.Data(), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(wb::WideStringSize(u""), 4u);
}

TEST(Bytes, WideStringHasCountUnitsAndTerminator) {
    wb::TBytes Out;
    Out.WStr(u"A\u00E9\u20AC");
    EXPECT_EQ(Out.Data(), (Bytes{3, 0, 0, 0, 'A', 0, 0xE9, 0x00, 0xAC, 0x20, 0, 0}));
    EXPECT_EQ(Out.Size(), 12u);
    EXPECT_EQ(wb::WideStringSize(u"abc"), 12u);
}

TEST(Bytes, FloatBitsSurviveIncludingNaNPayloads) {
    wb::TBytes Out;
    Out.F32(1.0f);
    Out.F32Bits(0x7FA00001u);
    EXPECT_EQ(Out.Data(), (Bytes{0x00, 0x00, 0x80, 0x3F, 0x01, 0x00, 0xA0, 0x7F}));

    wb::TCity City;
    City.Latitude = wb::TF32::FromBits(0xFF800123u);
    const wb::TCity Copy = City;
    wb::TBytes Record;
    wb::WriteRecord(Record, Copy, 147);
    EXPECT_EQ(wb::ReadU32(Record.Data(), 2), 0xFF800123u);
}

TEST(Bytes, PatchesOverwriteInPlaceAndRefuseToGrow) {
    wb::TBytes Out;
    Out.Zeros(6);
    Out.PatchI32(1, -2);
    Out.PatchU8(5, 7);
    EXPECT_EQ(Out.Data(), (Bytes{0, 0xFE, 0xFF, 0xFF, 0xFF, 7}));
    EXPECT_THROW(Out.PatchI32(3, 0), std::out_of_range);
    EXPECT_THROW(Out.PatchU8(6, 0), std::out_of_range);
}

TEST(Bytes, ReadsMirrorWrites) {
    wb::TBytes Out;
    Out.I16(-300);
    Out.I32(-123456);
    EXPECT_EQ(wb::ReadI16(Out.Data(), 0), -300);
    EXPECT_EQ(wb::ReadI32(Out.Data(), 2), -123456);
    EXPECT_THROW(wb::ReadI32(Out.Data(), 3), std::out_of_range);
}

TEST(Header, HoldsDatAndTheVersion) {
    EXPECT_EQ(wb::MakeHeader(147), (wb::THeader{0, 0x2E, 0, 'd', 0, 'a', 0, 't', 0, 0x93, 0x00, 0}));
    EXPECT_EQ(wb::MakeHeader(200)[9], 200);
}

} // namespace
