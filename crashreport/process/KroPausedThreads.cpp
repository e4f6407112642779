#include "KroPausedThreads.h"

#include "KroThreadRegistry.h"

namespace {

// As long as a suspension may wait for each lock it must see free.
constexpr std::uint32_t RegistryWaitMs = 2000;

} // namespace

TPausedThreads::TPausedThreads() : Pauses(std::make_unique<TThreadPause[]>(MaxThreads)) {}

TPausedThreads::~TPausedThreads() {
    ResumeAll();
}

void TPausedThreads::PauseAll() {
    ResumeAll();
    pid_t Threads[MaxThreads];
    const std::size_t Found = EnumProcessThreads(Threads, MaxThreads);
    const pid_t Self = CurrentThreadId();
    const bool Registry = ThreadRegistryOpen();
    for (std::size_t I = 0; I < Found; ++I) {
        if (Threads[I] == Self)
            continue;
        if (Registry && !LockThreadRegistry(RegistryWaitMs))
            continue;
        if (Pauses[Count].Pause(Threads[I]))
            ++Count;
        if (Registry)
            UnlockThreadRegistry();
    }
}

void TPausedThreads::ResumeAll() noexcept {
    for (std::size_t I = 0; I < Count; ++I)
        Pauses[I].Resume();
    Count = 0;
}

bool TPausedThreads::ResumeOne(pid_t ThreadId) noexcept {
    for (std::size_t I = 0; I < Count; ++I)
        if (Pauses[I].ThreadId() == ThreadId && Pauses[I].Paused()) {
            Pauses[I].Resume();
            return true;
        }
    return false;
}

void TPausedThreads::PauseOne(pid_t ThreadId) noexcept {
    for (std::size_t I = 0; I < Count; ++I)
        if (Pauses[I].ThreadId() == ThreadId && !Pauses[I].Paused()) {
            const bool Registry = ThreadRegistryOpen();
            if (Registry && !LockThreadRegistry(RegistryWaitMs))
                return;
            Pauses[I].Pause(ThreadId);
            if (Registry)
                UnlockThreadRegistry();
            return;
        }
}

const TThreadRegisters* TPausedThreads::Find(pid_t ThreadId) const noexcept {
    for (std::size_t I = 0; I < Count; ++I)
        if (Pauses[I].ThreadId() == ThreadId && Pauses[I].Paused())
            return &Pauses[I].Registers();
    return nullptr;
}
