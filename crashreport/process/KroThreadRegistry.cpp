#include "KroThreadRegistry.h"

#include "KroSharedBlock.h"
#include "KroStrings.h"
#include "KroThreadContext.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <pthread.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

constexpr std::uint32_t BlockMagic = 0x4b524f54; // "KROT"
constexpr std::uint32_t BlockVersion = 1;

struct TRegistryNode {
    pid_t ThreadId = 0;
    char* Name = nullptr;
    TRegistryNode* Next = nullptr;
    char* ClassName = nullptr;
    std::uintptr_t CreatorAddress = 0;
    pid_t CreatorThread = 0;
    std::uintptr_t Handle = 0;
    std::uintptr_t OuterCreatorCalls[OuterCreatorCallCount] = {};
};

// The shared block. Lock A is kept for the one watchdog of the process; lock B guards the list.
struct TRegistryBlock {
    std::uint32_t Magic;
    std::uint32_t Version;
    pid_t OwnerProcess;
    std::uint64_t OwnerStartTime; // in clock ticks since boot, as /proc/self/stat gives it
    pthread_mutex_t LockA;
    pthread_mutex_t LockB;
    TRegistryNode* First;
    std::atomic<std::int32_t> ReferenceCount;
};

constexpr const char* BlockPrefix = "KroExceptThreadNameBuf";

std::atomic<TRegistryBlock*> Block{nullptr};
// The process that opened the block: a child of fork inherits the parent's mapping, whose list and its nodes (in the
// parent's heap) are the parent's; the child leaves them alone and keeps a registry of its own.
std::atomic<pid_t> BlockOwner{0};
// The block's name, empty when it has none (a registry that could not have its name lives in private memory).
char BlockName[64] = {};

// This process's start time: a block with another one was left by a dead process with the same id.
std::uint64_t ProcessStartTime() noexcept {
    std::uint64_t Start = 0;
    ProcessRuns(getpid(), &Start);
    return Start;
}

char* CopyText(const char* Text) {
    if (Text == nullptr)
        return nullptr;
    const std::size_t Length = std::strlen(Text);
    auto* Copy = static_cast<char*>(std::malloc(Length + 1));
    if (Copy != nullptr)
        std::memcpy(Copy, Text, Length + 1);
    return Copy;
}

void FreeNode(TRegistryNode* Node) {
    std::free(Node->Name);
    std::free(Node->ClassName);
    std::free(Node);
}

bool ThreadAlive(pid_t ThreadId) noexcept {
    return syscall(SYS_tgkill, getpid(), ThreadId, 0) == 0 || errno != ESRCH;
}

bool LockB(TRegistryBlock* Registry, std::uint32_t TimeoutMs) noexcept {
    timespec Deadline{};
    clock_gettime(CLOCK_REALTIME, &Deadline);
    Deadline.tv_sec += TimeoutMs / 1000;
    Deadline.tv_nsec += static_cast<long>(TimeoutMs % 1000) * 1000000;
    if (Deadline.tv_nsec >= 1000000000) {
        ++Deadline.tv_sec;
        Deadline.tv_nsec -= 1000000000;
    }
    return pthread_mutex_timedlock(&Registry->LockB, &Deadline) == 0;
}

// Unlinks and returns the node of a thread, or null. Under lock B.
TRegistryNode* Unlink(TRegistryBlock* Registry, pid_t ThreadId) noexcept {
    for (TRegistryNode** Link = &Registry->First; *Link != nullptr; Link = &(*Link)->Next) {
        if ((*Link)->ThreadId == ThreadId) {
            TRegistryNode* Node = *Link;
            *Link = Node->Next;
            return Node;
        }
    }
    return nullptr;
}

// The magic number, written last and read first: another process that starts meanwhile and finds the block judges
// it by its owner only once the owner is written, and leaves a block without the number alone (being made).
std::uint32_t MagicOf(const TRegistryBlock* Registry) noexcept {
    return std::atomic_ref<std::uint32_t>(const_cast<std::uint32_t&>(Registry->Magic)).load(std::memory_order_acquire);
}

void InitialiseBlock(TRegistryBlock* Registry) noexcept {
    Registry->OwnerProcess = getpid();
    Registry->OwnerStartTime = ProcessStartTime();
    pthread_mutexattr_t Attributes;
    pthread_mutexattr_init(&Attributes);
    pthread_mutexattr_setpshared(&Attributes, PTHREAD_PROCESS_SHARED);
    pthread_mutex_init(&Registry->LockA, &Attributes);
    pthread_mutex_init(&Registry->LockB, &Attributes);
    pthread_mutexattr_destroy(&Attributes);
    Registry->First = nullptr;
    Registry->ReferenceCount.store(1);
    Registry->Version = BlockVersion;
    std::atomic_ref<std::uint32_t>(Registry->Magic).store(BlockMagic, std::memory_order_release);
}

TRegistryBlock* MapBlock(int File) noexcept {
    void* View = mmap(nullptr, sizeof(TRegistryBlock), PROT_READ | PROT_WRITE, MAP_SHARED, File, 0);
    return View == MAP_FAILED ? nullptr : static_cast<TRegistryBlock*>(View);
}

void Adopt(TRegistryBlock* Registry) noexcept {
    BlockOwner.store(getpid());
    Block.store(Registry);
}

// A new registry: its block initialised, the main thread named.
bool Start(TRegistryBlock* Registry) noexcept {
    InitialiseBlock(Registry);
    Adopt(Registry);
    RegisterThreadInfo(getpid(), 0, "main thread", 0, 0, nullptr);
    return true;
}

// The registry of a process whose block name another user holds (left by that user's process that had this id): the
// block is refused, and the registry lives in memory of this process alone.
bool StartPrivate() noexcept {
    void* View = mmap(nullptr, sizeof(TRegistryBlock), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (View == MAP_FAILED)
        return false;
    BlockName[0] = '\0';
    return Start(static_cast<TRegistryBlock*>(View));
}

// The list as it stood when the process forked, taken under the lock just before: in the child these nodes are its
// own copies (its heap is a copy of the parent's), which it frees when it lets go of the parent's block. Later nodes
// of the parent's are not the child's to touch.
TRegistryNode* ListAtFork = nullptr;
bool LockedForFork = false;

void BeforeFork() noexcept {
    ListAtFork = nullptr;
    TRegistryBlock* Registry = Block.load();
    if (Registry == nullptr || BlockOwner.load() != getpid() || !LockB(Registry, 2000))
        return;
    LockedForFork = true;
    ListAtFork = Registry->First;
}

void AfterForkInParent() noexcept {
    if (LockedForFork)
        pthread_mutex_unlock(&Block.load()->LockB);
    LockedForFork = false;
    ListAtFork = nullptr;
}

// In a child of fork: lets go of the parent's block without touching it.
void ForgetInheritedBlock() noexcept {
    if (TRegistryBlock* Inherited = Block.exchange(nullptr))
        munmap(Inherited, sizeof(TRegistryBlock));
    BlockName[0] = '\0';
    BlockOwner.store(0);
    for (TRegistryNode* Node = ListAtFork; Node != nullptr;) {
        TRegistryNode* Next = Node->Next;
        FreeNode(Node);
        Node = Next;
    }
    ListAtFork = nullptr;
}

// A child of fork that let go of its parent's block makes its own when it first uses the registry.
std::atomic<bool> OpenWhenUsed{false};

void AfterForkInChild() noexcept {
    // The lock is the parent's to give back (the block is shared).
    LockedForFork = false;
    if (Block.load() == nullptr)
        return;
    ForgetInheritedBlock();
    OpenWhenUsed.store(true);
}

// The process's registry; a child of fork that uses it the first time makes its own.
TRegistryBlock* CurrentBlock() noexcept {
    TRegistryBlock* Registry = Block.load();
    if ((Registry != nullptr && BlockOwner.load() != getpid()) ||
        (Registry == nullptr && OpenWhenUsed.exchange(false))) {
        ForgetInheritedBlock();
        OpenThreadRegistry();
        Registry = Block.load();
    }
    return Registry;
}

// A block left by a process that is gone, or by one whose id a later process has.
bool StaleRegistry(pid_t Process, int File) {
    std::uint64_t StartTime = 0;
    if (!ProcessRuns(Process, &StartTime))
        return true;
    struct stat Status {};
    if (fstat(File, &Status) != 0 || static_cast<std::size_t>(Status.st_size) < sizeof(TRegistryBlock))
        return false; // being made right now
    void* View = mmap(nullptr, sizeof(TRegistryBlock), PROT_READ, MAP_SHARED, File, 0);
    if (View == MAP_FAILED)
        return false;
    const auto* Registry = static_cast<const TRegistryBlock*>(View);
    const bool Stale = MagicOf(Registry) == BlockMagic && Registry->Version == BlockVersion &&
                       (Registry->OwnerProcess != Process || Registry->OwnerStartTime != StartTime);
    munmap(View, sizeof(TRegistryBlock));
    return Stale;
}

} // namespace

std::string ThreadRegistryName(pid_t ProcessId) {
    return "/KroExceptThreadNameBuf$" + IntToHexText(static_cast<std::uint32_t>(ProcessId));
}

bool OpenThreadRegistry() noexcept {
    if (Block.load() != nullptr) {
        if (BlockOwner.load() == getpid())
            return true;
        ForgetInheritedBlock();
    }
    OpenWhenUsed.store(false);
    // A child of fork that uses the registry makes its own (CurrentBlock); one that never does has none.
    static const bool ForkHandlers = pthread_atfork(&BeforeFork, &AfterForkInParent, &AfterForkInChild) == 0;
    (void)ForkHandlers;
    const std::string Name = ThreadRegistryName(getpid());
    if (Name.size() >= sizeof BlockName)
        return false;
    std::memcpy(BlockName, Name.c_str(), Name.size() + 1);
    for (int Attempt = 0; Attempt < 2; ++Attempt) {
        int File = CreateOwnSharedBlock(BlockName);
        if (File >= 0) {
            if (ftruncate(File, sizeof(TRegistryBlock)) != 0) {
                close(File);
                shm_unlink(BlockName);
                return false;
            }
            TRegistryBlock* Registry = MapBlock(File);
            close(File);
            if (Registry == nullptr) {
                shm_unlink(BlockName);
                return false;
            }
            return Start(Registry);
        }
        if (errno != EEXIST)
            return false;
        // The name exists: this process made it (another part of it carries the reporter too), or a dead process
        // with the same id left it behind; when that process was another user's, the block is not ours to use.
        File = OpenOwnSharedBlock(BlockName, O_RDWR);
        if (File < 0) {
            if (errno != EACCES)
                return false;
            if (SharedBlockOfAnotherUser(BlockName))
                return StartPrivate();
            // This user's, but open to others: not to be trusted, and replaced.
            shm_unlink(BlockName);
            continue;
        }
        struct stat Status {};
        TRegistryBlock* Registry = nullptr;
        if (fstat(File, &Status) == 0 && static_cast<std::size_t>(Status.st_size) >= sizeof(TRegistryBlock))
            Registry = MapBlock(File);
        close(File);
        if (Registry != nullptr && MagicOf(Registry) == BlockMagic && Registry->Version == BlockVersion &&
            Registry->OwnerProcess == getpid() && Registry->OwnerStartTime == ProcessStartTime()) {
            Registry->ReferenceCount.fetch_add(1);
            Adopt(Registry);
            return true;
        }
        if (Registry != nullptr)
            munmap(Registry, sizeof(TRegistryBlock));
        shm_unlink(BlockName);
    }
    return false;
}

void RemoveStaleThreadRegistries() {
    RemoveStaleSharedBlocks(BlockPrefix, &StaleRegistry);
}

void CloseThreadRegistry() noexcept {
    TRegistryBlock* Registry = Block.load();
    if (Registry == nullptr)
        return;
    if (BlockOwner.load() != getpid()) {
        ForgetInheritedBlock();
        return;
    }
    if (Registry->ReferenceCount.fetch_sub(1) != 1) {
        Block.store(nullptr);
        return;
    }
    // The last one out: free the list under the lock (a reader copies under it too) and remove the name. The block
    // stays mapped: a thread of the ending process may still be waiting for its lock.
    if (LockB(Registry, 2000)) {
        for (TRegistryNode* Node = Registry->First; Node != nullptr;) {
            TRegistryNode* Next = Node->Next;
            FreeNode(Node);
            Node = Next;
        }
        Registry->First = nullptr;
        Block.store(nullptr);
        pthread_mutex_unlock(&Registry->LockB);
    } else {
        Block.store(nullptr);
    }
    if (BlockName[0] != '\0')
        shm_unlink(BlockName);
}

bool ThreadRegistryOpen() noexcept {
    return Block.load() != nullptr;
}

void UnlinkThreadRegistry() noexcept {
    // A child of fork that never used the registry still holds its parent's name: not its own to remove.
    if (BlockName[0] != '\0' && BlockOwner.load() == getpid())
        shm_unlink(BlockName);
}

void RegisterThreadInfo(pid_t ThreadId, std::uintptr_t Handle, const char* Name, pid_t CreatorThread,
                        std::uintptr_t CreatorAddress, const char* ClassName, const std::uintptr_t* OuterCreatorCalls) {
    TRegistryBlock* Registry = CurrentBlock();
    if (Registry == nullptr || ThreadId <= 0)
        return;
    const bool Keep = Name != nullptr || CreatorAddress != 0 || CreatorThread != 0;
    // Copies are made before the lock is taken, so that nothing waits for the heap while holding it.
    TRegistryNode* Fresh = nullptr;
    if (Keep) {
        Fresh = static_cast<TRegistryNode*>(std::calloc(1, sizeof(TRegistryNode)));
        if (Fresh == nullptr)
            return;
        Fresh->ThreadId = ThreadId;
        Fresh->Name = CopyText(Name);
        Fresh->ClassName = CopyText(ClassName);
        Fresh->CreatorThread = CreatorThread;
        Fresh->CreatorAddress = CreatorAddress;
        Fresh->Handle = Handle;
        if (OuterCreatorCalls != nullptr)
            std::memcpy(Fresh->OuterCreatorCalls, OuterCreatorCalls, sizeof Fresh->OuterCreatorCalls);
    }
    TRegistryNode* Old = nullptr;
    TRegistryNode* Ended = nullptr;
    if (!LockB(Registry, 5000)) {
        if (Fresh != nullptr)
            FreeNode(Fresh);
        return;
    }
    Old = Unlink(Registry, ThreadId);
    if (Fresh != nullptr) {
        if (Old != nullptr) {
            // What this call does not carry is kept from the thread's earlier entry.
            if (Fresh->Name == nullptr)
                std::swap(Fresh->Name, Old->Name);
            if (Fresh->ClassName == nullptr)
                std::swap(Fresh->ClassName, Old->ClassName);
            if (Fresh->CreatorAddress == 0 && Fresh->CreatorThread == 0) {
                Fresh->CreatorAddress = Old->CreatorAddress;
                Fresh->CreatorThread = Old->CreatorThread;
                std::memcpy(Fresh->OuterCreatorCalls, Old->OuterCreatorCalls, sizeof Fresh->OuterCreatorCalls);
            }
            if (Fresh->Handle == 0)
                Fresh->Handle = Old->Handle;
        }
        Fresh->Next = Registry->First;
        Registry->First = Fresh;
    }
    // At most one entry of a thread that has ended goes with each call.
    for (TRegistryNode* Node = Registry->First; Node != nullptr; Node = Node->Next) {
        if (Node->ThreadId != ThreadId && !ThreadAlive(Node->ThreadId)) {
            Ended = Unlink(Registry, Node->ThreadId);
            break;
        }
    }
    pthread_mutex_unlock(&Registry->LockB);
    if (Old != nullptr)
        FreeNode(Old);
    if (Ended != nullptr)
        FreeNode(Ended);
}

void SetThreadName(pid_t ThreadId, const char* Name) {
    RegisterThreadInfo(ThreadId, 0, Name != nullptr ? Name : "", 0, 0, nullptr);
}

void RemoveThreadInfo(pid_t ThreadId) {
    RegisterThreadInfo(ThreadId, 0, nullptr, 0, 0, nullptr);
}

pid_t ThreadOfHandle(std::uintptr_t Handle) {
    TRegistryBlock* Registry = CurrentBlock();
    if (Registry == nullptr || Handle == 0 || !LockB(Registry, 2000))
        return 0;
    pid_t Thread = 0;
    for (TRegistryNode* Node = Registry->First; Node != nullptr && Thread == 0; Node = Node->Next)
        if (Node->Handle == Handle)
            Thread = Node->ThreadId;
    pthread_mutex_unlock(&Registry->LockB);
    return Thread;
}

TRegistryLookup LookUpThreadInfo(pid_t ThreadId, TThreadInfo& Info, std::uint32_t TimeoutMs) noexcept {
    Info = TThreadInfo{};
    TRegistryBlock* Registry = CurrentBlock();
    if (Registry == nullptr || !LockB(Registry, TimeoutMs))
        return TRegistryLookup::NoRegistry;
    TRegistryLookup Result = TRegistryLookup::NotFound;
    for (const TRegistryNode* Node = Registry->First; Node != nullptr; Node = Node->Next) {
        if (Node->ThreadId != ThreadId)
            continue;
        if (Node->Name != nullptr)
            std::strncpy(Info.Name, Node->Name, sizeof Info.Name - 1);
        if (Node->ClassName != nullptr)
            std::strncpy(Info.ClassName, Node->ClassName, sizeof Info.ClassName - 1);
        Info.CreatorAddress = Node->CreatorAddress;
        Info.CreatorThread = Node->CreatorThread;
        std::memcpy(Info.OuterCreatorCalls, Node->OuterCreatorCalls, sizeof Info.OuterCreatorCalls);
        Result = TRegistryLookup::Found;
        break;
    }
    pthread_mutex_unlock(&Registry->LockB);
    return Result;
}

bool LockThreadRegistry(std::uint32_t TimeoutMs) noexcept {
    TRegistryBlock* Registry = CurrentBlock();
    return Registry != nullptr && LockB(Registry, TimeoutMs);
}

void UnlockThreadRegistry() noexcept {
    if (TRegistryBlock* Registry = Block.load())
        pthread_mutex_unlock(&Registry->LockB);
}
