#pragma once

#include "KroStackTraceRequest.h"
#include "KroStackUnwinder.h"
#include "KroTraceFunctions.h"
#include "KroTraceModules.h"

#include <cstdint>
#include <string>
#include <vector>

// One trace: the candidates found on a stack and the steps that sort the real calls out of them. Item 0 is the
// oldest call, the last item the crash.

// A path score: the high half compared as signed, then the low half unsigned, which is the order of a signed 64-bit
// number.
using TPathScore = std::int64_t;

struct TStackLink {
    std::int32_t Item = -1; // the linked item; -1: no item, only the function the address lies in and its call
    std::uintptr_t CallSite = 0;
    bool ExactMatch = false;
    std::uintptr_t Target = 0;
    std::int32_t Function = -1; // the function the link runs through
    TPathScore Score = 0;       // 0: not computed yet
};

struct TStackLinks {
    std::vector<TStackLink> Links;
    std::int32_t Best = -1;
};

struct TStackItem {
    std::uintptr_t StackPosition = 0; // where on the stack the value lay; 0 for items not from the stack
    std::uintptr_t Address = 0;
    std::int32_t FramePredecessor = -1;
    std::int32_t FrameSuccessor = -1;
    std::vector<std::int32_t> MoreSuccessors; // only while the chains are formed
    bool Anchored = false;
    bool Exact = false;
    bool AtInstruction = false; // the address is where code stood (an exact or interrupted one), not a return address
    bool Certain = false; // a call the unwind tables (or the record of a throw) lead to: never chance, never dissolved
    std::int32_t Module = -1;
    TStackLinks Callers; // location links, and links to older items whose call reached this item's function
    TStackLinks Callees; // links to newer items that this item's call reached
    bool Removed = false;
    // Filled by the final step.
    std::uintptr_t FinalAddress = 0;
    std::int32_t Line = 0;
    std::string ModuleName;
    std::string UnitName;
    std::string FunctionName;
    std::uintptr_t FunctionStart = 0;
    std::vector<TTraceInlined> Inlined; // the functions inlined at the final address, innermost first
};

class TStackTracer final {
public:
    TStackTracer(TTraceModules& Modules, TTraceFunctions& Functions, const TStackTraceRequest& Request);

    // Runs every step on the stack from StackBegin to StackEnd; the report text. With Snapshot the stack's words are
    // taken from that copy (made while its thread stood still) rather than read from memory. With Start, the
    // registers at the exception address (or, with Start->ReturnAddress, at the return of a call, which the trace
    // then lists at its call) are known: the frames the unwind tables lead to from there are certain.
    std::string Run(std::uintptr_t StackBegin, std::uintptr_t StackEnd, std::uintptr_t ExceptionAddress,
                    const std::uint64_t* Snapshot = nullptr, const TUnwindStart* Start = nullptr);

    const std::vector<TStackItem>& StackItems() const noexcept { return Items; }

private:
    // Before step 1: the certain frames.
    void UnwindFrames(const TUnwindStart* Start);
    void TakeThrowPath(const TRecordedPath& Path);
    // Step 1.
    void CollectPossibleStackItems();
    void OfferUnwoundFrames();
    bool Offer(std::uintptr_t Value, std::uintptr_t StackPosition, bool Exact, bool ThreadStartItem,
               bool Interrupted = false, bool Certain = false, std::uintptr_t KnownStart = 0);
    std::uintptr_t FunctionStartOf(std::int32_t Module, std::uintptr_t Value);
    std::uintptr_t CallSiteBefore(std::uintptr_t ReturnAddress) const;
    bool OfferSignalFrame(std::uintptr_t Position);
    bool ReadStackWord(std::uintptr_t Position, std::uint64_t& Value) const noexcept;
    void AddLocationLink(TStackItem& Item, std::int32_t Function, const TCallMatch& Match);
    // Step 2.
    void FormatFrameChains();
    std::vector<std::uintptr_t> LiveFrameSlots() const;
    bool CallReaches(const TStackItem& Caller, const TStackItem& Callee) const;
    std::size_t ChainLength(std::int32_t Head) const;
    void DissolveChain(std::int32_t Head);
    // Steps 3 and 6.
    void RemoveRecursiveAreas(bool DropLinks);
    void UnlinkFromFrameChain(std::int32_t Index);
    void DeleteLinksTo(const std::vector<bool>& Gone);
    // Step 4.
    void DeepChecks();
    void RejectFunction(std::int32_t Function);
    std::vector<std::int32_t> TailFunctions(std::int32_t Function) const;
    void SearchCallees(std::int32_t Index, std::uintptr_t CallSite, std::uintptr_t Target, bool FromScan);
    bool ScanForCall(std::int32_t Index);
    // Step 5.
    void RealizeOptimalLinkChains();
    void ResolveStretch(std::int32_t From, std::int32_t To);
    TPathScore ScorePath(std::int32_t From, std::int32_t To, bool TowardsNewer);
    TPathScore LinkBonus(const TStackLink& Link, std::int32_t From, bool AllThroughFunctions, TPathScore Score) const;
    // Step 7.
    void FillFinalOutput();
    // Step 8.
    std::string ComposeResult() const;

    bool FunctionApproved(std::int32_t Function) const;
    bool HasLine(std::int32_t Index, std::uintptr_t Address) const;
    void SetProgress(std::int32_t Permille) const;

    TTraceModules& Modules;
    TTraceFunctions& Functions;
    const TStackTraceRequest& Request;
    std::uintptr_t ExceptionAddress = 0;
    std::uintptr_t StackBegin = 0;
    std::uintptr_t StackEnd = 0;
    std::vector<std::uint64_t> Stack; // a copy of the stack, read once
    std::vector<TStackItem> Items;
    TStackUnwinder Unwinder;
    TUnwound Unwound;                     // the certain frames, newest first; none when nothing was unwound
    bool StartsAtReturn = false;          // the exception address is a return address, listed at its call
    std::uintptr_t ChainFramePointer = 0; // the frame pointer that heads the live frame chain above the certain frames
};
