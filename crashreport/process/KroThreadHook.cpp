#include "KroThreadHook.h"

#include "KroDemangle.h"
#include "KroFaultSignals.h"
#include "KroSafeRead.h"
#include "KroThreadContext.h"
#include "KroThreadRegistry.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dlfcn.h>
#include <linux/futex.h>
#include <new>
#include <string>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

std::atomic<bool> Enabled{false};

// Handed from the creator to the new thread. Both hold a reference; the last to let go frees it.
struct TStartRecord {
    void* (*Start)(void*) = nullptr;
    void* Argument = nullptr;
    pid_t CreatorThread = 0;
    std::uintptr_t CreatorAddress = 0;
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

bool SystemLibrary(std::uintptr_t Address) {
    Dl_info Info{};
    if (dladdr(reinterpret_cast<void*>(Address), &Info) == 0)
        return true; // no module: not code of the program
    const char* Path = Info.dli_fname != nullptr ? Info.dli_fname : "";
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

// How much of the creator's stack is searched for the creating call, at most.
constexpr std::size_t CreatorStackWords = 512;

// Reads the creator's stack from From up, as far as it can be read and at most Max words; the words read.
std::size_t ReadCreatorStack(std::uintptr_t From, std::uintptr_t* Words, std::size_t Max) {
    constexpr std::uintptr_t Page = 4096;
    std::size_t Count = 0;
    for (std::uintptr_t At = From; Count < Max;) {
        const std::uintptr_t PageEnd = (At | (Page - 1)) + 1;
        std::size_t Take = (PageEnd - At) / sizeof(std::uintptr_t);
        if (Take > Max - Count)
            Take = Max - Count;
        if (Take == 0 || !KroSafeRead(At, Words + Count, Take * sizeof(std::uintptr_t)))
            break;
        Count += Take;
        At += Take * sizeof(std::uintptr_t);
    }
    return Count;
}

// The first Max return addresses live on the creator's stack, newest first, outside the system's libraries. The
// frame-pointer chain from the hooked call's own frame tells the live frames of the program's code (built with frame
// pointers) from old values left in them: a frame that reserves space it never writes (a sanitizer's red zones, a large
// buffer) still holds the return addresses of calls it made before, which look as good as live ones. Between two frames
// of the chain lie only the frames of library code without frame pointers and the older frame's own space; the live
// return address there is the lowest one into the program, and only where the newer frame returns into library
// code. Above the chain's end every return address into the program counts, in order.
std::size_t LiveProgramReturns(std::uintptr_t ReturnAddress, std::uintptr_t CallerStack, std::uintptr_t* Returns,
                               std::size_t Max) {
    std::size_t Count = 0;
    auto Take = [&](std::uintptr_t Address) {
        if (Count < Max && !SystemLibrary(Address))
            Returns[Count++] = Address;
    };
    Take(ReturnAddress);
    if (CallerStack < 16)
        return Count;
    std::uintptr_t Words[CreatorStackWords];
    // The hooked call's frame: its saved frame pointer and return address lie right below the caller's stack.
    const std::uintptr_t From = CallerStack - 16;
    const std::size_t Read = ReadCreatorStack(From, Words, CreatorStackWords);
    const std::uintptr_t End = From + Read * sizeof(std::uintptr_t);
    auto Word = [&](std::uintptr_t Address) { return Words[(Address - From) / sizeof(std::uintptr_t)]; };
    auto Candidate = [&](std::uintptr_t Value) {
        return Value > 0x10000 && !SystemLibrary(Value) && CallLength(Value) != 0;
    };
    bool ReturnsToLibrary = SystemLibrary(ReturnAddress);
    std::uintptr_t Position = CallerStack; // the lowest word not looked at yet
    for (std::uintptr_t Frame = Read >= 2 ? Word(From) : 0;
         Count < Max && Frame >= Position && Frame + 16 <= End && (Frame & 7) == 0 && CallLength(Word(Frame + 8)) != 0;
         Frame = Word(Frame)) {
        if (ReturnsToLibrary)
            for (std::uintptr_t At = Position; At < Frame; At += sizeof(std::uintptr_t))
                if (Candidate(Word(At))) {
                    Take(Word(At));
                    break;
                }
        const std::uintptr_t Return = Word(Frame + 8);
        Take(Return);
        ReturnsToLibrary = SystemLibrary(Return);
        Position = Frame + 16;
    }
    for (std::uintptr_t At = Position; Count < Max && At < End; At += sizeof(std::uintptr_t))
        if (Candidate(Word(At)))
            Take(Word(At));
    return Count;
}

// The code that created the thread: the first live return address on the creator's stack outside the system's
// libraries (QThread creates its threads from library code). A thread object's own start-up code is passed over too
// (Skip more): a std::thread is started from its constructor, which the program's code calls. The address returned
// is the creating call instruction's own, so that the report shows the line of the call.
std::uintptr_t CreatorAddress(std::uintptr_t ReturnAddress, std::uintptr_t CallerStack, std::size_t Skip) {
    auto CallOf = [](std::uintptr_t Return) {
        const std::size_t Length = CallLength(Return);
        return Return - (Length != 0 ? Length : 1);
    };
    std::uintptr_t Returns[8];
    const std::size_t Wanted = Skip < sizeof Returns / sizeof *Returns ? Skip + 1 : sizeof Returns / sizeof *Returns;
    const std::size_t Count = LiveProgramReturns(ReturnAddress, CallerStack, Returns, Wanted);
    if (Count == 0)
        return CallOf(ReturnAddress);
    return CallOf(Returns[Count - 1]);
}

void* ThreadStartWrapper(void* Raw) {
    auto* Record = static_cast<TStartRecord*>(Raw);
    void* (*Start)(void*) = Record->Start;
    void* Argument = Record->Argument;
    const pid_t Self = CurrentThreadId();
    InstallThreadAltStack();
    RegisterThreadInfo(Self, static_cast<std::uintptr_t>(pthread_self()), nullptr, Record->CreatorThread,
                       Record->CreatorAddress, Record->ClassName[0] != '\0' ? Record->ClassName : nullptr);
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
                       void* (*Start)(void*), void* Argument, std::uintptr_t ReturnAddress,
                       std::uintptr_t CallerStack) {
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
    const bool StdThread = std::strcmp(Record->ClassName, "std::thread") == 0;
    Record->CreatorAddress = CreatorAddress(ReturnAddress, CallerStack, StdThread ? 1 : 0);
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
