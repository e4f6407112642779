#pragma once

#include <utility>

// An open file descriptor of the reporter's (a file, a socket), closed with the object: the one owner of such
// handles, so that no path out of a function leaves one open.
class TKroFileHandle final {
public:
    TKroFileHandle() noexcept = default;
    // Takes Handle over; a negative one (a failed open) is no handle.
    explicit TKroFileHandle(int Handle) noexcept : Handle(Handle) {}
    ~TKroFileHandle() { Close(); }
    TKroFileHandle(TKroFileHandle&& Other) noexcept : Handle(std::exchange(Other.Handle, -1)) {}
    TKroFileHandle& operator=(TKroFileHandle&& Other) noexcept {
        if (this != &Other) {
            Close();
            Handle = std::exchange(Other.Handle, -1);
        }
        return *this;
    }
    TKroFileHandle(const TKroFileHandle&) = delete;
    TKroFileHandle& operator=(const TKroFileHandle&) = delete;

    int Get() const noexcept { return Handle; }
    bool IsOpen() const noexcept { return Handle >= 0; }
    void Close() noexcept;

private:
    int Handle = -1;
};
