#include "KroHandlerWindows.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <poll.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;
using TClock = std::chrono::steady_clock;

std::mutex LogLock;
std::string Log;

void Record(const char* What) {
    const std::lock_guard<std::mutex> Guard(LogLock);
    Log += What;
}

void HandlerA(THandlerWindow, std::uint32_t, std::uintptr_t, std::intptr_t& Result, std::intptr_t) {
    Record("A");
    Result += 1;
}
void HandlerB(THandlerWindow, std::uint32_t, std::uintptr_t, std::intptr_t& Result, std::intptr_t) {
    Record("B");
    Result += 10;
}
void HandlerC(THandlerWindow, std::uint32_t, std::uintptr_t, std::intptr_t& Result, std::intptr_t) {
    Record("C");
    Result += 100;
}

// Answers with the id of the thread it runs in, plus WParam, and sleeps LParam milliseconds first.
void ThreadIdHandler(THandlerWindow, std::uint32_t, std::uintptr_t WParam, std::intptr_t& Result,
                     std::intptr_t LParam) {
    std::this_thread::sleep_for(std::chrono::milliseconds(LParam));
    Result = gettid() + static_cast<std::intptr_t>(WParam);
}

std::atomic<int> Calls{0};
void CountingHandler(THandlerWindow, std::uint32_t, std::uintptr_t, std::intptr_t& Result, std::intptr_t) {
    ++Calls;
    Result = 777;
}

// A thread with its own queue and one handler, that serves its queue while Serving is set and idles otherwise.
class TWorker final {
public:
    explicit TWorker(TMsgHandlerProc Handler) {
        Thread = std::thread([this, Handler] {
            Id = gettid();
            Message = RegisterMsgHandler(Handler, 0);
            Window = GetHandlerWindow();
            const int Fd = HandlerWindowEventFd();
            Ready.set_value();
            while (!Stop) {
                Idle = !Serving;
                if (Idle) {
                    std::this_thread::sleep_for(5ms);
                    continue;
                }
                pollfd Poll{Fd, POLLIN, 0};
                if (poll(&Poll, 1, 20) > 0)
                    ServeHandlerMessages();
            }
        });
        Ready.get_future().wait();
    }
    ~TWorker() {
        Stop = true;
        Thread.join();
    }

    // Stops serving; returns once the worker has seen it, so that no call sent afterwards is served.
    void Pause() {
        Serving = false;
        while (!Idle)
            std::this_thread::sleep_for(1ms);
    }
    void Resume() { Serving = true; }

    pid_t Id = 0;
    std::uint32_t Message = 0;
    THandlerWindow Window = 0;

private:
    std::atomic<bool> Serving{true};
    std::atomic<bool> Idle{false};
    std::promise<void> Ready;
    std::atomic<bool> Stop{false};
    std::thread Thread;
};

} // namespace

TEST(HandlerWindowsTest, RegistrationHandsOutIdsRefusesDuplicatesAndFillsFreedPlaces) {
    EXPECT_EQ(RegisterMsgHandler(HandlerA, 0), 1024u);
    EXPECT_EQ(RegisterMsgHandler(HandlerA, 0), 1025u);
    EXPECT_EQ(RegisterMsgHandler(HandlerB, 0), 1026u);
    EXPECT_EQ(RegisterMsgHandler(HandlerA, 1025), 0u);
    EXPECT_EQ(RegisterMsgHandler(HandlerA, 1025, 0, 7, 0), 1025u);
    UnregisterMsgHandler(HandlerA, 1024);
    EXPECT_EQ(RegisterMsgHandler(HandlerC, 0), 1024u);

    // Three handlers of one message run in list order; removing the first moves the last into its place.
    const THandlerWindow Own = GetHandlerWindow();
    ASSERT_NE(Own, 0u);
    RegisterMsgHandler(HandlerA, 2000);
    RegisterMsgHandler(HandlerB, 2000);
    RegisterMsgHandler(HandlerC, 2000);
    std::intptr_t Result = -1;
    Log.clear();
    ASSERT_TRUE(SendHandlerMessage(Own, 2000, 0, 0, 1000, true, &Result));
    EXPECT_EQ(Log, "ABC");
    EXPECT_EQ(Result, 111);
    UnregisterMsgHandler(HandlerA, 2000);
    Log.clear();
    ASSERT_TRUE(SendHandlerMessage(Own, 2000, 0, 0, 1000, true, &Result));
    EXPECT_EQ(Log, "CB");

    // Ids below 536 other than the kept notifications reach no handler; the default answer is 0.
    RegisterMsgHandler(HandlerA, 100);
    Log.clear();
    ASSERT_TRUE(SendHandlerMessage(Own, 100, 0, 0, 1000, true, &Result));
    EXPECT_EQ(Log, "");
    EXPECT_EQ(Result, 0);
    EXPECT_TRUE(MessageReachesHandlers(17) && MessageReachesHandlers(126) && MessageReachesHandlers(536));
    EXPECT_FALSE(MessageReachesHandlers(535) || MessageReachesHandlers(19));

    // A method: no procedure, the method's address as the first key.
    struct TCounter {
        int Count = 0;
        static void Call(void* Self, THandlerWindow, std::uint32_t, std::uintptr_t WParam, std::intptr_t& R,
                         std::intptr_t) {
            static_cast<TCounter*>(Self)->Count += static_cast<int>(WParam);
            R = 5;
        }
    } Counter;
    const TMsgHandlerMethod Method{&TCounter::Call, &Counter};
    const auto MethodKey = reinterpret_cast<std::uintptr_t>(&Method);
    const std::uint32_t MethodId = RegisterMsgHandler(nullptr, 0, 0, MethodKey, 0);
    ASSERT_TRUE(SendHandlerMessage(Own, MethodId, 3, 0, 1000, true, &Result));
    EXPECT_EQ(Counter.Count, 3);
    EXPECT_EQ(Result, 5);

    // Once the last handler goes, so does the queue.
    for (const auto Handler : {HandlerA, HandlerB, HandlerC})
        UnregisterMsgHandler(Handler, 0, 0, 0, 0);
    UnregisterMsgHandler(HandlerA, 0, 0, 7, 0);
    EXPECT_NE(HandlerWindowEventFd(), -1);
    UnregisterMsgHandler(nullptr, 0, 0, MethodKey, 0);
    EXPECT_EQ(HandlerWindowEventFd(), -1);
    EXPECT_FALSE(SendHandlerMessage(Own, 2000, 0, 0, 100, true, &Result));
    EXPECT_NE(GetHandlerWindow(), Own); // a new queue, under a new handle
    UnregisterMsgHandler(HandlerA, 0);  // leaves the new queue without handlers: it goes too
    EXPECT_EQ(HandlerWindowEventFd(), -1);
}

TEST(HandlerWindowsTest, WorkRunsInTheOwningThreadAndGivesItsResult) {
    TWorker Worker(ThreadIdHandler);
    ASSERT_NE(Worker.Window, 0u);
    EXPECT_EQ(GetHandlerWindow(Worker.Id), Worker.Window);
    std::intptr_t Result = 0;
    ASSERT_TRUE(SendHandlerMessage(Worker.Window, Worker.Message, 5, 0, 1500, true, &Result));
    EXPECT_EQ(Result, Worker.Id + 5);
    EXPECT_NE(Worker.Id, gettid());

    // Another thread's queue cannot be made for it, nor can handlers be registered where there is none.
    pid_t Plain = 0;
    std::thread([&Plain] { Plain = gettid(); }).join();
    EXPECT_EQ(GetHandlerWindow(Plain), 0u);
    EXPECT_EQ(RegisterMsgHandler(CountingHandler, 0, Plain), 0u);

    // Registered from here on the worker's queue, served there.
    const std::uint32_t Counting = RegisterMsgHandler(CountingHandler, 0, Worker.Id);
    ASSERT_NE(Counting, 0u);
    Calls = 0;
    ASSERT_TRUE(PostHandlerMessage(Worker.Window, Counting, 0, 0));
    ASSERT_TRUE(SendHandlerMessage(Worker.Window, Counting, 0, 0, 1500, true, &Result));
    EXPECT_EQ(Result, 777);
    EXPECT_EQ(Calls, 2);
    UnregisterMsgHandler(CountingHandler, Counting, Worker.Id);
}

TEST(HandlerWindowsTest, SendsGiveUpAtTheirTimeoutAndWithdrawUntakenCalls) {
    TWorker Worker(ThreadIdHandler);
    const std::uint32_t Counting = RegisterMsgHandler(CountingHandler, 0, Worker.Id);
    std::intptr_t Result = 0;

    // The owner does not serve: the send ends at its timeout, and the call never runs afterwards.
    Worker.Pause();
    Calls = 0;
    auto Start = TClock::now();
    EXPECT_FALSE(SendHandlerMessage(Worker.Window, Counting, 0, 0, 150, false, &Result));
    auto Waited = TClock::now() - Start;
    EXPECT_GE(Waited, 150ms);
    EXPECT_LT(Waited, 2s);
    Worker.Resume();
    ASSERT_TRUE(SendHandlerMessage(Worker.Window, Worker.Message, 0, 0, 1500, true, &Result));
    EXPECT_EQ(Calls, 0);

    // A handler that takes longer than the timeout: the send gives up, the handler still finishes in its thread.
    Start = TClock::now();
    EXPECT_FALSE(SendHandlerMessage(Worker.Window, Worker.Message, 0, 1500, 100, true, &Result));
    EXPECT_LT(TClock::now() - Start, 1200ms); // room for a loaded machine, well short of the handler's time
    ASSERT_TRUE(SendHandlerMessage(Worker.Window, Worker.Message, 1, 0, 4000, true, &Result));
    EXPECT_EQ(Result, Worker.Id + 1);
    UnregisterMsgHandler(CountingHandler, Counting, Worker.Id);
}

TEST(HandlerWindowsTest, AHungOwnerIsGivenUpAfterFiveSecondsAndAnEndedThreadAtOnce) {
    std::unique_ptr<TWorker> Worker = std::make_unique<TWorker>(ThreadIdHandler);
    Worker->Pause();
    std::intptr_t Result = 0;
    const auto Start = TClock::now();
    EXPECT_FALSE(SendHandlerMessage(Worker->Window, Worker->Message, 0, 0, 0x7ffffffe, true, &Result));
    const auto Waited = TClock::now() - Start;
    EXPECT_GE(Waited, std::chrono::milliseconds(HungAfterMs));
    EXPECT_LT(Waited, std::chrono::milliseconds(HungAfterMs) + 3s);

    // The thread ends: its queue goes with it.
    const THandlerWindow Window = Worker->Window;
    const pid_t Id = Worker->Id;
    Worker.reset();
    EXPECT_EQ(GetHandlerWindow(Id), 0u);
    EXPECT_FALSE(SendHandlerMessage(Window, 1024, 0, 0, 0x7ffffffe, true, &Result));
    EXPECT_FALSE(PostHandlerMessage(Window, 1024, 0, 0));
}

namespace {

// The handler of the test below: once it runs, another thread takes the queues' lock, and the handler returns
// only when that thread holds it, as if the reporter had paused a thread inside a queue operation meanwhile.
std::atomic<bool> TakeLock{false};
std::atomic<bool> LockTaken{false};
void LockTakingHandler(THandlerWindow, std::uint32_t, std::uintptr_t, std::intptr_t& Result, std::intptr_t) {
    TakeLock = true;
    while (!LockTaken)
        std::this_thread::sleep_for(1ms);
    Result = 4242;
}

} // namespace

TEST(HandlerWindowsTest, ServingWithoutWaitNeverWaitsForTheQueuesLockNorLosesTheResult) {
    TakeLock = false;
    LockTaken = false;
    std::atomic<bool> ServerDone{false};
    std::atomic<bool> Released{false};
    std::atomic<bool> ReturnedWhileHeld{false};
    std::atomic<std::size_t> Served{0};
    std::atomic<int> FdWhileHeld{0};
    std::atomic<std::size_t> ServedWhileHeld{1};
    std::promise<std::pair<THandlerWindow, std::uint32_t>> Ready;

    // The serving thread stands for the reporting thread, which only ever tries the lock.
    std::thread Server([&] {
        const std::uint32_t Message = RegisterMsgHandler(LockTakingHandler, 0);
        const int Fd = HandlerWindowEventFd();
        Ready.set_value({GetHandlerWindow(), Message});
        const TClock::time_point GiveUp = TClock::now() + 10s;
        while (Served == 0 && TClock::now() < GiveUp) {
            pollfd Poll{Fd, POLLIN, 0};
            if (poll(&Poll, 1, 20) > 0)
                Served += ServeHandlerMessages(true);
        }
        ReturnedWhileHeld = LockTaken && !Released;
        // On entry, too, a held lock is not waited for.
        FdWhileHeld = HandlerWindowEventFd(true);
        ServedWhileHeld = ServeHandlerMessages(true);
        ServerDone = true;
        UnregisterMsgHandler(LockTakingHandler, Message);
    });
    std::thread Holder([&] {
        while (!TakeLock)
            std::this_thread::sleep_for(1ms);
        const std::unique_lock<std::mutex> Held = HoldHandlerQueuesLock();
        LockTaken = true;
        // Long enough that a server waiting for the lock is caught, short enough to end the test if it does.
        const TClock::time_point Until = TClock::now() + 3s;
        while (!ServerDone && TClock::now() < Until)
            std::this_thread::sleep_for(1ms);
        Released = true;
    });
    const auto [Window, Message] = Ready.get_future().get();
    std::intptr_t Result = 0;
    EXPECT_TRUE(SendHandlerMessage(Window, Message, 0, 0, 8000, false, &Result));
    EXPECT_EQ(Result, 4242);
    Holder.join();
    Server.join();
    EXPECT_EQ(Served, 1u);
    EXPECT_TRUE(ReturnedWhileHeld) << "the serving waited for the lock after its call";
    EXPECT_EQ(FdWhileHeld, -1);
    EXPECT_EQ(ServedWhileHeld, 0u);
}
