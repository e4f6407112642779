#include "KroStackTracer.h"

#include <algorithm>
#include <initializer_list>
#include <unordered_map>

namespace {

// Frame chains shorter than this are too likely to be chance: they anchor nothing.
constexpr std::size_t MinAnchoringChain = 6;
// The two newest items of a chain may belong to frames whose frame pointer was not set up yet: they do not anchor.
constexpr std::size_t UnsureChainEnd = 2;
// The recursion search compares this many items at most in one trace, so that a hostile stack cannot make it slow.
constexpr std::uint64_t MaxRecursionComparisons = std::uint64_t{1} << 26;

} // namespace

std::vector<std::uintptr_t> TStackTracer::LiveFrameSlots() const {
    // The return address slots of the frame chain from the frame pointer where the trace starts, in rising order;
    // each frame lies above the one before. A frame pointer the code used for something else leads nowhere in the
    // stack, or to slots no candidate lies in.
    std::vector<std::uintptr_t> Slots;
    std::uintptr_t Frame = ChainFramePointer;
    for (std::uintptr_t Below = StackBegin; Frame >= Below && Frame + 16 <= StackEnd && (Frame & 7) == 0;) {
        std::uint64_t Saved = 0;
        if (!ReadStackWord(Frame, Saved))
            break;
        Slots.push_back(Frame + 8);
        Below = Frame + 16;
        Frame = static_cast<std::uintptr_t>(Saved);
    }
    return Slots;
}

bool TStackTracer::CallReaches(const TStackItem& Caller, const TStackItem& Callee) const {
    // The caller's call, when its target is known, and the function the callee's address lies in.
    std::uintptr_t Target = 0;
    for (const TStackLink& Link : Caller.Callers.Links)
        if (Link.Item < 0 && Link.ExactMatch)
            Target = Link.Target;
    if (Target == 0)
        return false;
    for (const TStackLink& Link : Callee.Callers.Links)
        if (Link.Item < 0 && Link.Function >= 0 && Functions[Link.Function].Info.Start == Target)
            return true;
    return false;
}

std::size_t TStackTracer::ChainLength(std::int32_t Head) const {
    std::size_t Length = 0;
    for (std::int32_t At = Head; At >= 0 && Length <= Items.size();
         At = Items[static_cast<std::size_t>(At)].FrameSuccessor)
        ++Length;
    return Length;
}

void TStackTracer::DissolveChain(std::int32_t Head) {
    for (std::int32_t At = Head; At >= 0;) {
        TStackItem& Item = Items[static_cast<std::size_t>(At)];
        const std::int32_t Next = Item.FrameSuccessor;
        Item.FramePredecessor = -1;
        Item.FrameSuccessor = -1;
        Item.MoreSuccessors.clear();
        if (!Item.AtInstruction && !Item.Certain)
            Item.Anchored = false;
        At = Next;
    }
}

void TStackTracer::FormatFrameChains() {
    // 1. Every item tells its predecessor that it follows it.
    for (std::size_t I = 0; I < Items.size(); ++I) {
        const std::int32_t Predecessor = Items[I].FramePredecessor;
        if (Predecessor < 0)
            continue;
        TStackItem& Before = Items[static_cast<std::size_t>(Predecessor)];
        if (Before.FrameSuccessor < 0)
            Before.FrameSuccessor = static_cast<std::int32_t>(I);
        else
            Before.MoreSuccessors.push_back(static_cast<std::int32_t>(I));
    }
    // 2. Of several successors the one on the live chain stays, else the only one the fork's call reaches, else the
    //    one with the longest chain; the newest forks are settled first, so that each length counts only chains that
    //    stay. Old frames in stack space that a frame reserved and never wrote chain as well as live ones and join
    //    the live chain where their caller's frame is: the frame pointer where the trace starts tells which of the
    //    two is live, and where it cannot (library code keeps none), the call the fork's frame made does.
    const std::vector<std::uintptr_t> Live = LiveFrameSlots();
    for (std::size_t I = Items.size(); I-- > 0;) {
        TStackItem& Fork = Items[I];
        if (Fork.MoreSuccessors.empty())
            continue;
        std::vector<std::int32_t> Candidates{Fork.FrameSuccessor};
        Candidates.insert(Candidates.end(), Fork.MoreSuccessors.begin(), Fork.MoreSuccessors.end());
        Fork.MoreSuccessors.clear();
        std::int32_t Longest = Candidates.front();
        std::size_t LongestLength = ChainLength(Longest);
        for (std::size_t C = 1; C < Candidates.size(); ++C)
            if (const std::size_t Length = ChainLength(Candidates[C]); Length > LongestLength) {
                Longest = Candidates[C];
                LongestLength = Length;
            }
        std::int32_t Reached = -1;
        std::size_t ReachedCount = 0;
        for (const std::int32_t Candidate : Candidates)
            if (CallReaches(Fork, Items[static_cast<std::size_t>(Candidate)])) {
                Reached = Candidate;
                ++ReachedCount;
            }
        if (ReachedCount == 1)
            Longest = Reached;
        for (const std::int32_t Candidate : Candidates)
            if (std::binary_search(Live.begin(), Live.end(),
                                   Items[static_cast<std::size_t>(Candidate)].StackPosition)) {
                Longest = Candidate;
                break;
            }
        Items[I].FrameSuccessor = Longest;
        for (const std::int32_t Other : Candidates)
            if (Other != Longest)
                DissolveChain(Other);
    }
    // 3. The oldest chain long enough to count is the thread's own; any later one is chance. Shorter chains before
    //    it are chance too: the start-up code of the C library keeps no frame pointers, and a few of its frames can
    //    look chained below the program's real chain.
    bool Formed = false;
    for (std::size_t I = 0; I < Items.size(); ++I) {
        const TStackItem& Head = Items[I];
        if (Head.FramePredecessor >= 0 || Head.FrameSuccessor < 0)
            continue;
        const auto HeadIndex = static_cast<std::int32_t>(I);
        const std::size_t Length = ChainLength(HeadIndex);
        // 4. A long chain anchors all but its last items; a short one nothing.
        if (Formed || Length < MinAnchoringChain) {
            DissolveChain(HeadIndex);
            continue;
        }
        Formed = true;
        std::size_t Position = 0;
        for (std::int32_t At = HeadIndex; At >= 0; ++Position) {
            TStackItem& Item = Items[static_cast<std::size_t>(At)];
            const std::int32_t Next = Item.FrameSuccessor;
            if (Position + UnsureChainEnd >= Length) {
                if (Position + UnsureChainEnd == Length)
                    Items[static_cast<std::size_t>(Item.FramePredecessor)].FrameSuccessor = -1;
                Item.FramePredecessor = -1;
                Item.FrameSuccessor = -1;
                if (!Item.AtInstruction && !Item.Certain)
                    Item.Anchored = false;
            } else
                Item.Anchored = true;
            At = Next;
        }
    }
}

void TStackTracer::UnlinkFromFrameChain(std::int32_t Index) {
    TStackItem& Item = Items[static_cast<std::size_t>(Index)];
    if (Item.FramePredecessor >= 0)
        Items[static_cast<std::size_t>(Item.FramePredecessor)].FrameSuccessor = Item.FrameSuccessor;
    if (Item.FrameSuccessor >= 0)
        Items[static_cast<std::size_t>(Item.FrameSuccessor)].FramePredecessor = Item.FramePredecessor;
    Item.FramePredecessor = -1;
    Item.FrameSuccessor = -1;
    Item.Anchored = Item.Certain;
}

void TStackTracer::DeleteLinksTo(const std::vector<bool>& Gone) {
    for (TStackItem& Item : Items)
        for (TStackLinks* List : {&Item.Callers, &Item.Callees}) {
            std::erase_if(List->Links, [&](const TStackLink& Link) {
                return Link.Item >= 0 && Gone[static_cast<std::size_t>(Link.Item)];
            });
            List->Best = -1;
        }
}

void TStackTracer::RemoveRecursiveAreas(bool DropLinks) {
    std::uint64_t Budget = MaxRecursionComparisons;
    std::vector<bool> Gone(Items.size(), false);
    bool AnyGone = false;
    for (bool Changed = true; Changed && Budget > 0;) {
        Changed = false;
        // The items still present, and for each the position of the nearest earlier one with the same address.
        std::vector<std::int32_t> Live;
        for (std::size_t I = 0; I < Items.size(); ++I)
            if (!Items[I].Removed)
                Live.push_back(static_cast<std::int32_t>(I));
        std::vector<std::ptrdiff_t> Previous(Live.size(), -1);
        std::unordered_map<std::uintptr_t, std::ptrdiff_t> LastSeen;
        for (std::size_t P = 0; P < Live.size(); ++P) {
            const std::uintptr_t Address = Items[static_cast<std::size_t>(Live[P])].Address;
            if (const auto Found = LastSeen.find(Address); Found != LastSeen.end())
                Previous[P] = Found->second;
            LastSeen[Address] = static_cast<std::ptrdiff_t>(P);
        }
        // From the newest item down; a removed block lies wholly above the items still to visit, so their positions
        // and neighbours stay as computed.
        for (std::ptrdiff_t P = static_cast<std::ptrdiff_t>(Live.size()) - 1; P >= 1 && Budget > 0; --P) {
            const std::ptrdiff_t K = Previous[static_cast<std::size_t>(P)];
            if (K < 0)
                continue;
            const std::ptrdiff_t Between = P - K - 1;
            if (K < Between)
                continue;
            bool Repeated = true;
            for (std::ptrdiff_t T = 1; T <= Between && Repeated && Budget > 0; ++T, --Budget)
                Repeated = Items[static_cast<std::size_t>(Live[static_cast<std::size_t>(P - T)])].Address ==
                           Items[static_cast<std::size_t>(Live[static_cast<std::size_t>(K - T)])].Address;
            if (!Repeated || Budget == 0)
                continue;
            // The block of Between + 1 items ending at P repeats the one ending at K: it goes.
            for (std::ptrdiff_t B = K + 1; B <= P; ++B) {
                const std::int32_t Index = Live[static_cast<std::size_t>(B)];
                UnlinkFromFrameChain(Index);
                TStackItem& Item = Items[static_cast<std::size_t>(Index)];
                Item.Removed = true;
                if (DropLinks) {
                    Item.Callers = TStackLinks{};
                    Item.Callees = TStackLinks{};
                    Gone[static_cast<std::size_t>(Index)] = true;
                    AnyGone = true;
                }
            }
            Changed = true;
            P = K + 1; // the loop steps on to K
        }
    }
    if (AnyGone)
        DeleteLinksTo(Gone);
}
