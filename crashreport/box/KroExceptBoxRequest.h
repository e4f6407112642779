#pragma once

#include "KroExceptObject.h"
#include "KroXWindow.h"

#include <cstdint>
#include <string_view>

// What an exception box is given: the report it shows and the services it calls (KroExceptBox.h shows it).

// The action code of the disabled "continue" button of an exception that cannot continue.
inline constexpr std::int32_t eaCantContinue = 7;

// What the box shows.
struct TExceptBoxRequest {
    bool Frozen = false;
    TExceptObject Object;
    std::uintptr_t Address = 0;
    bool CanContinue = true;
    std::string_view Message; // the exception's message (ExceptMessageText of Object)
    std::string_view Report;
};

// What the box calls of the rest of the reporter. Every entry may be null: the box then does what the entry's comment
// says. The reporter's dispatch and report actions fill in the process's set (ExceptBoxServices) at start-up.
struct TExceptBoxServices {
    // The program's action handlers, fired with each action before it runs; true when one handled it (which matters
    // for mail, save and print). Null: no handler.
    bool (*FireActionHandlers)(const TExceptBoxRequest& Request, std::int32_t Action) = nullptr;
    // Whether an automatic rule (AutoRestart, AutoClose) is due for this report. Null: rule 1 is, every other is not.
    bool (*AutoActionDue)(std::int32_t Rule) = nullptr;
    // The report actions, with the box as the owner of their dialogs and messages. Null: nothing happens (and save
    // and print count as failed).
    std::int32_t (*SendBugReport)(std::string_view Report, TKroXWindow* Owner, bool Silent) = nullptr;
    bool (*SaveBugReport)(std::string_view Report, TKroXWindow* Owner) = nullptr;
    bool (*PrintBugReport)(std::string_view Report, TKroXWindow* Owner) = nullptr;
    // Run by ShowExceptionBox once the box is gone and its clipboard handed over; they do not return. Null: the
    // action is returned to the caller.
    void (*RestartApplication)() = nullptr;
    void (*CloseApplication)() = nullptr;
    // A frozen report asks the main thread to answer; the answer is CloseExceptionBox(BoxId), which closes the box
    // as soon as the main thread lives again. Null: the box stays until a button closes it.
    void (*PostFrozenProbe)(std::uintptr_t BoxId) = nullptr;
};
