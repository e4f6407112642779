#include "KroAntiFreeze.h"

#include "KroExceptBox.h"
#include "KroExceptSettings.h"
#include "KroHandlerWindows.h"
#include "KroThreadContext.h"
#include "KroThreadRegistry.h"

#include <atomic>
#include <pthread.h>
#include <time.h>
#include <unistd.h>

namespace {

// The answer of the main thread, as the watchdog receives it.
constexpr std::uintptr_t AnswerValue = 777;
constexpr int SilentRoundsToReport = 10;

std::atomic<bool> Running{false};
std::atomic<void (*)()> Reporter{nullptr};
std::atomic<bool> Stopping{false};
std::atomic<pid_t> Owner{0};
std::atomic<int> PauseCount{0};
std::atomic<int> SilentRounds{0};
std::atomic<pid_t> WatchdogId{0};
std::atomic<THandlerWindow> WatchdogWindow{0};
std::atomic<bool> Answered{false};
THandlerWindow MainWindow = 0;
std::uint32_t ProbeMessage = 0;
std::uint32_t AnswerMessage = 0;
pthread_t Thread{};

void SleepMs(std::int64_t Milliseconds) {
    timespec Pause{static_cast<time_t>(Milliseconds / 1000), static_cast<long>(Milliseconds % 1000) * 1000000L};
    while (nanosleep(&Pause, &Pause) != 0) {
    }
}

// Runs in the main thread: it lives. WParam names the box of a frozen report that may close now, or is 0 for the
// watchdog's own question.
void OnProbe(THandlerWindow, std::uint32_t, std::uintptr_t WParam, std::intptr_t& Result, std::intptr_t) {
    if (WParam != 0)
        CloseExceptionBox(WParam);
    else if (const THandlerWindow Window = WatchdogWindow.load(); Window != 0)
        PostHandlerMessage(Window, AnswerMessage, AnswerValue, static_cast<std::intptr_t>(AnswerValue));
    Result = static_cast<std::intptr_t>(AnswerValue);
}

// Runs in the watchdog thread when it serves its queue.
void OnAnswer(THandlerWindow, std::uint32_t, std::uintptr_t WParam, std::intptr_t&, std::intptr_t LParam) {
    if (WParam == AnswerValue && LParam == static_cast<std::intptr_t>(AnswerValue))
        Answered.store(true);
}

void* WatchdogMain(void*) {
    const pid_t Self = CurrentThreadId();
    WatchdogId.store(Self);
    RegisterThreadInfo(Self, static_cast<std::uintptr_t>(pthread_self()), "-", 0, 0, nullptr);
    AnswerMessage = RegisterMsgHandler(&OnAnswer, 0);
    WatchdogWindow.store(GetHandlerWindow());
    const std::int64_t BaseInterval = ExceptSettings.FreezeTimeout / 10 > 0 ? ExceptSettings.FreezeTimeout / 10 : 1;
    std::int64_t Interval = BaseInterval;
    while (!Stopping.load()) {
        if (PauseCount.load() > 0) {
            // Held still while a report is made: no question, no count.
            SleepMs(10);
            continue;
        }
        Answered.store(false);
        PostHandlerMessage(MainWindow, ProbeMessage, 0, 0);
        SleepMs(Interval);
        ServeHandlerMessages();
        if (PauseCount.load() > 0)
            continue;
        if (Answered.load()) {
            SilentRounds.store(0);
            Interval = BaseInterval;
        } else if (SilentRounds.fetch_add(1) + 1 >= SilentRoundsToReport) {
            if (const auto Report = Reporter.load())
                Report();
            SilentRounds.store(0);
            Interval += Interval / 2;
        }
    }
    UnregisterMsgHandler(&OnAnswer, AnswerMessage);
    WatchdogWindow.store(0);
    return nullptr;
}

} // namespace

void StartAntiFreeze(void (*ReportFrozen)()) {
    if (Running.load() || ExceptSettings.FreezeTimeout < 1)
        return;
    Reporter.store(ReportFrozen);
    MainWindow = GetHandlerWindow();
    if (MainWindow == 0)
        return;
    ProbeMessage = RegisterMsgHandler(&OnProbe, 0);
    if (ProbeMessage == 0)
        return;
    Stopping.store(false);
    SilentRounds.store(0);
    if (pthread_create(&Thread, nullptr, &WatchdogMain, nullptr) != 0) {
        UnregisterMsgHandler(&OnProbe, ProbeMessage);
        ProbeMessage = 0;
        return;
    }
    Owner.store(getpid());
    Running.store(true);
}

void StopAntiFreeze() {
    if (!Running.exchange(false))
        return;
    // A child of fork has no watchdog: its parent's is not there to be waited for.
    if (Owner.load() != getpid())
        return;
    UnregisterMsgHandler(&OnProbe, ProbeMessage);
    ProbeMessage = 0;
    Stopping.store(true);
    // The watchdog may be in a report of its own (one that waits for the user): it is not waited for then.
    timespec Deadline{};
    clock_gettime(CLOCK_REALTIME, &Deadline);
    Deadline.tv_sec += 2;
    if (pthread_timedjoin_np(Thread, nullptr, &Deadline) != 0)
        pthread_detach(Thread);
    if (const pid_t Id = WatchdogId.exchange(0); Id > 0)
        RemoveThreadInfo(Id);
}

bool AntiFreezeRunning() noexcept {
    return Running.load();
}

void PauseAntiFreeze(bool Pause) noexcept {
    if (!Running.load() || WatchdogId.load() == CurrentThreadId())
        return;
    if (Pause)
        PauseCount.fetch_add(1);
    else {
        PauseCount.fetch_sub(1);
        SilentRounds.store(0);
    }
}

void ResetAntiFreezeCount() noexcept {
    SilentRounds.store(0);
}

void PostFrozenBoxProbe(std::uintptr_t BoxId) {
    if (ProbeMessage != 0 && MainWindow != 0)
        PostHandlerMessage(MainWindow, ProbeMessage, BoxId, 0);
}
