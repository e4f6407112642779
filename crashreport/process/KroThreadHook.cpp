#include "KroThreadHook.h"

#include "KroDemangle.h"
#include "KroFaultSignals.h"
#include "KroReportingThreads.h"
#include "KroSafeRead.h"
#include "KroThreadContext.h"
#include "KroThreadRegistry.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dlfcn.h>
#include <link.h>
#include <linux/futex.h>
#include <new>
#include <string>
#include <sys/syscall.h>
#include <unistd.h>
#include <unwind.h>

namespace {

std::atomic<bool> Enabled{false};

// Handed from the creator to the new thread. Both hold a reference; the last to let go frees it.
struct TStartRecord {
    void* (*Start)(void*) = nullptr;
    void* Argument = nullptr;
    pid_t CreatorThread = 0;
    std::uintptr_t CreatorAddress = 0;
    std::uintptr_t OuterCreatorCalls[OuterCreatorCallCount] = {};
    char ClassName[128] = {};
    std::atomic<std::uint32_t> Registered{0};
    std::atomic<int> References{2};
};

// How long a creator waits for its new thread to enter itself in the registry, so that naming the thread right
// after creating it finds the entry.
constexpr long RegisterWaitNs = 1000000000;

void Release(TStartRecord* Record) {
    if (Record->References.fetch_sub(1) == 1) {
        Record->~TStartRecord();
        std::free(Record);
    }
}

// Whether code lies outside the program's own modules: in a library of the system (the C and C++ libraries, Qt), or in
// no module at all. The loader's object lookup is the lock-free one made for unwinders (the unwinder below uses it
// too): the loader's lock, which dladdr takes, may be held by a thread that a report has paused, and this runs in
// every thread's creation.
bool SystemLibrary(std::uintptr_t Address) {
    dl_find_object Found{};
    if (_dl_find_object(reinterpret_cast<void*>(Address), &Found) != 0 || Found.dlfo_link_map == nullptr)
        return true;
    const char* Path = Found.dlfo_link_map->l_name != nullptr ? Found.dlfo_link_map->l_name : "";
    return std::strncmp(Path, "/lib", 4) == 0 || std::strncmp(Path, "/usr/lib", 8) == 0;
}

// The length of the call instruction that ends right before Address (so Address is a return address); 0 for none.
std::size_t CallLength(std::uintptr_t Address) {
    unsigned char Code[7];
    if (Address < sizeof Code || !KroSafeRead(Address - sizeof Code, Code, sizeof Code))
        return 0;
    auto IndirectCall = [](unsigned char Modrm) { return (Modrm & 0x38) == 0x10; };
    if (Code[2] == 0xE8) // call rel32
        return 5;
    if (Code[5] == 0xFF && IndirectCall(Code[6]) && (Code[6] & 0xC0) == 0xC0) // call reg
        return 2;
    if (Code[4] == 0xFF && Code[5] == 0x14 && Code[6] == 0x24) // call [rsp]
        return 3;
    if (Code[4] == 0xFF && IndirectCall(Code[5]) && (Code[5] & 0xC0) == 0x40) // call [reg+disp8]
        return 3;
    if (Code[1] == 0xFF && IndirectCall(Code[2]) && ((Code[2] & 0xC0) == 0x80 || (Code[2] & 0xC7) == 0x05))
        return 6; // call [reg+disp32], call [rip+disp32]
    if (Code[0] == 0xFF && IndirectCall(Code[1]) && (Code[1] & 0xC7) == 0x84)
        return 7; // call [base+index+disp32]
    return 0;
}

// The call instruction's own address for a return address, so that a report shows the line of the call.
std::uintptr_t CallOf(std::uintptr_t Return) {
    const std::size_t Length = CallLength(Return);
    return Return - (Length != 0 ? Length : 1);
}

// How many frames of the creator's stack are looked at.
constexpr std::size_t UnwoundFrames = 64;

struct TUnwound {
    std::uintptr_t Frames[UnwoundFrames];
    std::size_t Count = 0;
};

_Unwind_Reason_Code CollectFrame(_Unwind_Context* Context, void* Data) {
    auto& Walk = *static_cast<TUnwound*>(Data);
    int BeforeInstruction = 0;
    const auto Address = static_cast<std::uintptr_t>(_Unwind_GetIPInfo(Context, &BeforeInstruction));
    if (Address == 0 || Walk.Count == UnwoundFrames)
        return _URC_END_OF_STACK;
    Walk.Frames[Walk.Count++] = Address;
    return _URC_NO_REASON;
}

// The calls that created the thread, nearest first: the live frames of the creator's stack, outside the system's
// libraries, from the hooked call's caller out. The compiler's unwind tables tell the live frames, with or without
// frame pointers and whatever the optimiser inlined: QThread creates its threads from library code, std::thread from
// the C++ library's. Which of them the report names (a std::thread constructor compiled into the program is the C++
// library's code too) is decided when the report is made. Without any such frame, the hooked call's own caller.
std::size_t CreatorCalls(std::uintptr_t ReturnAddress, std::uintptr_t* Calls, std::size_t Max) {
    TUnwound Walk;
    _Unwind_Backtrace(&CollectFrame, &Walk);
    std::size_t First = 0;
    while (First < Walk.Count && Walk.Frames[First] != ReturnAddress)
        ++First;
    std::size_t Count = 0;
    for (std::size_t I = First; I < Walk.Count && Count < Max; ++I)
        if (!SystemLibrary(Walk.Frames[I]))
            Calls[Count++] = CallOf(Walk.Frames[I]);
    if (Count == 0 && Max > 0)
        Calls[Count++] = CallOf(ReturnAddress);
    return Count;
}

void* ThreadStartWrapper(void* Raw) {
    auto* Record = static_cast<TStartRecord*>(Raw);
    void* (*Start)(void*) = Record->Start;
    void* Argument = Record->Argument;
    const pid_t Self = CurrentThreadId();
    InstallThreadAltStack();
    ForgetEndedThread(Self);
    RegisterThreadInfo(Self, static_cast<std::uintptr_t>(pthread_self()), nullptr, Record->CreatorThread,
                       Record->CreatorAddress, Record->ClassName[0] != '\0' ? Record->ClassName : nullptr,
                       Record->OuterCreatorCalls);
    Record->Registered.store(1, std::memory_order_release);
    syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(&Record->Registered), FUTEX_WAKE_PRIVATE, 1, nullptr, nullptr,
            0);
    Release(Record);
    // The entry and the alternate stack go however the thread ends (pthread_exit unwinds through here too).
    struct TThreadEnd {
        pid_t Thread;
        ~TThreadEnd() {
            RemoveThreadInfo(Thread);
            RemoveThreadAltStack();
        }
    } End{Self};
    // No handler here: an exception that leaves the routine reaches the terminate handler with the thrower's frames
    // still on the stack, and is reported there (see ReportTermination).
    return Start(Argument);
}

} // namespace

void EnableThreadHook(bool Value) noexcept {
    Enabled.store(Value);
}

bool ThreadHookEnabled() noexcept {
    return Enabled.load();
}

void ObjectClassName(const void* Object, char* Name, std::size_t Size) noexcept {
    if (Size == 0)
        return;
    Name[0] = '\0';
    std::uintptr_t Table = 0, Type = 0, MangledAddress = 0;
    if (Object == nullptr || !KroSafeRead(reinterpret_cast<std::uintptr_t>(Object), &Table, sizeof Table) ||
        Table < 0x10000 || !KroSafeRead(Table - sizeof Table, &Type, sizeof Type) || Type < 0x10000 ||
        !KroSafeRead(Type + sizeof Type, &MangledAddress, sizeof MangledAddress))
        return;
    char Mangled[256] = {};
    std::size_t Length = 0;
    while (Length + 1 < sizeof Mangled && KroSafeRead(MangledAddress + Length, &Mangled[Length], 1) &&
           Mangled[Length] != '\0')
        ++Length;
    if (Length == 0 || Length + 1 == sizeof Mangled)
        return;
    const char* Start = Mangled[0] == '*' ? Mangled + 1 : Mangled;
    for (const char* C = Start; *C != '\0'; ++C)
        if (!((*C >= 'a' && *C <= 'z') || (*C >= 'A' && *C <= 'Z') || (*C >= '0' && *C <= '9') || *C == '_'))
            return;
    std::string Readable;
    if (KroDemangleType(Start, Readable)) {
        // A std::thread's state is a template instance named after the callable: the thread class is std::thread.
        const char* Text = Readable.starts_with("std::thread::") ? "std::thread" : Readable.c_str();
        std::strncpy(Name, Text, Size - 1);
        Name[Size - 1] = '\0';
    }
}

int CreateHookedThread(TPthreadCreate Create, pthread_t* Thread, const pthread_attr_t* Attributes,
                       void* (*Start)(void*), void* Argument, std::uintptr_t ReturnAddress) {
    if (!Enabled.load() || ThreadIsReportingFault())
        return Create(Thread, Attributes, Start, Argument);
    void* Memory = std::malloc(sizeof(TStartRecord));
    if (Memory == nullptr)
        return Create(Thread, Attributes, Start, Argument);
    auto* Record = new (Memory) TStartRecord;
    Record->Start = Start;
    Record->Argument = Argument;
    Record->CreatorThread = CurrentThreadId();
    ObjectClassName(Argument, Record->ClassName, sizeof Record->ClassName);
    std::uintptr_t Calls[1 + OuterCreatorCallCount] = {};
    CreatorCalls(ReturnAddress, Calls, sizeof Calls / sizeof *Calls);
    Record->CreatorAddress = Calls[0];
    std::memcpy(Record->OuterCreatorCalls, Calls + 1, sizeof Record->OuterCreatorCalls);
    const int Result = Create(Thread, Attributes, &ThreadStartWrapper, Record);
    if (Result != 0) {
        Record->~TStartRecord();
        std::free(Memory);
        return Result;
    }
    timespec Now{};
    clock_gettime(CLOCK_MONOTONIC, &Now);
    const long long Deadline = Now.tv_sec * 1000000000LL + Now.tv_nsec + RegisterWaitNs;
    while (Record->Registered.load(std::memory_order_acquire) == 0) {
        clock_gettime(CLOCK_MONOTONIC, &Now);
        const long long Left = Deadline - (Now.tv_sec * 1000000000LL + Now.tv_nsec);
        if (Left <= 0)
            break;
        const timespec Wait{static_cast<time_t>(Left / 1000000000), static_cast<long>(Left % 1000000000)};
        syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(&Record->Registered), FUTEX_WAIT_PRIVATE, 0, &Wait, nullptr,
                0);
    }
    Release(Record);
    return 0;
}

void ThreadNamed(pthread_t Thread, const char* Name) {
    if (!Enabled.load() || Name == nullptr)
        return;
    const pid_t Id =
        pthread_equal(Thread, pthread_self()) ? CurrentThreadId() : ThreadOfHandle(static_cast<std::uintptr_t>(Thread));
    if (Id != 0)
        SetThreadName(Id, Name);
}
