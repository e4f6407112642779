// Thread creation and naming pass through the reporter: the program's definitions take the place of the system's
// for the whole process (the libraries' calls included), and hand on to the system's routines.

#include "KroThreadHook.h"

#include <cstdint>
#include <dlfcn.h>
#include <pthread.h>

namespace {

using TPthreadSetName = int (*)(pthread_t, const char*);

template <typename T> T Next(const char* Name) {
    return reinterpret_cast<T>(dlsym(RTLD_NEXT, Name));
}

TPthreadCreate SystemCreate() {
    static const TPthreadCreate Create = Next<TPthreadCreate>("pthread_create");
    return Create;
}

TPthreadSetName SystemSetName() {
    static const TPthreadSetName SetName = Next<TPthreadSetName>("pthread_setname_np");
    return SetName;
}

// Resolved at start-up, so that no later call waits for the loader.
__attribute__((constructor(101))) void ResolveThreadRoutines() {
    SystemCreate();
    SystemSetName();
}

} // namespace

extern "C" __attribute__((visibility("default"), noinline)) int
pthread_create(pthread_t* Thread, const pthread_attr_t* Attributes, void* (*Start)(void*), void* Argument) {
    return CreateHookedThread(SystemCreate(), Thread, Attributes, Start, Argument,
                              reinterpret_cast<std::uintptr_t>(__builtin_return_address(0)));
}

extern "C" __attribute__((visibility("default"))) int pthread_setname_np(pthread_t Thread, const char* Name) {
    const int Result = SystemSetName()(Thread, Name);
    if (Result == 0)
        ThreadNamed(Thread, Name);
    return Result;
}
