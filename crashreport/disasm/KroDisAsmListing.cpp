#include "KroDisAsmListing.h"

#include "KroDisAsmFormat.h"
#include "KroDisAsmSlots.h"
#include "KroDisAsmText.h"

#include <algorithm>

namespace {

constexpr const char* RuleLine = "; ---------------------------------------------------------";
// The exception line carries this mark in the middle of the blanks behind its address.
constexpr const char* ExceptionMark = "\xC2\xBB"; // "»"

// The column the entry label and the first case-table line are padded to, before their comment.
std::size_t NoteColumn(TKroCpuMode Mode) {
    return 23 + KroAddressWidth(Mode);
}

bool IsAreaEnd(const TKroInstruction& Instruction) {
    if (Instruction.Flags & KfRet)
        return true;
    if (Instruction.Encoding != TKroEncoding::Legacy || Instruction.Map != 0)
        return false;
    const std::uint32_t Opcode = Instruction.Info.Opcode;
    const int Reg = (Instruction.Info.ModRm >> 3) & 7;
    return Opcode == 0xE9 || Opcode == 0xEA || Opcode == 0xEB || (Opcode == 0xFF && (Reg == 4 || Reg == 5));
}

} // namespace

std::string TKroFunctionListing::LabelOf(const TFunctionInfo& Info, std::uint64_t Address) const {
    std::string Label;
    if (Address == Info.StartAddress) {
        std::string Name;
        std::string Module;
        if (Decoder.CodeReader().NameOf(Address, Name, Module)) {
            Label = "public " + Name;
        } else {
            Label = "sub_";
            KroAppendHex(Label, Address);
        }
        return Label;
    }
    Label = "loc_";
    KroAppendHex(Label, Address);
    return Label;
}

void TKroFunctionListing::Line(std::vector<TLine>& Lines, std::uint64_t Address, const std::string& Text) const {
    std::string Content;
    KroAppendAddress(Content, Address, Decoder.CpuMode());
    if (!Text.empty()) {
        Content += ' ';
        Content += Text;
    }
    Lines.push_back({Content, false});
}

void TKroFunctionListing::Separator(std::uint64_t Address, std::vector<TLine>& Lines) const {
    Line(Lines, Address, "");
    Line(Lines, Address, RuleLine);
    Line(Lines, Address, "");
}

void TKroFunctionListing::ListCode(const TFunctionInfo& Info, const TCodeArea& Area,
                                   const std::set<std::uint64_t>& CodeStarts, std::uint64_t ExceptAddress,
                                   bool FullLabels, std::vector<TLine>& Lines) const {
    TKroTextWriter Writer(Decoder.CodeReader());
    Writer.SetLabeler([&](std::uint64_t Target, std::string& Label) {
        if (CodeStarts.count(Target) == 0)
            return false;
        Label = LabelOf(Info, Target);
        return true;
    });
    const std::size_t Mark = KroAddressWidth(Decoder.CpuMode()) + 1;
    for (std::uint64_t Address = Area.Begin; Address <= Area.End && Address >= Area.Begin;) {
        TKroInstruction Instruction;
        if (Decoder.Decode(Address, Instruction))
            Instruction.Info.Decoded = KroResolveThroughSlots(Decoder.CodeReader(), Instruction, Area.Registers);
        std::string Text;
        Writer.Append(Text, Instruction);
        // One line per instruction, or one per byte of undecodable code.
        std::size_t Start = 0;
        std::uint64_t LineAddress = Address;
        while (Start <= Text.size()) {
            std::size_t Stop = Text.find("\r\n", Start);
            if (Stop == std::string::npos)
                Stop = Text.size();
            TLine Entry{Text.substr(Start, Stop - Start), false};
            const std::uint64_t LineNext =
                Instruction.Info.Decoded ? Instruction.Info.NextInstruction : LineAddress + 1;
            if (ExceptAddress >= LineAddress && ExceptAddress < LineNext && Entry.Text.size() > Mark) {
                Entry.Text.replace(Mark, 1, ExceptionMark);
                Entry.Exception = true;
            }
            Lines.push_back(std::move(Entry));
            LineAddress = LineNext;
            Start = Stop + 2;
        }
        const std::uint64_t Next =
            Instruction.Info.NextInstruction > Address ? Instruction.Info.NextInstruction : Address + 1;
        if (FullLabels && Instruction.Info.Decoded && IsAreaEnd(Instruction))
            Separator(Next, Lines);
        Address = Next;
    }
}

void TKroFunctionListing::ListTable(const TFunctionInfo& Info, const TCodeArea& Area, bool FullLabels,
                                    std::vector<TLine>& Lines) const {
    // A jump right before the table has drawn the rule already.
    const std::string Rule = RuleLine;
    const bool Framed =
        Lines.size() >= 2 && Lines[Lines.size() - 2].Text.size() >= Rule.size() &&
        Lines[Lines.size() - 2].Text.compare(Lines[Lines.size() - 2].Text.size() - Rule.size(), Rule.size(), Rule) == 0;
    if (FullLabels && !Framed)
        Separator(Area.Begin, Lines);
    const std::size_t Width = Area.EntrySize == 0 ? 4 : Area.EntrySize;
    for (std::uint64_t Address = Area.Begin; Address + Width - 1 <= Area.End && Address >= Area.Begin;
         Address += Width) {
        std::uint64_t Value = 0;
        std::string Text = Width == 8 ? "  dq " : "  dd ";
        if (Decoder.CodeReader().Read(Address, &Value, Width)) {
            std::uint64_t Target = Value;
            if (Area.TableBase != 0)
                Target = Area.TableBase +
                         static_cast<std::uint64_t>(static_cast<std::int64_t>(static_cast<std::int32_t>(Value)));
            Text += LabelOf(Info, Target);
        } else {
            Text += "??";
        }
        Line(Lines, Address, Text);
        if (Address == Area.Begin) {
            KroPadToColumn(Lines.back().Text, 0, NoteColumn(Decoder.CpuMode()));
            Lines.back().Text += "  ; case jump table";
        }
    }
    if (FullLabels)
        Separator(Area.End + 1, Lines);
}

void TKroFunctionListing::Compose(const TFunctionInfo& Info, std::uint64_t ExceptAddress, std::int32_t ContextLines,
                                  bool FullLabels, std::string& Text) const {
    Text.clear();
    if (!Info.Succeeded)
        return;
    // The areas in address order; overlapping areas mean the analysis went wrong.
    std::vector<const TCodeArea*> Ordered;
    for (const TCodeArea& Area : Info.Areas)
        Ordered.push_back(&Area);
    std::sort(Ordered.begin(), Ordered.end(),
              [](const TCodeArea* Left, const TCodeArea* Right) { return Left->Begin < Right->Begin; });
    for (std::size_t I = 1; I < Ordered.size(); ++I)
        if (Ordered[I]->Begin <= Ordered[I - 1]->End) {
            Text = "Internal error in ParseFunction while composing the disassembling string...  :-(";
            return;
        }
    std::set<std::uint64_t> CodeStarts;
    for (const TCodeArea* Area : Ordered)
        if (!Area->CaseTable)
            CodeStarts.insert(Area->Begin);
    std::vector<TLine> Lines;
    for (const TCodeArea* Area : Ordered) {
        const bool Entry = Area->Begin == Info.StartAddress;
        if (Entry || (FullLabels && Area->Referrer != 0 && !Area->CaseTable)) {
            Line(Lines, Area->Begin, LabelOf(Info, Area->Begin) + ":");
            if (Entry) {
                KroPadToColumn(Lines.back().Text, 0, NoteColumn(Decoder.CpuMode()));
                Lines.back().Text += "  ; function entry point";
            }
        }
        if (Area->CaseTable)
            ListTable(Info, *Area, FullLabels, Lines);
        else
            ListCode(Info, *Area, CodeStarts, ExceptAddress, FullLabels, Lines);
    }
    // With a context, only the lines around the exception line stay.
    std::size_t First = 0;
    std::size_t Last = Lines.size();
    bool CutBefore = false;
    bool CutAfter = false;
    const auto Exception = std::find_if(Lines.begin(), Lines.end(), [](const TLine& L) { return L.Exception; });
    if (ContextLines > 0 && Exception != Lines.end()) {
        const std::size_t Context = static_cast<std::size_t>(ContextLines);
        const std::size_t Position = static_cast<std::size_t>(Exception - Lines.begin()); // line k - 1
        if (Position + 1 > Context * 12 / 10) {
            First = Position - std::min(Position, Context);
            CutBefore = true;
        }
        if (Position + 1 + Context < Lines.size()) {
            Last = Position + 1 + Context;
            CutAfter = true;
        }
    }
    if (CutBefore)
        Text += "[...]\r\n";
    for (std::size_t I = First; I < Last; ++I) {
        Text += Lines[I].Text;
        if (I + 1 < Last || CutAfter)
            Text += "\r\n";
    }
    if (CutAfter)
        Text += "[...]";
}
