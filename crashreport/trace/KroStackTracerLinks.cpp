#include "KroStackTracer.h"

#include "KroSafeRead.h"

#include <algorithm>
#include <initializer_list>
#include <limits>

namespace {

constexpr TPathScore HighWord(std::int64_t Bits) noexcept {
    return static_cast<TPathScore>(static_cast<std::uint64_t>(Bits) << 32);
}

constexpr TPathScore StartScore = HighWord(0x10000000);
constexpr TPathScore ReachedThroughFunction = HighWord(0x70000000);
constexpr TPathScore ReachedWithoutFunction = HighWord(0x50000000);
constexpr TPathScore ReachedBit = HighWord(0x40000000);
constexpr TPathScore FunctionPathBit = HighWord(0x20000000);

// Long paths of approved functions add up; the score saturates rather than wrap into the negative.
TPathScore AddScore(TPathScore Score, TPathScore Bonus) noexcept {
    TPathScore Sum;
    if (__builtin_add_overflow(Score, Bonus, &Sum))
        return Bonus > 0 ? std::numeric_limits<TPathScore>::max() : std::numeric_limits<TPathScore>::min();
    return Sum;
}

// The longest call instruction of x86-64 code.
constexpr std::uintptr_t LongestCall = 8;
// A call's target and the functions its jumps out lead to are checked up to this many functions.
constexpr std::size_t MaxTailFunctions = 16;

} // namespace

bool TStackTracer::HasLine(std::int32_t Index, std::uintptr_t Address) const {
    const std::int32_t Module = Items[static_cast<std::size_t>(Index)].Module;
    return Module >= 0 && Modules[Module].Map != nullptr && Modules[Module].Map->LineOf(Address) != 0;
}

void TStackTracer::RejectFunction(std::int32_t Function) {
    if (Function < 0)
        return;
    Functions[Function].Rejected = true;
    // A certain item keeps the function its unwind entry (or the throw's record) places it in.
    for (TStackItem& Item : Items)
        for (TStackLinks* List : {&Item.Callers, &Item.Callees})
            if (std::erase_if(List->Links, [&](const TStackLink& Link) {
                    return Link.Function == Function && !(Item.Certain && List == &Item.Callers && Link.Item < 0);
                }) > 0)
                List->Best = -1;
}

std::vector<std::int32_t> TStackTracer::TailFunctions(std::int32_t Function) const {
    // The called function first, then every function its jumps out lead to, breadth first: a call through a stub of
    // the linkage table, or into a function that ends in a jump to another one (as a thin wrapper of the C library
    // does), returns from the function at the end of that chain. The analysis already followed those jumps.
    std::vector<std::int32_t> Reached{Function};
    for (std::size_t Next = 0; Next < Reached.size() && Reached.size() < MaxTailFunctions; ++Next) {
        const std::vector<TTraceBranch>& Branches = Functions[Reached[Next]].Info.External;
        for (const TTraceBranch& Branch : Branches) {
            if (Branch.IsCall || Branch.Target == 0)
                continue;
            const std::int32_t Tail = Functions.Find(Branch.Target);
            if (Tail >= 0 && !Functions[Tail].Rejected &&
                std::find(Reached.begin(), Reached.end(), Tail) == Reached.end())
                Reached.push_back(Tail);
        }
    }
    return Reached;
}

void TStackTracer::SearchCallees(std::int32_t Index, std::uintptr_t CallSite, std::uintptr_t Target, bool FromScan) {
    std::int32_t TargetFunction = -1;
    bool Indirect = Target == 0;
    std::vector<std::int32_t> Reachable;
    std::int32_t UnknownModule = -1; // the module of a target the analysis cannot follow
    if (!Indirect) {
        TargetFunction = Functions.Analyze(Target, nullptr, -1, false, false);
        if (TargetFunction < 0)
            UnknownModule = Modules.FindByRange(Target);
        else {
            for (const TTraceBranch& Branch : Functions[TargetFunction].Info.Open)
                Indirect |= !Branch.IsCall;
            Reachable = TailFunctions(TargetFunction);
        }
    }
    for (std::size_t N = static_cast<std::size_t>(Index) + 1; N < Items.size(); ++N) {
        TStackItem& Found = Items[N];
        if (!Found.Removed) {
            TCallMatch Match;
            bool Linked = false;
            std::int32_t Through = -1; // the function the found item's call site lies in
            // A target the analysis cannot follow (the large functions of the C library's allocator are such) may
            // have led to where the thread stood, when that lies in the target's module. Old return addresses are
            // never linked this way: they would chain through any call of such a function.
            if (Indirect || (UnknownModule >= 0 && Found.AtInstruction && Found.Module == UnknownModule)) {
                Linked = true;
                for (const TStackLink& Link : Found.Callers.Links)
                    if (Link.Item < 0 && Link.CallSite != 0) {
                        Match = TCallMatch{Link.CallSite, Link.Target, Link.ExactMatch};
                        break;
                    }
            } else
                for (const std::int32_t Function : Reachable) {
                    std::uintptr_t Address = Found.Address;
                    if (Functions.CallCheck(Function, 0, Address, Found.AtInstruction, Match)) {
                        Linked = true;
                        Through = Function;
                        break;
                    }
                }
            if (Linked && FromScan)
                for (const TStackLink& Link : Found.Callers.Links)
                    if (FunctionApproved(Link.Function) && Link.CallSite != Match.CallSite)
                        Linked = false;
            if (Linked) {
                TStackLink Back;
                Back.Item = Index;
                Back.CallSite = Match.CallSite;
                Back.ExactMatch = Match.ExactMatch;
                Back.Target = Match.Target;
                Back.Function = Through;
                Found.Callers.Links.push_back(Back);
                TStackLink Forward;
                Forward.Item = static_cast<std::int32_t>(N);
                Forward.CallSite = CallSite;
                Forward.ExactMatch = Target != 0;
                Forward.Target = Target;
                Forward.Function = Through;
                Items[static_cast<std::size_t>(Index)].Callees.Links.push_back(Forward);
            }
        }
        if (Items[N].Anchored)
            break;
    }
}

bool TStackTracer::ScanForCall(std::int32_t Index) {
    const std::uintptr_t Address = Items[static_cast<std::size_t>(Index)].Address;
    const TMemoryRegion* Region = Address > 7 ? Modules.RegionOf(Address - 1) : nullptr;
    const TTraceDecoder* Decoder = TraceDecoder();
    if (Region == nullptr || Decoder == nullptr)
        return false;
    std::uintptr_t From = Address - LongestCall;
    if (From < Region->Start)
        From = Region->Start;
    for (std::uintptr_t At = From; At + 2 <= Address; ++At) {
        TTraceInstruction Instruction;
        if (Decoder->Decode(At, Instruction) && Instruction.Next == Address && Instruction.IsCall) {
            SearchCallees(Index, At, Instruction.Target, true);
            return true;
        }
    }
    return false;
}

void TStackTracer::DeepChecks() {
    const std::size_t Count = Items.size();
    for (std::size_t I = Request.ThreadStart != 0 ? 1 : 0; I < Count; ++I) {
        const auto Index = static_cast<std::int32_t>(I);
        if (!Items[I].Removed) {
            std::int32_t Approved = -1;
            for (std::size_t L = 0; L < Items[I].Callers.Links.size() && Approved < 0; ++L)
                if (FunctionApproved(Items[I].Callers.Links[L].Function))
                    Approved = static_cast<std::int32_t>(L);
            bool Done = false;
            if (Approved < 0) {
                const std::int32_t Holder = Functions.ApprovedHolding(Items[I].Address);
                if (Holder >= 0) {
                    std::uintptr_t Address = Items[I].Address;
                    TCallMatch Match;
                    if (Functions.CallCheck(Holder, 0, Address, Items[I].AtInstruction, Match)) {
                        AddLocationLink(Items[I], Holder, Match);
                        Approved = static_cast<std::int32_t>(Items[I].Callers.Links.size() - 1);
                    } else {
                        Items[I].Callers = TStackLinks{};
                        Items[I].Callees = TStackLinks{};
                        Done = true;
                    }
                }
            }
            if (!Done && Approved >= 0) {
                const TStackLink Call = Items[I].Callers.Links[static_cast<std::size_t>(Approved)];
                std::vector<std::int32_t> Wrong;
                for (const TStackLink& Link : Items[I].Callers.Links)
                    if (Link.CallSite != Call.CallSite && Link.Function >= 0 && Link.Function != Call.Function)
                        Wrong.push_back(Link.Function);
                for (const std::int32_t Function : Wrong)
                    RejectFunction(Function);
                SearchCallees(Index, Call.CallSite, Call.Target, false);
            } else if (!Done && Items[I].Callers.Links.empty() && Items[I].Callees.Links.empty())
                ScanForCall(Index);
        }
        SetProgress(25 + static_cast<std::int32_t>(I * 625 / Count));
    }
    SetProgress(650);
}

TPathScore TStackTracer::LinkBonus(const TStackLink& Link, std::int32_t From, bool AllThroughFunctions,
                                   TPathScore Score) const {
    if (Link.Function < 0) {
        Score &= ~FunctionPathBit;
        const TStackItem& A = Items[static_cast<std::size_t>(From)];
        const TStackItem& B = Items[static_cast<std::size_t>(Link.Item)];
        const bool Maps =
            A.Module >= 0 && B.Module >= 0 && Modules[A.Module].Map != nullptr && Modules[B.Module].Map != nullptr;
        const bool Lines = Maps && HasLine(From, A.AtInstruction ? A.Address : A.Address - 1) &&
                           HasLine(Link.Item, B.AtInstruction ? B.Address : B.Address - 1);
        return AddScore(Score, Maps ? (Lines ? 1024 : 256) : -1);
    }
    TPathScore Bonus = Functions[Link.Function].Approved ? 0x1000000 : 4096;
    if (AllThroughFunctions || (Score & FunctionPathBit) != 0)
        Bonus <<= 16;
    return AddScore(Score, Bonus);
}

TPathScore TStackTracer::ScorePath(std::int32_t From, std::int32_t To, bool TowardsNewer) {
    // Depth-first over the links, without recursion: a stretch can be as long as the stack is deep.
    struct TFrame {
        std::int32_t Item;
        bool AllThroughFunctions;
        std::size_t Link;
        TPathScore Best;
        std::int32_t BestLink;
    };
    auto ListOf = [&](std::int32_t Item) -> TStackLinks& {
        TStackItem& Entry = Items[static_cast<std::size_t>(Item)];
        return TowardsNewer ? Entry.Callees : Entry.Callers;
    };
    auto Consider = [](TFrame& Frame, TPathScore Score) {
        if (Frame.BestLink < 0 || Score > Frame.Best) {
            Frame.Best = Score;
            Frame.BestLink = static_cast<std::int32_t>(Frame.Link);
        }
    };
    std::vector<TFrame> Path{{From, true, 0, 0, -1}};
    TPathScore Returned = 0;
    bool ChildDone = false;
    while (!Path.empty()) {
        TFrame& Frame = Path.back();
        TStackLinks& List = ListOf(Frame.Item);
        if (ChildDone) {
            ChildDone = false;
            TStackLink& Link = List.Links[Frame.Link];
            Link.Score = LinkBonus(Link, Frame.Item, Frame.AllThroughFunctions && Link.Function >= 0, Returned);
            Consider(Frame, Link.Score);
            ++Frame.Link;
            continue;
        }
        if (Frame.Link >= List.Links.size()) {
            List.Best = Frame.BestLink;
            Returned = Frame.BestLink >= 0 ? Frame.Best : StartScore;
            Path.pop_back();
            ChildDone = !Path.empty();
            continue;
        }
        TStackLink& Link = List.Links[Frame.Link];
        // Links lead one way only, and never past the target: the walk cannot loop.
        const bool Ahead = TowardsNewer ? Link.Item > Frame.Item && Link.Item <= To
                                        : Link.Item < Frame.Item && Link.Item >= To && Link.Item >= 0;
        if (Link.Item < 0 || !Ahead) {
            ++Frame.Link;
            continue;
        }
        if (Link.Score != 0) {
            Consider(Frame, Link.Score);
            ++Frame.Link;
            continue;
        }
        if (Link.Item == To) {
            const TPathScore Reached = Link.Function < 0 ? ReachedWithoutFunction : ReachedThroughFunction;
            Link.Score = LinkBonus(Link, Frame.Item, Frame.AllThroughFunctions && Link.Function >= 0, Reached);
            Consider(Frame, Link.Score);
            ++Frame.Link;
            continue;
        }
        const TFrame Child{Link.Item, Frame.AllThroughFunctions && Link.Function >= 0, 0, 0, -1};
        Path.push_back(Child);
    }
    return Returned;
}

void TStackTracer::ResolveStretch(std::int32_t From, std::int32_t To) {
    if (To - From < 2)
        return;
    TPathScore Forward = std::numeric_limits<TPathScore>::min();
    TPathScore Backward = std::numeric_limits<TPathScore>::min();
    if (From >= 0)
        Forward = ScorePath(From, To, true);
    if (From < 0 || (Forward & ReachedBit) == 0)
        Backward = ScorePath(To, From, false);
    for (std::int32_t I = From + 1; I < To; ++I)
        Items[static_cast<std::size_t>(I)].Removed = true;
    if (From >= 0 && Forward > Backward) {
        for (std::int32_t At = From;;) {
            const TStackLinks& List = Items[static_cast<std::size_t>(At)].Callees;
            if (List.Best < 0)
                break;
            const std::int32_t Next = List.Links[static_cast<std::size_t>(List.Best)].Item;
            if (Next <= At || Next >= To)
                break;
            Items[static_cast<std::size_t>(Next)].Removed = false;
            At = Next;
        }
    } else {
        for (std::int32_t At = To;;) {
            const TStackLinks& List = Items[static_cast<std::size_t>(At)].Callers;
            if (List.Best < 0)
                break;
            const std::int32_t Next = List.Links[static_cast<std::size_t>(List.Best)].Item;
            if (Next >= At || Next <= From)
                break;
            Items[static_cast<std::size_t>(Next)].Removed = false;
            At = Next;
        }
    }
}

void TStackTracer::RealizeOptimalLinkChains() {
    if (Items.empty()) {
        SetProgress(1000);
        return;
    }
    std::vector<std::int32_t> Anchors;
    for (std::size_t I = 0; I < Items.size(); ++I)
        if (Items[I].Anchored || I + 1 == Items.size())
            Anchors.push_back(static_cast<std::int32_t>(I));
    const auto Last = static_cast<std::int64_t>(Items.size() - 1);
    const auto Count = static_cast<std::int64_t>(Items.size());
    for (std::size_t K = Anchors.size(); K-- > 0;) {
        const std::int32_t To = Anchors[K];
        ResolveStretch(K > 0 ? Anchors[K - 1] : -1, To);
        SetProgress(650 + static_cast<std::int32_t>((Last - To) * 350 / Count));
    }
    SetProgress(1000);
}
