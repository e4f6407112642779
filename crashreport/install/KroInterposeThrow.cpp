// Every C++ throw of the process passes through here first, so that the reporter knows where an exception was
// thrown even after handlers have unwound the stack.

#include "KroThrowSite.h"

#include <cstdint>
#include <cstdlib>
#include <dlfcn.h>
#include <typeinfo>

namespace {

using TCxaThrow = void (*)(void*, std::type_info*, void (*)(void*));

TCxaThrow SystemThrow() {
    static const TCxaThrow Throw = reinterpret_cast<TCxaThrow>(dlsym(RTLD_NEXT, "__cxa_throw"));
    return Throw;
}

__attribute__((constructor(101))) void ResolveThrow() {
    SystemThrow();
}

} // namespace

extern "C" __attribute__((visibility("default"), noreturn, noinline)) void
__cxa_throw(void* Object, std::type_info* Type, void (*Destructor)(void*)) {
    RecordThrow(Object, Type, reinterpret_cast<std::uintptr_t>(__builtin_return_address(0)),
                reinterpret_cast<std::uintptr_t>(__builtin_frame_address(0)) + 16);
    const TCxaThrow Throw = SystemThrow();
    if (Throw == nullptr)
        std::abort();
    Throw(Object, Type, Destructor);
    __builtin_unreachable();
}
