#include "KroStackTracer.h"

#include "KroCallBefore.h"
#include "KroSafeRead.h"

#include <ucontext.h>

#include <cstddef>
#include <cstring>
#include <initializer_list>

namespace {

// A stack larger than this is read only from its lowest address up to this size: the calls nearest the crash lie
// there, and no thread's stack is larger in practice.
constexpr std::uintptr_t MaxStackBytes = std::uintptr_t{64} << 20;

} // namespace

TStackTracer::TStackTracer(TTraceModules& Modules, TTraceFunctions& Functions, const TStackTraceRequest& Request)
    : Modules(Modules), Functions(Functions), Request(Request), Unwinder(Modules) {}

void TStackTracer::SetProgress(std::int32_t Permille) const {
    if (Request.Progress != nullptr)
        Request.Progress->SetPosition(Permille);
}

std::string TStackTracer::Run(std::uintptr_t Begin, std::uintptr_t End, std::uintptr_t Exception,
                              const std::uint64_t* Snapshot, const TUnwindStart* Start) {
    ExceptionAddress = Exception;
    const std::uintptr_t Given = Begin;
    Begin = (Begin + 7) & ~std::uintptr_t{7};
    End &= ~std::uintptr_t{7};
    if (End < Begin)
        return std::string();
    if (End - Begin > MaxStackBytes)
        End = Begin + MaxStackBytes;
    Stack.resize((End - Begin) / 8);
    if (Snapshot != nullptr)
        std::memcpy(Stack.data(), reinterpret_cast<const char*>(Snapshot) + (Begin - Given), End - Begin);
    else if (!Stack.empty() && !KroSafeRead(Begin, Stack.data(), End - Begin))
        return std::string();
    StackBegin = Begin;
    StackEnd = End;
    ChainFramePointer = Request.FramePointer;
    Unwinder.ReadStackFrom(StackBegin, StackEnd, Stack.data());
    try {
        if (Request.ThrowPath != nullptr && Request.ThrowPath->Count > 0)
            TakeThrowPath(*Request.ThrowPath);
        else
            UnwindFrames(Start);
    } catch (...) {
        return "Internal error in KroStackTrace.CollectPossibleStackItems";
    }

    struct TStep {
        void (TStackTracer::*Run)();
        const char* Failure;
    };
    const TStep Steps[] = {
        {&TStackTracer::CollectPossibleStackItems, "Internal error in KroStackTrace.CollectPossibleStackItems"},
        {&TStackTracer::FormatFrameChains, "Internal error in KroStackTrace.FormatEbpFrameChains"},
        {nullptr, "Internal error in KroStackTrace.RemoveRecursiveStackAreas"},
        {&TStackTracer::DeepChecks, "Internal error in KroStackTrace.InDeepChecks"},
        {&TStackTracer::RealizeOptimalLinkChains, "Internal error in KroStackTrace.RealizeOptimalLinkChains"},
        {nullptr, "Internal error in KroStackTrace.RemoveRecursiveAreas (2)"},
        {&TStackTracer::FillFinalOutput, "Internal error in KroStackTrace.FillFinalOutput"},
    };
    for (std::size_t Step = 0; Step < sizeof Steps / sizeof Steps[0]; ++Step) {
        try {
            if (Steps[Step].Run != nullptr)
                (this->*Steps[Step].Run)();
            else
                RemoveRecursiveAreas(Step == 2);
        } catch (...) {
            return Steps[Step].Failure;
        }
    }
    try {
        return ComposeResult();
    } catch (...) {
        return "Internal error in KroStackTrace.ComposeResult";
    }
}

bool TStackTracer::ReadStackWord(std::uintptr_t Position, std::uint64_t& Value) const noexcept {
    if (Position < StackBegin || Position >= StackEnd || (Position & 7) != 0)
        return false;
    Value = Stack[(Position - StackBegin) / 8];
    return true;
}

bool TStackTracer::FunctionApproved(std::int32_t Function) const {
    return Function >= 0 && Functions[Function].Approved && !Functions[Function].Rejected;
}

void TStackTracer::AddLocationLink(TStackItem& Item, std::int32_t Function, const TCallMatch& Match) {
    TStackLink Link;
    Link.CallSite = Match.CallSite;
    Link.ExactMatch = Match.ExactMatch;
    Link.Target = Match.Target;
    Link.Function = Function;
    Item.Callers.Links.push_back(Link);
}

void TStackTracer::UnwindFrames(const TUnwindStart* Start) {
    Unwound = TUnwound{};
    if (Start == nullptr)
        return;
    StartsAtReturn = Start->ReturnAddress;
    Unwinder.Unwind(*Start, Unwound);
    // Above the certain frames, the live frame chain starts at the frame pointer of the last of them.
    if (Unwound.Frames.size() > 1)
        ChainFramePointer = Unwound.HasFramePointer ? Unwound.FramePointer : 0;
}

void TStackTracer::TakeThrowPath(const TRecordedPath& Path) {
    // The throw's calls as they were: the first is the throw itself (the exception address), each further one a
    // return address that lay just below its frame's stack pointer.
    Unwound = TUnwound{};
    const std::uint32_t Count = Path.Count < MaxRecordedFrames ? Path.Count : MaxRecordedFrames;
    for (std::uint32_t I = 0; I < Count; ++I) {
        TUnwoundFrame Frame;
        Frame.Address = I == 0 ? ExceptionAddress : Path.Frames[I].Address;
        if (I > 0 && Path.Frames[I - 1].Stack > 8)
            Frame.Slot = Path.Frames[I - 1].Stack - 8;
        Unwound.Frames.push_back(Frame);
    }
    // A path that ends at a frame without unwind tables goes on above that frame on the live stack, which the
    // handler's calls (all below the frame that caught) have left alone.
    const std::uintptr_t Last = Path.Frames[Count - 1].Stack;
    Unwound.ReachedEnd = Path.Complete;
    Unwound.Covered = Path.Complete ? StackEnd : Last;
    ChainFramePointer = 0;
}

void TStackTracer::CollectPossibleStackItems() {
    Items.reserve(64);
    if (Request.ThreadStart != 0)
        Offer(Request.ThreadStart, 0, true, true);
    // The certain frames account for the stack below Covered: only above it are values candidates.
    std::uintptr_t Covered = StackBegin;
    if (Unwound.Frames.size() > 1 || Unwound.ReachedEnd) {
        Covered = (Unwound.Covered + 7) & ~std::uintptr_t{7};
        Covered = Covered < StackBegin ? StackBegin : Covered > StackEnd ? StackEnd : Covered;
    }
    const std::uintptr_t Span = StackEnd - StackBegin;
    std::int32_t LastProgress = -1;
    bool MetException = false;
    for (std::uintptr_t Position = StackEnd; Position > Covered;) {
        Position -= 8;
        if (OfferSignalFrame(Position))
            continue;
        const std::size_t Before = Items.size();
        if (Offer(static_cast<std::uintptr_t>(Stack[(Position - StackBegin) / 8]), Position, false, false) &&
            Items.size() > Before) {
            if (Items.back().FramePredecessor >= 0 && Position - Covered >= 8)
                Position -= 8; // the saved frame pointer below it is no return address
            if (Items.back().Exact) {
                MetException = true;
                break;
            }
        }
        const auto Progress = static_cast<std::int32_t>((StackEnd - Position + 8) * 25 / (Span != 0 ? Span : 1));
        if (Progress != LastProgress)
            SetProgress(LastProgress = Progress);
    }
    if (!MetException)
        OfferUnwoundFrames();
    SetProgress(25);
    Items.shrink_to_fit();
}

void TStackTracer::OfferUnwoundFrames() {
    // Oldest first, as the items are ordered; the newest is where the trace starts.
    for (std::size_t I = Unwound.Frames.size(); I-- > 1;) {
        const TUnwoundFrame& Frame = Unwound.Frames[I];
        if (Frame.SignalReturn)
            continue; // the kernel's return from a handler: the interrupted code follows
        if (Frame.AtInstruction)
            Offer(Frame.Address, 0, true, false, true, true, Frame.FunctionStart);
        else
            Offer(Frame.Address, Frame.Slot, false, false, false, true, Frame.FunctionStart);
    }
    const std::uintptr_t FirstStart = Unwound.Frames.empty() ? 0 : Unwound.Frames.front().FunctionStart;
    if (StartsAtReturn)
        // The tracer's own caller: a return address, listed at its call like every other frame.
        Offer(ExceptionAddress, 0, false, false, false, true, FirstStart);
    else if (Items.empty() || !Items.back().Exact)
        Offer(ExceptionAddress, 0, true, false);
}

namespace {

// The signal frame's registers and signal information, above its return address.
constexpr std::uintptr_t SignalFrameBytes = 512;

} // namespace

bool TStackTracer::OfferSignalFrame(std::uintptr_t Position) {
    const std::uintptr_t Value = static_cast<std::uintptr_t>(Stack[(Position - StackBegin) / 8]);
    // Most values are no code address at all: the memory map says so without reading anything.
    const TMemoryRegion* Trampoline = Value > 7 ? Modules.RegionOf(Value) : nullptr;
    if (Trampoline == nullptr || !Trampoline->Executable || !IsSignalReturn(Value))
        return false;
    std::uint64_t Interrupted = 0, InterruptedStack = 0;
    const std::uintptr_t Registers = Position + 8 + offsetof(ucontext_t, uc_mcontext.gregs);
    if (!ReadStackWord(Registers + REG_RIP * 8, Interrupted) ||
        !ReadStackWord(Registers + REG_RSP * 8, InterruptedStack))
        return false;
    // A live signal frame lies below the stack of the code it interrupted, and that code is code; an old return
    // address of a handler left in a stack slot fails these.
    const TMemoryRegion* Where = Modules.RegionOf(static_cast<std::uintptr_t>(Interrupted));
    if (InterruptedStack < Position + SignalFrameBytes || InterruptedStack > StackEnd || Where == nullptr ||
        !Where->Executable)
        return false;
    // Values of the frame's registers are no return addresses of their own.
    while (!Items.empty() && Items.back().StackPosition > Position &&
           Items.back().StackPosition <= Position + SignalFrameBytes)
        Items.pop_back();
    // Where the thread was interrupted is as certain as a crash address; the walk goes on into the handler.
    Offer(static_cast<std::uintptr_t>(Interrupted), 0, true, false, true);
    return true;
}

bool TStackTracer::Offer(std::uintptr_t Value, std::uintptr_t StackPosition, bool Exact, bool ThreadStartItem,
                         bool Interrupted, bool Certain, std::uintptr_t KnownStart) {
    if (Request.HasExceptionAddress && Value == ExceptionAddress && !Interrupted && !Certain)
        Exact = true;
    if (Value <= 7)
        return false;
    const TTraceDecoder* Decoder = TraceDecoder();
    std::uintptr_t Address = Value;
    std::uintptr_t Lookup = Value - 1;
    if (Exact) {
        Lookup = Value;
        std::uint8_t Code[8];
        TTraceInstruction Instruction;
        if (Decoder != nullptr && KroSafeRead(Value, Code, sizeof Code) && Decoder->Decode(Value, Instruction) &&
            Instruction.Next > Value)
            Address = Instruction.Next;
    }
    const TMemoryRegion* Region = Modules.RegionOf(Lookup);
    if (Region == nullptr) {
        // An exception address in memory that is not mapped at all (a call through a wild pointer) still is where
        // the thread crashed: it stays, as a crash in unreadable memory does.
        if (!Exact || !Request.HasExceptionAddress || Value != ExceptionAddress)
            return false;
    } else if (!Exact && !Certain) {
        // A return address points into code, past the call instruction.
        if (!Region->Executable || Lookup < Region->Start + 8 || !FollowsCall(Value))
            return false;
    }

    std::int32_t Module = Region != nullptr ? Modules.Enter(Lookup) : -1;
    if (Module >= 0 && !Modules[Module].InCode(Value) && !Modules[Module].InData(Value) && !Certain)
        return false;

    std::int32_t Function = -1;
    TCallMatch Match;
    bool Matched = false;
    const std::uintptr_t Expected = Request.OsException || Interrupted ? 0 : Value;
    if (Module >= 0 && Modules[Module].InCode(Value)) {
        const TTraceModule& Entry = Modules[Module];
        std::string Name;
        std::uintptr_t Start = 0;
        if (Entry.Map != nullptr) {
            if (!Entry.Map->PublicOf(Lookup, Name, Start)) {
                if (!Exact && !Certain)
                    return false;
            } else {
                Function = Functions.Analyze(Start, &Name, Module, false, true);
                Matched = Functions.CallCheck(Function, Expected, Address, Exact, Match);
                if (!Matched && !Exact && !Certain)
                    return false;
            }
        } else {
            // Without a map the module's exports name its functions, each within its size; the unwind tables tell
            // where the functions the module keeps to itself start. A program without either keeps only the
            // addresses the module test let through, as the report lists no item without a function.
            Start = KnownStart != 0 ? KnownStart : FunctionStartOf(Module, Lookup);
            Function = Start != 0 ? Functions.Analyze(Start, nullptr, Module, false, true) : -1;
            if (Function >= 0 && Functions[Function].Holds(Value)) {
                Matched = Functions.CallCheck(Function, Expected, Address, Exact, Match);
                if (!Matched && !Exact && !Certain)
                    return false;
            } else if (Function >= 0 && !Certain)
                Function = -1;
        }
    }

    TStackItem Item;
    Item.StackPosition = StackPosition;
    Item.Address = Address;
    Item.Module = Module;
    Item.Anchored = Exact || Certain;
    Item.Exact = Exact && !Interrupted && !(ThreadStartItem && Items.empty());
    Item.AtInstruction = Exact;
    Item.Certain = Certain;
    if (Matched)
        AddLocationLink(Item, Function, Match);
    else if (Certain && !Exact) {
        // A certain return address whose function the analysis could not follow: its call is the instruction that
        // ends at it.
        Match = TCallMatch{};
        Match.CallSite = CallSiteBefore(Value);
        AddLocationLink(Item, Function, Match);
    } else if (Exact && (!Request.HasExceptionAddress || Request.OsException || Interrupted || Region == nullptr)) {
        // The exact address itself is the call site of the item; a crash in unreadable memory gets a function that
        // consists of that address alone.
        std::uint8_t Byte;
        std::int32_t Pseudo = -1;
        if (Request.HasExceptionAddress && !Interrupted && !KroSafeRead(Value, &Byte, 1))
            Pseudo = Functions.Analyze(Value, nullptr, Module, true, true);
        Match = TCallMatch{};
        Match.CallSite = Value;
        AddLocationLink(Item, Pseudo, Match);
    }
    if (StackPosition != 0 && !Certain) {
        std::uint64_t Saved = 0;
        if (ReadStackWord(StackPosition - 8, Saved) && Saved + 8 > Saved) {
            const std::uintptr_t Slot = static_cast<std::uintptr_t>(Saved) + 8;
            if (Slot >= StackBegin && Slot < StackEnd)
                for (std::size_t I = Items.size(); I-- > 0;) {
                    if (Items[I].StackPosition == Slot) {
                        Item.FramePredecessor = static_cast<std::int32_t>(I);
                        break;
                    }
                    if (Items[I].StackPosition > Slot)
                        break;
                }
        }
    }
    Items.push_back(std::move(Item));
    return true;
}

std::uintptr_t TStackTracer::FunctionStartOf(std::int32_t Module, std::uintptr_t Lookup) {
    // The export that holds it; else the start of its unwind entry; else the module's entry point below it.
    if (const std::uintptr_t Export = Modules.ExportHolding(Module, Lookup + 1); Export != 0)
        return Export;
    std::uintptr_t EntryStart = 0, EntryEnd = 0;
    if (Unwinder.EntryOf(Lookup, EntryStart, EntryEnd))
        return EntryStart;
    const std::uintptr_t Entry = Modules[Module].EntryPoint;
    return Entry != 0 && Entry <= Lookup ? Entry : 0;
}

std::uintptr_t TStackTracer::CallSiteBefore(std::uintptr_t ReturnAddress) const {
    const TTraceDecoder* Decoder = TraceDecoder();
    if (Decoder != nullptr && ReturnAddress > 8)
        for (std::uintptr_t At = ReturnAddress - 8; At + 2 <= ReturnAddress; ++At) {
            TTraceInstruction Instruction;
            if (Decoder->Decode(At, Instruction) && Instruction.Next == ReturnAddress && Instruction.IsCall)
                return At;
        }
    // No call ends there (code that pushed its own return address): the address itself is all there is.
    return ReturnAddress;
}
