#include "PyxSupportClasses.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> B) {
    std::vector<uint8_t> V;
    for (int X : B)
        V.push_back(static_cast<uint8_t>(X));
    return V;
}

std::vector<uint8_t> Written(const std::function<void(TPyxFileStream&)>& Write) {
    TPyxFileStream S;
    Write(S);
    return S.Bytes();
}

} // namespace

TEST(StreamTest, WideStringsTakeCountTextAndTerminator) {
    EXPECT_EQ(Written([](TPyxFileStream& S) { S.WriteWideString(u""); }).size(), 4u);
    auto Three = Written([](TPyxFileStream& S) { S.WriteWideString(u"abc"); });
    EXPECT_EQ(Three, Bytes({3, 0, 0, 0, 'a', 0, 'b', 0, 'c', 0, 0, 0}));
    TPyxFileStream R(Three);
    EXPECT_EQ(R.ReadWideString(), u"abc");
    EXPECT_EQ(R.Position(), 12);
}

TEST(StreamTest, NegativeLengthReadsEmptyAndConsumesOnlyTheCount) {
    TPyxFileStream R(Bytes({0xFE, 0xFF, 0xFF, 0xFF, 7, 7}));
    EXPECT_EQ(R.ReadWideString(), u"");
    EXPECT_EQ(R.Position(), 4);
}

TEST(StreamTest, TerminatorIsSkippedUnchecked) {
    TPyxFileStream R(Bytes({1, 0, 0, 0, 'x', 0, 0x55, 0xAA, 9}));
    EXPECT_EQ(R.ReadWideString(), u"x");
    EXPECT_EQ(R.ReadByte(), 9);
}

TEST(StreamTest, ShortReadNamesBothCountsAndLeavesPositionAtEnd) {
    TPyxFileStream R(Bytes({1, 2}));
    try {
        R.ReadInt32();
        FAIL() << "a short read must raise";
    } catch (const EFileCorruptError& E) {
        EXPECT_STREQ(E.what(), "Data file seems to be corrupt. Wanted to read 4 bytes, could only read 2 bytes.");
    }
    EXPECT_EQ(R.Position(), 2);
}

TEST(StreamTest, ImpossibleWideStringLengthFailsBeforeAllocating) {
    // 0x7FFFFFFF code units would need 4 GiB; the check against the bytes left must come first.
    TPyxFileStream R(Bytes({0xFF, 0xFF, 0xFF, 0x7F, 'a', 0}));
    try {
        R.ReadWideString();
        FAIL();
    } catch (const EFileCorruptError& E) {
        EXPECT_STREQ(E.what(),
                     "Data file seems to be corrupt. Wanted to read 4294967294 bytes, could only read 2 bytes.");
    }
}

TEST(StreamTest, SeeksClampToTheFileAndRejectUnknownOrigins) {
    TPyxFileStream R(std::vector<uint8_t>(10));
    EXPECT_EQ(R.Seek(-5, TPyxFileStream::soFromBeginning), 0);
    EXPECT_EQ(R.Seek(10, TPyxFileStream::soFromEnd), 10);
    EXPECT_EQ(R.Seek(-3, TPyxFileStream::soFromCurrent), 7);
    EXPECT_EQ(R.Seek(99, TPyxFileStream::soFromCurrent), 10);
    try {
        R.Seek(0, 3);
        FAIL();
    } catch (const EStreamError& E) {
        EXPECT_STREQ(E.what(), "Unknown Seek Origin");
    }
}

TEST(StreamTest, SkipsOfWideStringsFollowTheirCounts) {
    auto Data = Written([](TPyxFileStream& S) {
        S.WriteByte(2);
        S.WriteWideString(u"ab");
        S.WriteWideString(u"");
        S.WriteByte(42);
    });
    TPyxFileStream R(Data);
    R.SkipWideStrings();
    EXPECT_EQ(R.ReadByte(), 42);
}

TEST(StreamTest, LargeWritesReachTheFileInOrderAndSeeksPatchEarlierBytes) {
    const auto Path =
        std::filesystem::temp_directory_path() / ("pyx_stream_test_" + std::to_string(::getpid()) + ".bin");
    std::vector<uint8_t> Payload(100000);
    for (size_t I = 0; I < Payload.size(); ++I)
        Payload[I] = static_cast<uint8_t>(I * 7 + I / 251);
    {
        auto S = TPyxFileStream::Create(Path.string());
        S->WriteByte(1);
        S->Write(Payload.data(), static_cast<int64_t>(Payload.size()));
        EXPECT_EQ(S->Size(), 100001);
        S->Seek(0, TPyxFileStream::soFromBeginning);
        S->WriteByte(2);
        S->Seek(0, TPyxFileStream::soFromEnd);
        S->WriteByte(3);
        S->Close();
    }
    auto R = TPyxFileStream::OpenRead(Path.string());
    ASSERT_EQ(R->Size(), 100002);
    EXPECT_EQ(R->ReadByte(), 2);
    std::vector<uint8_t> Back(Payload.size());
    R->Read(Back.data(), static_cast<int64_t>(Back.size()));
    EXPECT_EQ(Back, Payload);
    EXPECT_EQ(R->ReadByte(), 3);
    std::filesystem::remove(Path);
}

TEST(StreamTest, OpeningAMissingFileOrAFolderFails) {
    EXPECT_THROW(TPyxFileStream::OpenRead("/nonexistent/pyx/server_db.dat"), EFileStreamError);
    EXPECT_THROW(TPyxFileStream::OpenRead(std::filesystem::temp_directory_path().string()), EFileStreamError);
}

TEST(StreamTest, ByteCountedTextListsRefuseMoreThan255Texts) {
    TWideStrings L;
    for (int I = 0; I < 256; ++I)
        L.Add(u"t");
    TPyxFileStream S;
    EXPECT_THROW(L.SaveByteCounted(S), EFileCorruptError);
}
