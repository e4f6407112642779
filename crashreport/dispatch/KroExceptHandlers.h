#pragma once

#include "KroExceptObject.h"

#include <cstdint>
#include <string>
#include <vector>

class TPausedThreads;

// The handler lists: code of the program that wants to hear of reports. Six process-wide lists, a plain and a method
// ("OO") one for each kind: exception handlers (may change the report, decide whether the program can continue, or
// take the report over), action handlers (may take over an action of the box or an automatic one) and handlers of
// exceptions the program handled itself. An item marked Sync is called in the main thread, the others in the
// exception thread. The editor registers none: the lists stay empty and firing them changes nothing.

using TExceptHandlerProc = void (*)(bool Frozen, const TExceptObject& Object, std::uintptr_t ExceptAddr,
                                    std::string& BugReport, bool& CanContinue, bool& Handled);
using TActionHandlerProc = void (*)(bool Frozen, const TExceptObject& Object, std::uintptr_t ExceptAddr,
                                    const std::string& BugReport, std::int32_t Action, bool& Handled);
using THiddenHandlerProc = void (*)(const TExceptObject& Object, std::uintptr_t ExceptAddr,
                                    const std::string& BugReport);

template <typename TProc> struct THandlerItem {
    bool Sync = false;
    TProc Proc = nullptr;
};
template <typename TProc> struct THandlerItemOO {
    bool Sync = false;
    void* Self = nullptr;
    TProc Proc = nullptr; // called with Self first
};
using TExceptMethod = void (*)(void* Self, bool Frozen, const TExceptObject& Object, std::uintptr_t ExceptAddr,
                               std::string& BugReport, bool& CanContinue, bool& Handled);
using TActionMethod = void (*)(void* Self, bool Frozen, const TExceptObject& Object, std::uintptr_t ExceptAddr,
                               const std::string& BugReport, std::int32_t Action, bool& Handled);
using THiddenMethod = void (*)(void* Self, const TExceptObject& Object, std::uintptr_t ExceptAddr,
                               const std::string& BugReport);

struct TExceptHandlerLists {
    std::vector<THandlerItem<TExceptHandlerProc>> Except;
    std::vector<THandlerItemOO<TExceptMethod>> ExceptOO;
    std::vector<THandlerItem<TActionHandlerProc>> Action;
    std::vector<THandlerItemOO<TActionMethod>> ActionOO;
    std::vector<THandlerItem<THiddenHandlerProc>> Hidden;
    std::vector<THandlerItemOO<THiddenMethod>> HiddenOO;
};

// The process's lists. Changed only while no report is being made.
TExceptHandlerLists& ExceptHandlerLists() noexcept;

enum class THandlerKind { Exception = 0, Action = 1, Hidden = 2 };

struct TFireHandlersParams {
    THandlerKind Kind = THandlerKind::Exception;
    bool Frozen = false;
    TExceptObject Object;
    std::uintptr_t ExceptAddr = 0;
    std::string BugReport;
    bool CanContinue = true;
    std::int32_t Action = 0;
    bool Handled = false;
    bool InMainThread = false;
};

// Fires the handlers of a kind: those not marked Sync here, then (unless one handled it, and not for a frozen
// report) the Sync ones in the main thread, through its handler window; a main thread that does not answer within
// 1.5 s has them called here instead. Nothing happens when no handler of the kind is registered.
void FireHandlers(THandlerKind Kind, bool Frozen, const TExceptObject& Object, bool& Handled, std::int32_t Action,
                  bool& CanContinue, std::string& BugReport, std::uintptr_t ExceptAddr);
// Calls the handlers whose Sync flag equals Params.InMainThread, each guarded: method list first, then the plain
// one, stopping once one handled it (not for the hidden kind).
void CallHandlers(TFireHandlersParams& Params);

// The threads paused for the report being made, so that firing can let the main thread run for its handlers.
void SetReportPausedThreads(TPausedThreads* Paused) noexcept;

// The firing callback on the calling (main) thread's handler window.
void StartHandlerWindow();
void StopHandlerWindow();
