#pragma once

#include "PyxExceptions.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

static_assert(std::endian::native == std::endian::little, "the data files are little-endian images of memory");

// The stream every data file is read and written through. A file opened for reading is read into memory in one
// call and parsed from there; a file created for writing goes out through a 64 KiB buffer. All values are the raw
// little-endian images of their variables; only wide strings have an encoding of their own:
// int32 N, then N UTF-16LE code units and a 16-bit terminator when N > 0.
class TPyxFileStream final {
public:
    static constexpr int32_t BufferSize = 0x10000;
    enum TSeekOrigin : uint16_t { soFromBeginning = 0, soFromCurrent = 1, soFromEnd = 2 };

    // Opens FileName for reading; EFileStreamError when it cannot be opened or read.
    static std::unique_ptr<TPyxFileStream> OpenRead(const std::string& FileName);
    // Creates FileName empty for writing, replacing any file of that name; EFileStreamError on failure.
    static std::unique_ptr<TPyxFileStream> Create(const std::string& FileName);

    // A read stream over bytes already in memory.
    explicit TPyxFileStream(std::vector<uint8_t> Bytes);
    // A write stream that collects its bytes in memory (see Bytes()).
    TPyxFileStream();
    ~TPyxFileStream();

    TPyxFileStream(const TPyxFileStream&) = delete;
    TPyxFileStream& operator=(const TPyxFileStream&) = delete;

    // Reads Count bytes; fewer than Count raises EFileCorruptError and leaves the position at the end.
    int64_t Read(void* Buffer, int64_t Count);
    void Write(const void* Buffer, int64_t Count);
    // Origins 0, 1, 2 as in soFromBeginning..soFromEnd; the result is clamped to [0, Size]. Another origin raises
    // EStreamError "Unknown Seek Origin".
    int64_t Seek(int64_t Offset, int Origin);
    int64_t Position() const { return Position_; }
    int64_t Size() const { return Size_; }
    int64_t Remaining() const { return Size_ - Position_; }
    const std::string& FileName() const { return FileName_; }

    // Writes pending bytes to the file and, with Sync, to the disk; EFileStreamError on failure.
    void Flush(bool Sync = false);
    // Flushes and closes a file stream; a failure raises EFileStreamError (the destructor swallows it instead).
    void Close();
    // The content of a memory stream (read or write).
    const std::vector<uint8_t>& Bytes();

    uint8_t ReadByte() { return ReadValue<uint8_t>(); }
    int16_t ReadInt16() { return ReadValue<int16_t>(); }
    uint16_t ReadWord() { return ReadValue<uint16_t>(); }
    int32_t ReadInt32() { return ReadValue<int32_t>(); }
    float ReadSingle() { return ReadValue<float>(); }
    void WriteByte(uint8_t V) { WriteValue(V); }
    void WriteInt16(int16_t V) { WriteValue(V); }
    void WriteWord(uint16_t V) { WriteValue(V); }
    void WriteInt32(int32_t V) { WriteValue(V); }
    void WriteSingle(float V) { WriteValue(V); }

    // A large world is read and written one field at a time, some hundred million fields per load or save, so
    // the common case (a read stream with the bytes at hand, a file stream whose buffer has room) stays inline.
    // Everything else, the short read included, takes the full path through Read and Write.
    template <class T> T ReadValue() {
        T V;
        if (ReadData_ != nullptr && Size_ - Position_ >= static_cast<int64_t>(sizeof(T))) {
            std::memcpy(&V, ReadData_ + Position_, sizeof(T));
            Position_ += static_cast<int64_t>(sizeof(T));
        } else {
            Read(&V, sizeof(T));
        }
        return V;
    }
    template <class T> void WriteValue(const T& V) {
        if (Mode_ == TMode::WriteFile && WriteLength_ + sizeof(T) <= static_cast<size_t>(BufferSize) &&
            WriteBufferStart_ + static_cast<int64_t>(WriteLength_) == Position_) {
            std::memcpy(WriteBuffer_.get() + WriteLength_, &V, sizeof(T));
            WriteLength_ += sizeof(T);
            Position_ += static_cast<int64_t>(sizeof(T));
            if (Position_ > Size_)
                Size_ = Position_;
        } else {
            Write(&V, sizeof(T));
        }
    }

    void ReadWideString(std::u16string& S);
    std::u16string ReadWideString() {
        std::u16string S;
        ReadWideString(S);
        return S;
    }
    void WriteWideString(const std::u16string& S);
    void Skip(int64_t Count) { Seek(Count, soFromCurrent); }
    void SkipWideString();
    // One unsigned count byte, then that many wide strings.
    void SkipWideStrings();

    // Raises the short-read corruption error when fewer than Count bytes remain, before anything is allocated for
    // them; readers call it with the least number of bytes a count read from the file implies.
    void Require(int64_t Count);

private:
    enum class TMode { ReadMemory, WriteFile, WriteMemory };
    void FlushWriteBuffer();
    void ShortRead(int64_t Wanted, int64_t Got);

    TMode Mode_;
    std::string FileName_;
    int Fd_ = -1;
    std::vector<uint8_t> Data_; // whole content of a memory stream
    // A file read into memory: not a vector, whose zero-filling of a 100 MB buffer only to overwrite it at once
    // would cost a pass over the memory.
    std::unique_ptr<uint8_t[]> FileData_;
    const uint8_t* ReadData_ = nullptr;      // the bytes of a read stream (FileData_ or Data_)
    std::unique_ptr<uint8_t[]> WriteBuffer_; // pending bytes of a file write stream
    size_t WriteLength_ = 0;
    static constexpr int64_t WritebackChunk = 8 * 1024 * 1024;
    int64_t UnsyncedBytes_ = 0; // written to the file since the disk was last asked to start writing
    int64_t WriteBufferStart_ = 0;
    int64_t Position_ = 0;
    int64_t Size_ = 0;
};

// A growable list of wide strings (the translatable text lists).
class TWideStrings final {
public:
    void Add(const std::u16string& S) { Items_.push_back(S); }
    void Clear() { Items_.clear(); }
    int32_t Count() const { return static_cast<int32_t>(Items_.size()); }
    const std::u16string& Get(int32_t Index) const { return Items_[Index]; }
    void Put(int32_t Index, const std::u16string& S) { Items_[Index] = S; }
    bool operator==(const TWideStrings&) const = default;

    // The byte-counted form used in lang_db.dat: one count byte, then the strings. Reading appends.
    void LoadByteCounted(TPyxFileStream& Stream);
    // Writes the count byte and the strings; the list must hold at most 255 strings (checked before saving).
    void SaveByteCounted(TPyxFileStream& Stream) const;

private:
    std::vector<std::u16string> Items_;
};
