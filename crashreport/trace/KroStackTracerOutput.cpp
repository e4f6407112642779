#include "KroStackTracer.h"

#include "KroStrings.h"
#include "KroUnmangle.h"

namespace {

// User-space addresses of x86-64 have 47 bits: 12 hexadecimal digits keep the column straight.
constexpr std::ptrdiff_t AddressDigits = 12;

std::string HexAddress(std::uintptr_t Address) {
    return PadToLength(Int64ToHexText(Address), AddressDigits, '0');
}

// A compiler's symbol name as a report shows it.
std::string ReadableName(std::string Name) {
    std::string Unit;
    if (Name.rfind("_Z", 0) == 0)
        UnmangleName(Name, Unit);
    return Name;
}

} // namespace

void TStackTracer::FillFinalOutput() {
    bool FirstFilled = true;
    bool ExamineNext = false;
    for (std::size_t I = Items.size(); I-- > 0;) {
        TStackItem& Item = Items[I];
        if (Item.Removed)
            continue;
        std::int32_t Function = -1;
        const TStackLink* Through = nullptr;
        for (const TStackLink& Link : Item.Callers.Links)
            if (FunctionApproved(Link.Function) ||
                (Item.Certain && Link.Item < 0 && Link.Function >= 0 && Link.CallSite != 0)) {
                Through = &Link;
                Function = Link.Function;
                break;
            }
        if (Through != nullptr) {
            Item.FinalAddress = Through->CallSite;
            Item.FunctionName = ReadableName(Functions[Function].Name);
            Item.FunctionStart = Functions[Function].Info.Start;
        } else {
            const TStackLink* WithSite = nullptr;
            for (const TStackLink& Link : Item.Callers.Links)
                if (Link.CallSite != 0) {
                    WithSite = &Link;
                    break;
                }
            if (WithSite != nullptr)
                Item.FinalAddress = WithSite->CallSite;
            else if (Item.Callees.Best >= 0)
                Item.FinalAddress = Item.Callees.Links[static_cast<std::size_t>(Item.Callees.Best)].CallSite;
            else
                Item.FinalAddress = Item.Address;
        }

        if (FirstFilled) {
            FirstFilled = false;
            if (Request.FunctionEntry != nullptr)
                *Request.FunctionEntry = Function >= 0 ? Functions[Function].Info.Start : 0;
            if (Request.HighlightAddress != nullptr)
                *Request.HighlightAddress = Item.FinalAddress;
            // A crash in unreadable memory: the function worth listing is the one that called there.
            ExamineNext = Function >= 0 && Functions[Function].Pseudo() && Functions[Function].Info.Start != 0 &&
                          Request.HasExceptionAddress;
        } else if (ExamineNext) {
            ExamineNext = false;
            if (Function >= 0)
                for (const TTraceBranch& Branch : Functions[Function].Info.External)
                    if (Branch.Target == ExceptionAddress) {
                        if (Request.FunctionEntry != nullptr)
                            *Request.FunctionEntry = Functions[Function].Info.Start;
                        if (Request.HighlightAddress != nullptr)
                            *Request.HighlightAddress = Branch.Start;
                        break;
                    }
        }

        Item.ModuleName = Item.Module >= 0 ? Modules[Item.Module].FileName : "???";
        if (Item.Module >= 0 && Modules[Item.Module].Map != nullptr) {
            const TTraceMap& Map = *Modules[Item.Module].Map;
            Item.UnitName = Map.UnitOf(Item.FinalAddress);
            Item.Line = Map.LineOf(Item.FinalAddress);
            std::string Name;
            std::uintptr_t Start = 0;
            if (Item.FunctionName.empty() && Map.PublicOf(Item.FinalAddress, Name, Start)) {
                Item.FunctionName = ReadableName(Name);
                Item.FunctionStart = Start;
            }
            // Code the compiler inlined names the functions it came from, as a debugger lists them.
            Item.Inlined = Map.InlinedAt(Item.FinalAddress);
        }
        // A function the module keeps to itself has no name to give: the module and the address in its file, as
        // addr2line takes it. (A frame without a function in a module with a map is chance, unless it is certain.)
        if (Item.Module >= 0 && Item.FunctionName.empty() &&
            (Item.Certain || (Function >= 0 && Modules[Item.Module].Map == nullptr)))
            Item.FunctionName =
                Item.ModuleName + "+0x" + Int64ToHexText(Item.FinalAddress - Modules[Item.Module].LoadBias);
    }
}

std::string TStackTracer::ComposeResult() const {
    std::vector<const TStackItem*> Listed;
    bool LineListed = false;
    for (std::size_t I = Items.size(); I-- > 0;) {
        const TStackItem& Item = Items[I];
        if (Item.Removed || (!Item.Exact && Item.FunctionName.empty()))
            continue;
        if (Request.HideWithoutLines && Item.Line == 0 && LineListed)
            continue;
        LineListed |= Item.Line != 0;
        Listed.push_back(&Item);
    }
    // Each listed item gives a line for every function inlined at its address, innermost first, then its own; the
    // columns are as wide as the widest of all listed, printed or not.
    std::vector<TStackTraceEntry> All;
    std::vector<bool> Printed;
    std::uintptr_t Previous = 0;
    for (const TStackItem* Item : Listed) {
        const bool Repeated = !All.empty() && Item->FinalAddress == Previous;
        Previous = Item->FinalAddress;
        for (const TTraceInlined& Inlined : Item->Inlined) {
            All.push_back(TStackTraceEntry{Item->FinalAddress, 0, Item->ModuleName, Inlined.UnitName, Inlined.Line,
                                           Inlined.FunctionName, true});
            Printed.push_back(!Repeated);
        }
        All.push_back(TStackTraceEntry{Item->FinalAddress, Item->FunctionStart, Item->ModuleName, Item->UnitName,
                                       Item->Line, Item->FunctionName, false});
        Printed.push_back(!Repeated);
    }
    auto HasOffset = [&](const TStackTraceEntry& Entry) {
        return Request.ShowRelativeOffsets && Entry.FunctionStart != 0 && Entry.FunctionStart < Entry.Address;
    };
    std::size_t OffsetWidth = 0, ModuleWidth = 0, UnitWidth = 0, LineWidth = 0;
    for (const TStackTraceEntry& Entry : All) {
        if (HasOffset(Entry))
            OffsetWidth = std::max(OffsetWidth, Int64ToHexText(Entry.Address - Entry.FunctionStart).size() + 2);
        ModuleWidth = std::max(ModuleWidth, Entry.ModuleName.size() + 1);
        UnitWidth = std::max(UnitWidth, Entry.UnitName.size() + 1);
        LineWidth = std::max(LineWidth, (Entry.Line != 0 ? IntToText(Entry.Line).size() : 0) + 1);
    }
    std::vector<TStackTraceEntry> Lines;
    for (std::size_t I = 0; I < All.size(); ++I)
        if (Printed[I])
            Lines.push_back(std::move(All[I]));

    std::string Text;
    for (const TStackTraceEntry& Entry : Lines) {
        if (!Text.empty())
            Text += "\r\n";
        Text += HexAddress(HasOffset(Entry) ? Entry.FunctionStart : Entry.Address);
        Text += ' ';
        if (OffsetWidth > 0) {
            const std::uintptr_t Offset = HasOffset(Entry) ? Entry.Address - Entry.FunctionStart : 0;
            Text += '+';
            Text += PadToLength(Int64ToHexText(Offset), static_cast<std::ptrdiff_t>(OffsetWidth) - 2, '0');
            Text += ' ';
        }
        Text += PadToLength(Entry.ModuleName, -static_cast<std::ptrdiff_t>(ModuleWidth), ' ');
        Text += PadToLength(Entry.UnitName, -static_cast<std::ptrdiff_t>(UnitWidth), ' ');
        Text += PadToLength(Entry.Line != 0 ? IntToText(Entry.Line) : std::string(),
                            static_cast<std::ptrdiff_t>(LineWidth) - 1, ' ');
        Text += ' ';
        Text += Entry.FunctionName;
    }
    if (Request.Entries != nullptr)
        *Request.Entries = std::move(Lines);
    return Text;
}
