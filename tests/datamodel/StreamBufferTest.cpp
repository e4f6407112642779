#include "PyxSupportClasses.h"

#include "FileImage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The same writes to any stream: fields of every width, wide strings, blocks larger than the write buffer, and now
// and then a seek back to patch an earlier field, as the language file's directory is patched.
template <class TStream> void WriteMix(TStream& S, uint32_t Seed, int64_t Bytes) {
    std::mt19937 Random(Seed);
    std::vector<uint8_t> Block(200000);
    for (auto& B : Block)
        B = static_cast<uint8_t>(Random());
    while (S.Position() < Bytes) {
        switch (Random() % 7) {
        case 0:
            S.WriteByte(static_cast<uint8_t>(Random()));
            break;
        case 1:
            S.WriteInt16(static_cast<int16_t>(Random()));
            break;
        case 2:
            S.WriteInt32(static_cast<int32_t>(Random()));
            break;
        case 3:
            S.WriteWideString(std::u16string(Random() % 40, static_cast<char16_t>(u'a' + Random() % 26)));
            break;
        case 4:
            S.Write(Block.data(), static_cast<int64_t>(Random() % Block.size()));
            break;
        case 5:
            if (S.Position() > 16 && Random() % 50 == 0) {
                const int64_t Back = S.Position();
                S.Seek(static_cast<int64_t>(Random() % static_cast<uint32_t>(Back - 4)),
                       TPyxFileStream::soFromBeginning);
                S.WriteInt32(static_cast<int32_t>(Random()));
                S.Seek(Back, TPyxFileStream::soFromBeginning);
            }
            break;
        default:
            S.WriteValue(static_cast<double>(Random()));
            break;
        }
    }
}

} // namespace

// Writes go through an inline path while the buffer has room and through the full one otherwise; a file stream must
// write exactly what a memory stream holds, across buffer boundaries, seeks and the disk hints every 8 MiB.
TEST(StreamBuffer, AFileStreamWritesWhatAMemoryStreamHolds) {
    const fs::path Path = fs::temp_directory_path() / ("pyx_streambuffer_" + std::to_string(::getpid()));
    TPyxFileStream Memory;
    WriteMix(Memory, 7, 20 * 1024 * 1024);
    {
        auto File = TPyxFileStream::Create(Path.string());
        WriteMix(*File, 7, 20 * 1024 * 1024);
        EXPECT_EQ(File->Size(), Memory.Size());
        File->Close();
    }
    const std::vector<uint8_t> Written = wb::ReadFileBytes(Path.string());
    fs::remove(Path);
    EXPECT_TRUE(Written == Memory.Bytes());
    EXPECT_EQ(static_cast<int64_t>(Written.size()), Memory.Size());
}

// Reads of single fields stay inline while the bytes are there; one that runs past the end still fails with the
// short-read message, and the same values come out either way.
TEST(StreamBuffer, FieldReadsAtTheEndFailAsAShortRead) {
    auto Stream = std::make_unique<TPyxFileStream>(std::vector<uint8_t>{1, 0, 2, 0, 0, 0, 3, 4});
    EXPECT_EQ(Stream->ReadInt16(), 1);
    EXPECT_EQ(Stream->ReadInt32(), 2);
    try {
        Stream->ReadInt32();
        FAIL() << "a read past the end must fail";
    } catch (const EFileCorruptError& E) {
        EXPECT_STREQ(E.what(), "Data file seems to be corrupt. Wanted to read 4 bytes, could only read 2 bytes.");
    }
    EXPECT_EQ(Stream->Position(), Stream->Size());
}
