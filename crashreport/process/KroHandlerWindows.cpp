#include "KroHandlerWindows.h"

#include "KroThreadSlot.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <sys/eventfd.h>
#include <unistd.h>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;

struct THandlerItem {
    std::uint32_t Message;
    TMsgHandlerProc Proc;
    std::uintptr_t Key1;
    std::uintptr_t Key2;
};

enum class TCallState { Waiting, Running, Done, Withdrawn };

// A call's state changes under the table's lock, except from Running to Done: a serving thread that must not wait
// for the lock publishes its result through the state alone (Result first), and the sender polls for it.
struct TCall {
    std::uint32_t Message = 0;
    std::uintptr_t WParam = 0;
    std::intptr_t LParam = 0;
    std::intptr_t Result = 0;
    std::atomic<TCallState> State{TCallState::Waiting};
    TClock::time_point Queued;
};

// How often a sender looks at a running call whose result may come without a notification.
constexpr auto RunningPoll = std::chrono::milliseconds(20);

struct TQueue {
    THandlerWindow Handle = 0;
    pid_t Thread = 0;
    int EventFd = -1;
    bool Gone = false; // taken out of the table; its thread closes the eventfd
    std::vector<THandlerItem> Items;
    std::deque<std::shared_ptr<TCall>> Calls;
};

// One lock guards the table, every queue's handlers and calls, and the calls' states (but see TCall).
struct TTable {
    std::mutex Lock;
    std::condition_variable CallsDone;
    std::vector<std::shared_ptr<TQueue>> Queues;
    THandlerWindow NextHandle = 1;
};

// Never destroyed: threads may end (and drop their queues) while the process exits.
TTable& Table() {
    static TTable* const Instance = new TTable;
    return *Instance;
}

// The calling thread's own queue, dropped when the thread ends. Not a thread_local: a reporting thread looks at it
// while other threads are paused, and the first use of a thread_local with a destructor takes the loader's lock.
struct TOwnQueue {
    std::shared_ptr<TQueue> Queue;
    ~TOwnQueue();
};

TThreadSlot<TOwnQueue>& OwnSlot() {
    static TThreadSlot<TOwnQueue> Slot;
    return Slot;
}

// The calling thread's queue, null when it has none.
std::shared_ptr<TQueue>* OwnQueue() {
    TOwnQueue* Own = OwnSlot().Peek();
    return Own != nullptr ? &Own->Queue : nullptr;
}

std::shared_ptr<TQueue> FindByThread(TTable& T, pid_t Thread) {
    for (const auto& Queue : T.Queues)
        if (Queue->Thread == Thread)
            return Queue;
    return nullptr;
}

std::shared_ptr<TQueue> FindByHandle(TTable& T, THandlerWindow Handle) {
    for (const auto& Queue : T.Queues)
        if (Queue->Handle == Handle)
            return Queue;
    return nullptr;
}

// Takes a queue out of the table; calls still waiting in it fail.
void RemoveQueue(TTable& T, const std::shared_ptr<TQueue>& Queue) {
    T.Queues.erase(std::remove(T.Queues.begin(), T.Queues.end(), Queue), T.Queues.end());
    Queue->Gone = true;
    for (const auto& Call : Queue->Calls)
        if (Call->State == TCallState::Waiting)
            Call->State = TCallState::Withdrawn;
    Queue->Calls.clear();
    T.CallsDone.notify_all();
}

// Lets go of the calling thread's queue once it has left the table.
void ReleaseOwnIfGone() {
    std::shared_ptr<TQueue>* Own = OwnQueue();
    if (Own != nullptr && *Own != nullptr && (*Own)->Gone) {
        close((*Own)->EventFd);
        Own->reset();
    }
}

TOwnQueue::~TOwnQueue() {
    if (Queue == nullptr)
        return;
    TTable& T = Table();
    const std::lock_guard<std::mutex> Guard(T.Lock);
    if (!Queue->Gone)
        RemoveQueue(T, Queue);
    close(Queue->EventFd);
    Queue.reset();
}

std::intptr_t Dispatch(THandlerWindow Window, const std::vector<THandlerItem>& Items, std::uint32_t Message,
                       std::uintptr_t WParam, std::intptr_t LParam) {
    std::intptr_t Result = 0;
    if (!MessageReachesHandlers(Message))
        return Result;
    for (const THandlerItem& Item : Items) {
        if (Item.Message != Message)
            continue;
        // A handler that throws must not take the queue's owner down with it, nor leave its sender waiting.
        try {
            if (Item.Proc != nullptr)
                Item.Proc(Window, Message, WParam, Result, LParam);
            else if (Item.Key1 != 0) {
                const auto* Method = reinterpret_cast<const TMsgHandlerMethod*>(Item.Key1);
                Method->Code(Method->Self, Window, Message, WParam, Result, LParam);
            }
        } catch (...) {
        }
    }
    return Result;
}

void Signal(const TQueue& Queue) {
    const std::uint64_t One = 1;
    [[maybe_unused]] const ssize_t Written = write(Queue.EventFd, &One, sizeof One);
}

} // namespace

std::unique_lock<std::mutex> HoldHandlerQueuesLock() {
    return std::unique_lock<std::mutex>(Table().Lock);
}

bool MessageReachesHandlers(std::uint32_t Message) noexcept {
    static constexpr std::uint32_t Notifications[] = {17, 18, 21, 22, 23, 26, 27, 28, 29,
                                                      30, 42, 65, 72, 80, 81, 84, 126};
    return Message >= 536 ||
           std::find(std::begin(Notifications), std::end(Notifications), Message) != std::end(Notifications);
}

THandlerWindow GetHandlerWindow(pid_t ThreadId) {
    TTable& T = Table();
    const pid_t Current = gettid();
    const pid_t Thread = ThreadId == 0 ? Current : ThreadId;
    const std::lock_guard<std::mutex> Guard(T.Lock);
    if (const auto Queue = FindByThread(T, Thread))
        return Queue->Handle;
    if (Thread != Current)
        return 0;
    ReleaseOwnIfGone();
    TOwnQueue* Own = OwnSlot().Get();
    const int EventFd = Own != nullptr ? eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK) : -1;
    if (EventFd < 0)
        return 0;
    auto Queue = std::make_shared<TQueue>();
    Queue->Handle = T.NextHandle++;
    Queue->Thread = Current;
    Queue->EventFd = EventFd;
    T.Queues.push_back(Queue);
    Own->Queue = Queue;
    return Queue->Handle;
}

std::uint32_t RegisterMsgHandler(TMsgHandlerProc Proc, std::uint32_t MessageId, pid_t ThreadId, std::uintptr_t Key1,
                                 std::uintptr_t Key2) {
    const THandlerWindow Window = GetHandlerWindow(ThreadId);
    if (Window == 0)
        return 0;
    TTable& T = Table();
    const std::lock_guard<std::mutex> Guard(T.Lock);
    const auto Queue = FindByHandle(T, Window);
    if (Queue == nullptr)
        return 0;
    const auto Uses = [&Queue](std::uint32_t Id) {
        return std::any_of(Queue->Items.begin(), Queue->Items.end(),
                           [Id](const THandlerItem& I) { return I.Message == Id; });
    };
    if (MessageId != 0) {
        for (const THandlerItem& Item : Queue->Items)
            if (Item.Message == MessageId && Item.Proc == Proc && Item.Key1 == Key1 && Item.Key2 == Key2)
                return 0;
    } else {
        for (MessageId = FirstFreeMessageId; Uses(MessageId); ++MessageId) {
        }
    }
    Queue->Items.push_back(THandlerItem{MessageId, Proc, Key1, Key2});
    return MessageId;
}

std::uint32_t RegisterMsgHandler(TMsgHandlerProc Proc, std::uint32_t MessageId, pid_t ThreadId) {
    return RegisterMsgHandler(Proc, MessageId, ThreadId, 0, 0);
}

void UnregisterMsgHandler(TMsgHandlerProc Proc, std::uint32_t MessageId, pid_t ThreadId, std::uintptr_t Key1,
                          std::uintptr_t Key2) {
    TTable& T = Table();
    const std::lock_guard<std::mutex> Guard(T.Lock);
    const auto Queue = FindByThread(T, ThreadId == 0 ? gettid() : ThreadId);
    if (Queue == nullptr)
        return;
    auto& Items = Queue->Items;
    for (std::size_t I = 0; I < Items.size();) {
        const THandlerItem& Item = Items[I];
        if (Item.Proc == Proc && Item.Key1 == Key1 && Item.Key2 == Key2 &&
            (MessageId == 0 || Item.Message == MessageId)) {
            Items[I] = Items.back();
            Items.pop_back();
        } else {
            ++I;
        }
    }
    if (Items.empty()) {
        RemoveQueue(T, Queue);
        ReleaseOwnIfGone();
    }
}

void UnregisterMsgHandler(TMsgHandlerProc Proc, std::uint32_t MessageId, pid_t ThreadId) {
    UnregisterMsgHandler(Proc, MessageId, ThreadId, 0, 0);
}

bool SendHandlerMessage(THandlerWindow Window, std::uint32_t Message, std::uintptr_t WParam, std::intptr_t LParam,
                        std::uint32_t TimeoutMs, bool AbortIfHung, std::intptr_t* Result) {
    TTable& T = Table();
    std::unique_lock<std::mutex> Guard(T.Lock);
    const auto Queue = FindByHandle(T, Window);
    if (Queue == nullptr)
        return false;
    if (Queue->Thread == gettid()) {
        const std::vector<THandlerItem> Items = Queue->Items;
        Guard.unlock();
        const std::intptr_t Answer = Dispatch(Window, Items, Message, WParam, LParam);
        if (Result != nullptr)
            *Result = Answer;
        return true;
    }
    auto Call = std::make_shared<TCall>();
    Call->Message = Message;
    Call->WParam = WParam;
    Call->LParam = LParam;
    Call->Queued = TClock::now();
    Queue->Calls.push_back(Call);
    Signal(*Queue);
    const TClock::time_point Deadline = Call->Queued + std::chrono::milliseconds(TimeoutMs);
    const TClock::time_point HungAt = Call->Queued + std::chrono::milliseconds(HungAfterMs);
    for (;;) {
        const TCallState State = Call->State.load(std::memory_order_acquire);
        if (State != TCallState::Waiting && State != TCallState::Running)
            break;
        const TClock::time_point Now = TClock::now();
        const bool Hung = AbortIfHung && State == TCallState::Waiting && Now >= HungAt;
        if (Now >= Deadline || Hung)
            break;
        const bool WatchHung = AbortIfHung && State == TCallState::Waiting && HungAt < Deadline;
        TClock::time_point Until = WatchHung ? HungAt : Deadline;
        if (State == TCallState::Running)
            Until = std::min(Until, Now + RunningPoll);
        T.CallsDone.wait_until(Guard, Until);
    }
    if (Call->State.load(std::memory_order_acquire) == TCallState::Done) {
        if (Result != nullptr)
            *Result = Call->Result;
        return true;
    }
    // Given up: a call not yet taken is withdrawn, so it never runs after its sender has gone.
    if (Call->State == TCallState::Waiting)
        Call->State = TCallState::Withdrawn;
    return false;
}

bool PostHandlerMessage(THandlerWindow Window, std::uint32_t Message, std::uintptr_t WParam, std::intptr_t LParam) {
    TTable& T = Table();
    const std::lock_guard<std::mutex> Guard(T.Lock);
    const auto Queue = FindByHandle(T, Window);
    if (Queue == nullptr)
        return false;
    auto Call = std::make_shared<TCall>();
    Call->Message = Message;
    Call->WParam = WParam;
    Call->LParam = LParam;
    Call->Queued = TClock::now();
    Queue->Calls.push_back(std::move(Call));
    Signal(*Queue);
    return true;
}

int HandlerWindowEventFd(bool NoWait) {
    std::unique_lock<std::mutex> Guard(Table().Lock, std::defer_lock);
    if (!NoWait)
        Guard.lock();
    else if (!Guard.try_lock())
        return -1;
    const std::shared_ptr<TQueue>* Own = OwnQueue();
    return Own != nullptr && *Own != nullptr && !(*Own)->Gone ? (*Own)->EventFd : -1;
}

std::size_t ServeHandlerMessages(bool NoWait) {
    // NoWait: the lock is only ever tried, on entry and after each call, since a paused thread may hold it.
    TTable& T = Table();
    std::unique_lock<std::mutex> Guard(T.Lock, std::defer_lock);
    if (!NoWait)
        Guard.lock();
    else if (!Guard.try_lock())
        return 0;
    ReleaseOwnIfGone();
    std::shared_ptr<TQueue>* Own = OwnQueue();
    if (Own == nullptr || *Own == nullptr)
        return 0;
    std::uint64_t Pending;
    [[maybe_unused]] const ssize_t Read = read((*Own)->EventFd, &Pending, sizeof Pending);
    std::size_t Served = 0;
    while (*Own != nullptr && !(*Own)->Gone && !(*Own)->Calls.empty()) {
        const std::shared_ptr<TQueue> Queue = *Own;
        const std::shared_ptr<TCall> Call = Queue->Calls.front();
        Queue->Calls.pop_front();
        if (Call->State != TCallState::Waiting)
            continue;
        Call->State = TCallState::Running;
        const std::vector<THandlerItem> Items = Queue->Items;
        Guard.unlock();
        const std::intptr_t Answer = Dispatch(Queue->Handle, Items, Call->Message, Call->WParam, Call->LParam);
        Call->Result = Answer;
        ++Served;
        if (NoWait && !Guard.try_lock()) {
            // The sender sees the result through the state; the calls behind wait for the next serving, which
            // the eventfd asks for.
            Call->State.store(TCallState::Done, std::memory_order_release);
            Signal(*Queue);
            return Served;
        }
        if (!Guard.owns_lock())
            Guard.lock();
        Call->State.store(TCallState::Done, std::memory_order_release);
        T.CallsDone.notify_all();
    }
    ReleaseOwnIfGone();
    return Served;
}
