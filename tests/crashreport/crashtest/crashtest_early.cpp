// Threads that a library's constructor starts, before the program's own start-up (and the crash reporter's in it)
// runs: the reporter never sees them created. One names itself, one does not. Only the modes of crashtest that look
// for them get them.

#include "crashtest_early.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <pthread.h>
#include <thread>

namespace {

std::atomic<int> Ready{0};

[[noreturn]] void StandBy() {
    Ready.fetch_add(1);
    for (;;)
        std::this_thread::sleep_for(std::chrono::seconds(1));
}

void* NamedEarly(void*) {
    pthread_setname_np(pthread_self(), "early named");
    StandBy();
}

void* UnnamedEarly(void*) {
    StandBy();
}

// The C library hands a shared library's constructors the program's arguments.
__attribute__((constructor)) void StartEarlyThreads(int Argc, char** Argv, char**) {
    if (Argc < 2 || (std::strcmp(Argv[1], "three-faults") != 0 && std::strcmp(Argv[1], "deaf-faults") != 0))
        return;
    pthread_t Thread;
    if (pthread_create(&Thread, nullptr, &NamedEarly, nullptr) == 0)
        pthread_detach(Thread);
    if (pthread_create(&Thread, nullptr, &UnnamedEarly, nullptr) == 0)
        pthread_detach(Thread);
}

} // namespace

int EarlyThreadsStandingBy() {
    return Ready.load();
}
