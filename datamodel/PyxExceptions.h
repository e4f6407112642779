#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

// The data layer's own failures. The editor shows their message in an error box; the command-line tools print
// ClassName() and the message, so every kind names itself.
class EPyxError : public std::runtime_error {
public:
    explicit EPyxError(const std::string& Msg) : std::runtime_error(Msg) {}
    virtual const char* ClassName() const { return "EPyxError"; }
};

// A data file could not be opened for reading or created for writing.
class EAccessDeniedError final : public EPyxError {
public:
    using EPyxError::EPyxError;
    const char* ClassName() const override { return "EAccessDeniedError"; }
};

// The content of a data file is not what the reader expects.
class EFileCorruptError final : public EPyxError {
public:
    using EPyxError::EPyxError;
    const char* ClassName() const override { return "EFileCorruptError"; }
};

// One entity record failed to load; FilePosition is where the stream stood at the failure.
class EPyxLoadError final : public EPyxError {
public:
    EPyxLoadError(const std::string& Msg, int64_t Position) : EPyxError(Msg), FilePosition(Position) {}
    const char* ClassName() const override { return "EPyxLoadError"; }
    int64_t FilePosition;
};

// A stream was misused (an unknown seek origin).
class EStreamError final : public EPyxError {
public:
    using EPyxError::EPyxError;
    const char* ClassName() const override { return "EStreamError"; }
};

// A file could not be opened or created; the database turns it into EAccessDeniedError with its own text.
class EFileStreamError final : public EPyxError {
public:
    EFileStreamError(const std::string& Msg, std::string Path) : EPyxError(Msg), FileName(std::move(Path)) {}
    const char* ClassName() const override { return "EFileStreamError"; }
    std::string FileName; // the path of the file concerned
};

// Runs Part, a step of a load or save; a failure of the data it reads or writes (EFileCorruptError, EPyxLoadError) is
// raised again as EFileCorruptError with Context, which says which step failed, before its own message.
template <class F> void WithCorruptContext(const std::string& Context, F&& Part) {
    try {
        Part();
    } catch (const EFileCorruptError& E) {
        throw EFileCorruptError(Context + E.what());
    } catch (const EPyxLoadError& E) {
        throw EFileCorruptError(Context + E.what());
    }
}
