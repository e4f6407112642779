#include "PyxSupportClasses.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string ErrnoText(const std::string& What, const std::string& FileName) {
    return What + " " + FileName + ": " + std::strerror(errno);
}

} // namespace

std::unique_ptr<TPyxFileStream> TPyxFileStream::OpenRead(const std::string& FileName) {
    // Opened without blocking: a named pipe in place of a data file would otherwise wait for a writer for ever.
    int Fd = ::open(FileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (Fd < 0)
        throw EFileStreamError(ErrnoText("Cannot open file", FileName), FileName);
    struct stat St {};
    if (::fstat(Fd, &St) != 0 || !S_ISREG(St.st_mode)) {
        ::close(Fd);
        throw EFileStreamError("Cannot open file " + FileName + ": not a regular file", FileName);
    }
    ::fcntl(Fd, F_SETFL, ::fcntl(Fd, F_GETFL) & ~O_NONBLOCK);
    const auto Length = static_cast<size_t>(St.st_size);
    std::unique_ptr<uint8_t[]> Bytes(new uint8_t[Length]);
    size_t Done = 0;
    while (Done < Length) {
        ssize_t N = ::read(Fd, Bytes.get() + Done, Length - Done);
        if (N < 0 && errno == EINTR)
            continue;
        if (N < 0) {
            std::string Msg = ErrnoText("Cannot read file", FileName);
            ::close(Fd);
            throw EFileStreamError(Msg, FileName);
        }
        if (N == 0)
            break; // the file shrank while we read it: parse what is there
        Done += static_cast<size_t>(N);
    }
    ::close(Fd);
    auto Stream = std::make_unique<TPyxFileStream>(std::vector<uint8_t>());
    Stream->FileData_ = std::move(Bytes);
    Stream->ReadData_ = Stream->FileData_.get();
    Stream->Size_ = static_cast<int64_t>(Done);
    Stream->FileName_ = FileName;
    return Stream;
}

std::unique_ptr<TPyxFileStream> TPyxFileStream::Create(const std::string& FileName) {
    int Fd = ::open(FileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (Fd < 0)
        throw EFileStreamError(ErrnoText("Cannot create file", FileName), FileName);
    auto Stream = std::make_unique<TPyxFileStream>();
    Stream->Mode_ = TMode::WriteFile;
    Stream->Fd_ = Fd;
    Stream->FileName_ = FileName;
    Stream->WriteBuffer_.reset(new uint8_t[BufferSize]);
    return Stream;
}

TPyxFileStream::TPyxFileStream(std::vector<uint8_t> Bytes)
    : Mode_(TMode::ReadMemory), Data_(std::move(Bytes)), ReadData_(Data_.data()),
      Size_(static_cast<int64_t>(Data_.size())) {}

TPyxFileStream::TPyxFileStream() : Mode_(TMode::WriteMemory) {}

TPyxFileStream::~TPyxFileStream() {
    try {
        Close();
    } catch (...) {
        // A destructor cannot report; a caller that cares about the write calls Close() itself.
    }
}

void TPyxFileStream::Close() {
    if (Mode_ != TMode::WriteFile || Fd_ < 0)
        return;
    int Fd = Fd_;
    try {
        FlushWriteBuffer();
    } catch (...) {
        ::close(Fd);
        Fd_ = -1;
        throw;
    }
    Fd_ = -1;
    if (::close(Fd) != 0)
        throw EFileStreamError(ErrnoText("Cannot write file", FileName_), FileName_);
}

void TPyxFileStream::Flush(bool Sync) {
    FlushWriteBuffer();
    if (Sync && Mode_ == TMode::WriteFile && Fd_ >= 0 && ::fsync(Fd_) != 0)
        throw EFileStreamError(ErrnoText("Cannot write file", FileName_), FileName_);
}

const std::vector<uint8_t>& TPyxFileStream::Bytes() {
    FlushWriteBuffer();
    return Data_;
}

void TPyxFileStream::FlushWriteBuffer() {
    if (Mode_ != TMode::WriteFile || WriteLength_ == 0)
        return;
    size_t Done = 0;
    while (Done < WriteLength_) {
        ssize_t N = ::pwrite(Fd_, WriteBuffer_.get() + Done, WriteLength_ - Done,
                             static_cast<off_t>(WriteBufferStart_ + static_cast<int64_t>(Done)));
        if (N < 0 && errno == EINTR)
            continue;
        if (N <= 0)
            throw EFileStreamError(ErrnoText("Cannot write file", FileName_), FileName_);
        Done += static_cast<size_t>(N);
    }
    WriteLength_ = 0;
    // A save ends with a sync of every file. Handing the written bytes to the disk every few megabytes lets it
    // write them while the rest of the files are still being built, instead of all at the end: the final sync of
    // a 150 MB save then finds little left to do. Only a hint; a file system without it is simply not asked.
    UnsyncedBytes_ += static_cast<int64_t>(Done);
    if (UnsyncedBytes_ >= WritebackChunk) {
        ::sync_file_range(Fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
        UnsyncedBytes_ = 0;
    }
}

void TPyxFileStream::ShortRead(int64_t Wanted, int64_t Got) {
    Position_ = Size_;
    throw EFileCorruptError("Data file seems to be corrupt. Wanted to read " + std::to_string(Wanted) +
                            " bytes, could only read " + std::to_string(Got) + " bytes.");
}

void TPyxFileStream::Require(int64_t Count) {
    if (Count > Remaining())
        ShortRead(Count, std::max<int64_t>(0, Remaining()));
}

int64_t TPyxFileStream::Read(void* Buffer, int64_t Count) {
    if (Mode_ != TMode::ReadMemory)
        throw EStreamError("Stream not open for reading");
    if (Count <= 0)
        return 0;
    int64_t Avail = std::max<int64_t>(0, Size_ - Position_);
    int64_t N = std::min(Count, Avail);
    // An empty file has no buffer at all: copying nothing from it must not touch the null pointer.
    if (N > 0)
        std::memcpy(Buffer, ReadData_ + Position_, static_cast<size_t>(N));
    Position_ += N;
    if (N < Count)
        ShortRead(Count, N);
    return N;
}

void TPyxFileStream::Write(const void* Buffer, int64_t Count) {
    if (Count <= 0)
        return;
    const auto* Src = static_cast<const uint8_t*>(Buffer);
    if (Mode_ == TMode::ReadMemory)
        throw EStreamError("Stream not open for writing");
    if (Mode_ == TMode::WriteMemory) {
        size_t End = static_cast<size_t>(Position_ + Count);
        if (Data_.size() < End)
            Data_.resize(End);
        std::memcpy(Data_.data() + Position_, Src, static_cast<size_t>(Count));
    } else {
        while (Count > 0) {
            // The buffer holds one contiguous run of bytes; a write elsewhere starts a new run.
            if (WriteLength_ > 0 && (WriteBufferStart_ + static_cast<int64_t>(WriteLength_) != Position_ ||
                                     WriteLength_ == static_cast<size_t>(BufferSize)))
                FlushWriteBuffer();
            if (WriteLength_ == 0)
                WriteBufferStart_ = Position_;
            int64_t Room = BufferSize - static_cast<int64_t>(WriteLength_);
            int64_t M = std::min(Room, Count);
            std::memcpy(WriteBuffer_.get() + WriteLength_, Src, static_cast<size_t>(M));
            WriteLength_ += static_cast<size_t>(M);
            Src += M;
            Count -= M;
            Position_ += M;
        }
        if (Position_ > Size_)
            Size_ = Position_;
        return;
    }
    Position_ += Count;
    if (Position_ > Size_)
        Size_ = Position_;
}

int64_t TPyxFileStream::Seek(int64_t Offset, int Origin) {
    FlushWriteBuffer();
    int64_t Target;
    switch (Origin) {
    case soFromBeginning:
        Target = Offset;
        break;
    case soFromCurrent:
        Target = Position_ + Offset;
        break;
    case soFromEnd:
        Target = Size_ + Offset;
        break;
    default:
        throw EStreamError("Unknown Seek Origin");
    }
    Position_ = std::clamp<int64_t>(Target, 0, Size_);
    return Position_;
}

void TPyxFileStream::ReadWideString(std::u16string& S) {
    S.clear();
    int32_t N = ReadInt32();
    if (N <= 0)
        return;
    // Decide against the bytes that remain before allocating for a length read from the file.
    int64_t Bytes = 2 * static_cast<int64_t>(N);
    Require(Bytes);
    S.resize(static_cast<size_t>(N));
    Read(S.data(), Bytes);
    Skip(2); // the terminator is not checked
}

void TPyxFileStream::WriteWideString(const std::u16string& S) {
    int32_t N = static_cast<int32_t>(S.size());
    WriteInt32(N);
    if (N > 0) {
        Write(S.data(), 2 * static_cast<int64_t>(N));
        WriteInt16(0);
    }
}

void TPyxFileStream::SkipWideString() {
    int32_t N = ReadInt32();
    if (N > 0)
        Skip(2 * static_cast<int64_t>(N) + 2);
}

void TPyxFileStream::SkipWideStrings() {
    uint8_t C = ReadByte();
    for (int I = 0; I < C; ++I)
        SkipWideString();
}

void TWideStrings::LoadByteCounted(TPyxFileStream& Stream) {
    uint8_t C = Stream.ReadByte();
    for (int I = 0; I < C; ++I)
        Add(Stream.ReadWideString());
}

void TWideStrings::SaveByteCounted(TPyxFileStream& Stream) const {
    if (Items_.size() > 255)
        throw EFileCorruptError("A text list holds " + std::to_string(Items_.size()) +
                                " texts; its count byte allows at most 255.");
    Stream.WriteByte(static_cast<uint8_t>(Items_.size()));
    for (const auto& S : Items_)
        Stream.WriteWideString(S);
}
