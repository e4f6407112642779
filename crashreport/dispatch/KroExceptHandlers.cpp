#include "KroExceptHandlers.h"

#include "KroFaultSignals.h"
#include "KroHandlerWindows.h"
#include "KroPausedThreads.h"

#include <atomic>
#include <unistd.h>

namespace {

// The window's answer: the firing reached it.
constexpr std::intptr_t FiringAnswer = 777;
constexpr std::uint32_t ProbeTimeoutMs = 1500;
constexpr std::uint32_t CallTimeoutMs = 0x7FFFFFFE;

TExceptHandlerLists Lists;
std::atomic<TPausedThreads*> ReportPaused{nullptr};
THandlerWindow MainWindow = 0;
std::uint32_t FiringMessage = 0;

template <typename TCall> void Guarded(TCall&& Call) {
    RunFaultGuarded(
        [](void* Context) {
            try {
                (*static_cast<TCall*>(Context))();
            } catch (...) {
            }
        },
        &Call);
}

void OnFiringMessage(THandlerWindow, std::uint32_t, std::uintptr_t WParam, std::intptr_t& Result,
                     std::intptr_t LParam) {
    if (WParam == 0 && LParam != 0)
        CallHandlers(*reinterpret_cast<TFireHandlersParams*>(LParam));
    Result = FiringAnswer;
}

bool AnyOfKind(THandlerKind Kind) {
    switch (Kind) {
    case THandlerKind::Exception:
        return !Lists.Except.empty() || !Lists.ExceptOO.empty();
    case THandlerKind::Action:
        return !Lists.Action.empty() || !Lists.ActionOO.empty();
    case THandlerKind::Hidden:
        return !Lists.Hidden.empty() || !Lists.HiddenOO.empty();
    }
    return false;
}

} // namespace

TExceptHandlerLists& ExceptHandlerLists() noexcept {
    return Lists;
}

void SetReportPausedThreads(TPausedThreads* Paused) noexcept {
    ReportPaused.store(Paused);
}

void CallHandlers(TFireHandlersParams& P) {
    const TExceptHandlerLists Copy = Lists;
    switch (P.Kind) {
    case THandlerKind::Exception:
        for (const auto& Item : Copy.ExceptOO)
            if (!P.Handled && Item.Sync == P.InMainThread)
                Guarded([&] {
                    Item.Proc(Item.Self, P.Frozen, P.Object, P.ExceptAddr, P.BugReport, P.CanContinue, P.Handled);
                });
        for (const auto& Item : Copy.Except)
            if (!P.Handled && Item.Sync == P.InMainThread)
                Guarded([&] { Item.Proc(P.Frozen, P.Object, P.ExceptAddr, P.BugReport, P.CanContinue, P.Handled); });
        break;
    case THandlerKind::Action:
        for (const auto& Item : Copy.ActionOO)
            if (!P.Handled && Item.Sync == P.InMainThread)
                Guarded(
                    [&] { Item.Proc(Item.Self, P.Frozen, P.Object, P.ExceptAddr, P.BugReport, P.Action, P.Handled); });
        for (const auto& Item : Copy.Action)
            if (!P.Handled && Item.Sync == P.InMainThread)
                Guarded([&] { Item.Proc(P.Frozen, P.Object, P.ExceptAddr, P.BugReport, P.Action, P.Handled); });
        break;
    case THandlerKind::Hidden:
        for (const auto& Item : Copy.HiddenOO)
            if (Item.Sync == P.InMainThread)
                Guarded([&] { Item.Proc(Item.Self, P.Object, P.ExceptAddr, P.BugReport); });
        for (const auto& Item : Copy.Hidden)
            if (Item.Sync == P.InMainThread)
                Guarded([&] { Item.Proc(P.Object, P.ExceptAddr, P.BugReport); });
        break;
    }
}

void FireHandlers(THandlerKind Kind, bool Frozen, const TExceptObject& Object, bool& Handled, std::int32_t Action,
                  bool& CanContinue, std::string& BugReport, std::uintptr_t ExceptAddr) {
    if (!AnyOfKind(Kind))
        return;
    TFireHandlersParams Params;
    Params.Kind = Kind;
    Params.Frozen = Frozen;
    Params.Object = Object;
    Params.ExceptAddr = ExceptAddr;
    Params.BugReport = BugReport;
    Params.CanContinue = CanContinue;
    Params.Action = Action;
    Params.Handled = Handled;
    CallHandlers(Params);
    if (!Params.Handled && !Frozen && MainWindow != 0) {
        Params.InMainThread = true;
        // The main thread may be paused for the report: it runs for its handlers, and is paused again after.
        TPausedThreads* Paused = ReportPaused.load();
        const pid_t Main = getpid();
        const bool WasPaused = Paused != nullptr && Paused->ResumeOne(Main);
        std::intptr_t Answer = 0;
        bool Called = SendHandlerMessage(MainWindow, FiringMessage, 1, 0, ProbeTimeoutMs, true, &Answer) &&
                      Answer == FiringAnswer;
        if (Called) {
            Answer = 0;
            Called = SendHandlerMessage(MainWindow, FiringMessage, 0, reinterpret_cast<std::intptr_t>(&Params),
                                        CallTimeoutMs, true, &Answer) &&
                     Answer == FiringAnswer;
        }
        if (WasPaused)
            Paused->PauseOne(Main);
        if (!Called)
            CallHandlers(Params);
    }
    BugReport = Params.BugReport;
    CanContinue = Params.CanContinue;
    Handled = Params.Handled;
}

void StartHandlerWindow() {
    FiringMessage = RegisterMsgHandler(&OnFiringMessage, 0);
    MainWindow = FiringMessage != 0 ? GetHandlerWindow() : 0;
}

void StopHandlerWindow() {
    if (FiringMessage != 0)
        UnregisterMsgHandler(&OnFiringMessage, FiringMessage);
    FiringMessage = 0;
    MainWindow = 0;
}
