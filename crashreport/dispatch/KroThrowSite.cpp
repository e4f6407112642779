#include "KroThrowSite.h"

#include <cstring>
#include <cxxabi.h>
#include <exception>

namespace {

// Thread-local storage lies at the top of a thread's stack mapping, inside the range its trace reads: the throw's
// address is kept complemented, so that a trace never meets it there and takes it for the throw itself.
// The path's return addresses lie there too: they are kept complemented as well.
struct TThrowRecord {
    const void* Object;
    const std::type_info* Type;
    std::uintptr_t ComplementedAddress;
    std::uintptr_t Stack;
    TRecordedPath Path;
};

__attribute__((tls_model("initial-exec"))) thread_local TThrowRecord LastThrow;

} // namespace

void RecordThrow(const void* Object, const std::type_info* Type, std::uintptr_t Address,
                 std::uintptr_t Stack) noexcept {
    LastThrow.Object = Object;
    LastThrow.Type = Type;
    LastThrow.ComplementedAddress = ~Address;
    LastThrow.Stack = Stack;
    RecordCallPath(Address, LastThrow.Path);
    for (std::uint32_t I = 0; I < LastThrow.Path.Count; ++I)
        LastThrow.Path.Frames[I].Address = ~LastThrow.Path.Frames[I].Address;
}

bool CurrentException(TExceptObject& Object, std::uintptr_t& Address, std::uintptr_t& Stack,
                      TRecordedPath* Path) noexcept {
    Object = TExceptObject{};
    Address = 0;
    Stack = 0;
    if (Path != nullptr)
        Path->Count = 0;
    const std::type_info* Type = abi::__cxa_current_exception_type();
    if (Type == nullptr)
        return false;
    // The runtime's exception pointer holds the thrown object's address and nothing else.
    const std::exception_ptr Current = std::current_exception();
    const void* Thrown = nullptr;
    static_assert(sizeof Current == sizeof Thrown);
    std::memcpy(&Thrown, &Current, sizeof Thrown);
    Object = TExceptObject{Thrown, Type};
    if (Thrown != nullptr && LastThrow.Object == Thrown) {
        Address = ~LastThrow.ComplementedAddress;
        Stack = LastThrow.Stack;
        if (Path != nullptr) {
            *Path = LastThrow.Path;
            for (std::uint32_t I = 0; I < Path->Count; ++I)
                Path->Frames[I].Address = ~Path->Frames[I].Address;
        }
    }
    return true;
}
