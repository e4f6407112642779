#include "OperandMeaning.h"

#include "ObjdumpOracle.h"

#include <cctype>
#include <cstdlib>
#include <set>

namespace {

using TKind = TOperandMeaning::TKind;

std::string Lower(std::string Text) {
    for (char& C : Text)
        C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
    return Text;
}

std::string Trim(const std::string& Text) {
    const std::size_t First = Text.find_first_not_of(' ');
    if (First == std::string::npos)
        return {};
    return Text.substr(First, Text.find_last_not_of(' ') - First + 1);
}

// A number as either side writes it: "0x1f", "$1f", "31", each maybe with a sign. False when Text is none.
bool ParseNumber(const std::string& Text, std::uint64_t& Value, bool& Negative) {
    std::size_t At = 0;
    Negative = false;
    if (At < Text.size() && (Text[At] == '-' || Text[At] == '+')) {
        Negative = Text[At] == '-';
        ++At;
    }
    int Base = 10;
    if (Text.compare(At, 2, "0x") == 0) {
        Base = 16;
        At += 2;
    } else if (At < Text.size() && Text[At] == '$') {
        Base = 16;
        ++At;
    }
    if (At >= Text.size())
        return false;
    for (std::size_t I = At; I < Text.size(); ++I)
        if (!(Base == 16 ? std::isxdigit(static_cast<unsigned char>(Text[I]))
                         : std::isdigit(static_cast<unsigned char>(Text[I]))))
            return false;
    Value = std::strtoull(Text.c_str() + At, nullptr, Base);
    if (Negative)
        Value = 0 - Value;
    return true;
}

bool IsRegisterName(const std::string& Text) {
    if (Text.empty() || !std::isalpha(static_cast<unsigned char>(Text[0])))
        return false;
    for (const char C : Text)
        if (!std::isalnum(static_cast<unsigned char>(C)) && C != '(' && C != ')')
            return false;
    return true;
}

// The width a register operand has by its name; 0 when the name says none.
unsigned RegisterWidth(const std::string& Name) {
    static const std::set<std::string> Bytes = {"al",   "cl",   "dl",   "bl",   "ah",   "ch",  "dh",
                                                "bh",   "spl",  "bpl",  "sil",  "dil",  "r8b", "r9b",
                                                "r10b", "r11b", "r12b", "r13b", "r14b", "r15b"};
    static const std::set<std::string> Words = {"ax",   "cx",   "dx",   "bx",   "sp",   "bp",  "si",  "di",
                                                "es",   "cs",   "ss",   "ds",   "fs",   "gs",  "r8w", "r9w",
                                                "r10w", "r11w", "r12w", "r13w", "r14w", "r15w"};
    if (Bytes.count(Name) != 0)
        return 1;
    if (Words.count(Name) != 0)
        return 2;
    if (Name.rfind("xmm", 0) == 0 || Name.rfind("bnd", 0) == 0)
        return 16;
    if (Name.rfind("ymm", 0) == 0)
        return 32;
    if (Name.rfind("zmm", 0) == 0)
        return 64;
    if (Name.rfind("mm", 0) == 0 || Name[0] == 'k')
        return 8;
    if (Name.rfind("st", 0) == 0)
        return 10;
    if (Name[0] == 'e' || (Name[0] == 'r' && Name.back() == 'd'))
        return 4;
    if (Name[0] == 'r')
        return 8;
    return 0;
}

bool IsBranch(const std::string& Mnemonic) {
    return (!Mnemonic.empty() && Mnemonic[0] == 'j') || Mnemonic == "call" || Mnemonic == "callw" ||
           Mnemonic.rfind("loop", 0) == 0 || Mnemonic == "xbegin";
}

unsigned SizeOfWord(const std::string& Word) {
    static const std::pair<const char*, unsigned> Words[] = {
        {"byte", 1},   {"word", 2},     {"dword", 4},  {"fword", 6},    {"qword", 8},  {"tbyte", 10},
        {"oword", 16}, {"xmmword", 16}, {"yword", 32}, {"ymmword", 32}, {"zword", 64}, {"zmmword", 64}};
    for (const auto& [Name, Size] : Words)
        if (Word == Name)
            return Size;
    return 0;
}

// The inside of "[...]".
bool ParseAddress(const std::string& Inside, TOperandMeaning& Operand) {
    std::size_t At = 0;
    while (At < Inside.size()) {
        bool Minus = false;
        if (Inside[At] == '+' || Inside[At] == '-') {
            Minus = Inside[At] == '-';
            ++At;
        }
        std::size_t End = Inside.find_first_of("+-", At);
        if (End == std::string::npos)
            End = Inside.size();
        const std::string Term = Inside.substr(At, End - At);
        At = End;
        std::uint64_t Value = 0;
        bool Negative = false;
        const std::size_t Star = Term.find('*');
        if (Star != std::string::npos) {
            Operand.Index = Term.substr(0, Star);
            Operand.Scale = static_cast<unsigned>(std::strtoul(Term.c_str() + Star + 1, nullptr, 10));
        } else if (ParseNumber(Term, Value, Negative)) {
            Operand.Displacement += Minus ? -static_cast<std::int64_t>(Value) : static_cast<std::int64_t>(Value);
        } else if (IsRegisterName(Term) && !Minus) {
            (Operand.Base.empty() ? Operand.Base : Operand.Index) = Term;
        } else {
            return false;
        }
    }
    if (Operand.Index == "riz" || Operand.Index == "eiz") {
        Operand.Index.clear();
        Operand.Scale = 1;
    }
    if (Operand.Base.empty() && Operand.Scale == 1 && !Operand.Index.empty())
        std::swap(Operand.Base, Operand.Index);
    if (Operand.Index.empty())
        Operand.Scale = 1;
    return true;
}

TOperandMeaning ParseOperand(const std::string& Written, bool Bits64, bool Objdump, const std::string& Mnemonic,
                             bool HasRipTarget, std::uint64_t RipTarget) {
    TOperandMeaning Operand;
    Operand.Text = Written;
    std::string Text = Lower(Trim(Written));
    // Decorations behind the operand: masks, zeroing, rounding, broadcasts.
    std::string Decorations;
    while (!Text.empty() && Text.back() == '}') {
        const std::size_t Open = Text.rfind('{');
        if (Open == std::string::npos)
            break;
        const std::string Decoration = Text.substr(Open);
        if (Decoration.rfind("{1to", 0) == 0)
            Operand.Broadcast = true;
        else
            Decorations.insert(0, Decoration);
        Text = Trim(Text.substr(0, Open));
    }
    Operand.Decorations = Decorations;
    // A size word.
    const std::size_t Space = Text.find(' ');
    if (Space != std::string::npos) {
        const unsigned Size = SizeOfWord(Text.substr(0, Space));
        const std::string Rest = Text.substr(Space + 1);
        if (Size != 0 && (Rest.rfind("ptr ", 0) == 0 || Rest.rfind("bcst ", 0) == 0)) {
            Operand.Size = Size;
            Operand.SizeWritten = true;
            Operand.Broadcast = Operand.Broadcast || Rest.rfind("bcst ", 0) == 0;
            Text = Trim(Rest.substr(Rest.find(' ') + 1));
        }
    }
    // A segment.
    if (Text.size() > 3 && Text[2] == ':' && Text[1] == 's' &&
        std::string("cdefgs").find(Text[0]) != std::string::npos && Text.find(':', 3) == std::string::npos) {
        Operand.Segment = Text.substr(0, 2);
        Text = Text.substr(3);
    }
    std::uint64_t Value = 0;
    bool Negative = false;
    if (!Text.empty() && Text[0] == '[' && Text.back() == ']') {
        Operand.Kind = TKind::Memory;
        if (!ParseAddress(Text.substr(1, Text.size() - 2), Operand)) {
            Operand.Kind = TKind::Other;
            Operand.Name = Text;
            return Operand;
        }
    } else if (!Operand.Segment.empty() || Operand.Size != 0) {
        // objdump's "ds:0x1000" and "fs:0x28": an address without registers.
        Operand.Kind = TKind::Memory;
        if (!ParseNumber(Text, Value, Negative)) {
            Operand.Kind = TKind::Other;
            Operand.Name = Text;
            return Operand;
        }
        Operand.Displacement = static_cast<std::int64_t>(Value);
    } else if (Objdump && IsBranch(Mnemonic) && !Text.empty() &&
               Text.find_first_not_of("0123456789abcdef") == std::string::npos) {
        Operand.Kind = TKind::Target; // objdump writes a branch target in bare hexadecimal
        Operand.Value = std::strtoull(Text.c_str(), nullptr, 16);
        return Operand;
    } else if (ParseNumber(Text, Value, Negative)) {
        Operand.Kind = Objdump && IsBranch(Mnemonic) ? TKind::Target : TKind::Immediate;
        Operand.Value = Value;
        Operand.Negative = Negative;
        return Operand;
    } else if (!Objdump && (Text[0] == '+' || Text[0] == '-') && Text.back() == ')' &&
               Text.find(" (") != std::string::npos) {
        Operand.Kind = TKind::Target; // "+$12 (401000)"
        Operand.Value = std::strtoull(Text.c_str() + Text.find(" (") + 2, nullptr, 16);
        return Operand;
    } else if (IsRegisterName(Text)) {
        Operand.Kind = TKind::Register;
        Operand.Name = Text == "st(0)" ? "st" : Text;
        return Operand;
    } else {
        // Far pointers "sel:offset" and whatever else: compared as numbers where they are numbers.
        Operand.Kind = TKind::Other;
        const std::size_t Colon = Text.find(':');
        std::uint64_t Selector = 0;
        if (Colon != std::string::npos && ParseNumber(Text.substr(0, Colon), Selector, Negative) &&
            ParseNumber(Text.substr(Colon + 1), Value, Negative))
            Operand.Name = "far " + std::to_string(Selector) + ":" + std::to_string(Value);
        else
            Operand.Name = Text;
        return Operand;
    }
    // A memory operand: what is notation goes.
    if (Operand.Segment == "ds" || (Bits64 && Operand.Segment != "fs" && Operand.Segment != "gs"))
        Operand.Segment.clear();
    if (Operand.Base == "rip" || Operand.Base == "eip") {
        Operand.Absolute = true;
        Operand.Address = HasRipTarget ? RipTarget : 0;
        if (Operand.Base == "eip")
            Operand.Address &= 0xFFFFFFFFu; // objdump's comment does not wrap the 32-bit address it names
        Operand.Base.clear();
        Operand.Displacement = 0;
    } else if (Operand.Base.empty() && Operand.Index.empty()) {
        Operand.Absolute = true;
        Operand.Address = static_cast<std::uint64_t>(Operand.Displacement);
        if (!Bits64)
            Operand.Address &= 0xFFFFFFFFu;
        Operand.Displacement = 0;
    }
    return Operand;
}

// Splits "a,b" (objdump) or "a, b" (ours) into operands.
std::vector<std::string> SplitOperands(const std::string& Text) {
    std::vector<std::string> Parts;
    if (Trim(Text).empty())
        return Parts;
    std::size_t Start = 0;
    int Depth = 0;
    for (std::size_t I = 0; I <= Text.size(); ++I) {
        if (I < Text.size() && (Text[I] == '[' || Text[I] == '{' || Text[I] == '('))
            ++Depth;
        else if (I < Text.size() && (Text[I] == ']' || Text[I] == '}' || Text[I] == ')'))
            --Depth;
        if (I == Text.size() || (Text[I] == ',' && Depth == 0)) {
            Parts.push_back(Trim(Text.substr(Start, I - Start)));
            Start = I + 1;
        }
    }
    return Parts;
}

// The prefix words in front of the mnemonic go; Mnemonic and Operands get the rest.
void SplitMnemonic(const std::string& Text, bool Objdump, std::string& Mnemonic, std::string& Operands) {
    static const std::set<std::string> Ours = {"lock", "rep", "repne", "bnd", "notrack"};
    std::size_t At = 0;
    for (;;) {
        const std::size_t Start = Text.find_first_not_of(' ', At);
        if (Start == std::string::npos) {
            Mnemonic.clear();
            Operands.clear();
            return;
        }
        std::size_t Stop = Text.find(' ', Start);
        if (Stop == std::string::npos)
            Stop = Text.size();
        const std::string Word = Text.substr(Start, Stop - Start);
        At = Stop;
        if (Objdump ? IsObjdumpPrefixWord(Word) : Ours.count(Word) != 0)
            continue;
        Mnemonic = Word;
        Operands = At < Text.size() ? Trim(Text.substr(At)) : std::string();
        return;
    }
}

} // namespace

TInstructionMeaning ObjdumpMeaning(const std::string& Written, bool Bits64) {
    TInstructionMeaning Meaning;
    std::string Text = Written;
    // The comment names the address a RIP-relative operand reaches.
    bool HasRipTarget = false;
    std::uint64_t RipTarget = 0;
    const std::size_t Hash = Text.find('#');
    if (Hash != std::string::npos) {
        std::string Comment = Trim(Text.substr(Hash + 1));
        if (Comment.rfind("0x", 0) == 0)
            Comment = Comment.substr(2);
        char* End = nullptr;
        RipTarget = std::strtoull(Comment.c_str(), &End, 16);
        HasRipTarget = End != Comment.c_str();
        Text = Text.substr(0, Hash);
    }
    // Symbol names, and notes such as "(8087 only)".
    for (std::size_t Open = Text.find(" <"); Open != std::string::npos; Open = Text.find(" <")) {
        const std::size_t Close = Text.find('>', Open);
        Text.erase(Open, Close == std::string::npos ? std::string::npos : Close - Open + 1);
    }
    const std::size_t Note = Text.find(" only)");
    if (Note != std::string::npos) {
        const std::size_t Open = Text.rfind('(', Note);
        if (Open != std::string::npos)
            Text.erase(Open, Note + 6 - Open);
    }
    std::string Operands;
    SplitMnemonic(Text, true, Meaning.Mnemonic, Operands);
    if (Meaning.Mnemonic.empty()) {
        Meaning.Understood = false;
        return Meaning;
    }
    for (const std::string& Part : SplitOperands(Operands))
        Meaning.Operands.push_back(ParseOperand(Part, Bits64, true, Meaning.Mnemonic, HasRipTarget, RipTarget));
    // Implicit operands: objdump spells them out, we give the size in the mnemonic.
    static const std::set<std::string> Strings = {"movs", "cmps", "stos", "lods", "scas", "ins", "outs"};
    if (Strings.count(Meaning.Mnemonic) != 0 && !Meaning.Operands.empty()) {
        unsigned Size = 0;
        for (const TOperandMeaning& Operand : Meaning.Operands)
            if (Size == 0)
                Size = Operand.Kind == TKind::Memory                             ? Operand.Size
                       : Operand.Kind == TKind::Register && Operand.Name != "dx" ? RegisterWidth(Operand.Name)
                                                                                 : 0;
        Meaning.Mnemonic += Size == 1 ? "b" : Size == 2 ? "w" : Size == 4 ? "d" : Size == 8 ? "q" : "";
        Meaning.Operands.clear();
    }
    if (Meaning.Mnemonic == "xlat")
        Meaning.Operands.clear();
    return Meaning;
}

TInstructionMeaning OurMeaning(const std::string& Written, bool Bits64) {
    TInstructionMeaning Meaning;
    std::string Text = Written;
    const std::size_t Comment = Text.find("  ; ");
    if (Comment != std::string::npos)
        Text.resize(Comment);
    std::string Operands;
    SplitMnemonic(Text, false, Meaning.Mnemonic, Operands);
    if (Meaning.Mnemonic.empty() || Meaning.Mnemonic == "db") {
        Meaning.Understood = false;
        return Meaning;
    }
    for (const std::string& Part : SplitOperands(Operands))
        Meaning.Operands.push_back(ParseOperand(Part, Bits64, false, Meaning.Mnemonic, false, 0));
    // The size word we leave out is the width of the first register operand.
    unsigned Implied = 0;
    for (const TOperandMeaning& Operand : Meaning.Operands)
        if (Operand.Kind == TKind::Register) {
            Implied = RegisterWidth(Operand.Name);
            break;
        }
    if (Meaning.Mnemonic != "lea")
        for (TOperandMeaning& Operand : Meaning.Operands)
            if (Operand.Kind == TKind::Memory && Operand.Size == 0)
                Operand.Size = Implied;
    return Meaning;
}

std::string MeaningDifference(const TInstructionMeaning& Objdump, const TInstructionMeaning& Ours) {
    if (!Objdump.Understood || !Ours.Understood)
        return "unreadable";
    if (!SameMnemonic(Objdump.Mnemonic, Ours.Mnemonic))
        return "mnemonic";
    if (Objdump.Operands.size() != Ours.Operands.size())
        return "operand count";
    for (std::size_t I = 0; I < Ours.Operands.size(); ++I) {
        const TOperandMeaning& Theirs = Objdump.Operands[I];
        const TOperandMeaning& Mine = Ours.Operands[I];
        const std::string Which = "operand " + std::to_string(I + 1) + " ";
        const bool Numbers =
            (Theirs.Kind == TKind::Immediate || Theirs.Kind == TKind::Target) && Theirs.Kind == Mine.Kind;
        if (Theirs.Kind != Mine.Kind)
            return Which + "kind";
        if (Theirs.Decorations != Mine.Decorations)
            return Which + "decoration";
        switch (Theirs.Kind) {
        case TKind::Register:
            if (Theirs.Name != Mine.Name)
                return Which + "register";
            break;
        case TKind::Memory:
            // A size objdump does not write is one we must not write either; one it writes we write or imply.
            if (Theirs.SizeWritten ? Theirs.Size != Mine.Size : Mine.SizeWritten)
                return Which + "size";
            if (Theirs.Broadcast != Mine.Broadcast)
                return Which + "broadcast";
            if (Theirs.Segment != Mine.Segment)
                return Which + "segment";
            if (Theirs.Absolute != Mine.Absolute || Theirs.Address != Mine.Address || Theirs.Base != Mine.Base ||
                Theirs.Index != Mine.Index || Theirs.Scale != Mine.Scale || Theirs.Displacement != Mine.Displacement)
                return Which + "address";
            break;
        case TKind::Immediate:
        case TKind::Target: {
            if (!Numbers || Theirs.Value == Mine.Value)
                break;
            // Ours negative, objdump's the same bits at the operand's width.
            bool Same = false;
            for (const std::uint64_t Mask : {0xFFull, 0xFFFFull, 0xFFFFFFFFull})
                Same = Same || (Mine.Negative && (Mine.Value & Mask) == Theirs.Value);
            if (!Same)
                return Which + "value";
            break;
        }
        case TKind::Other:
            if (Theirs.Name != Mine.Name)
                return Which + "text";
            break;
        }
    }
    return {};
}
