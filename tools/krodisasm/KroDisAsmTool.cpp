#include "KroDisAsmTool.h"

#include "KroDisAsm.h"
#include "KroDisAsmDecoder.h"
#include "KroDisAsmFormat.h"
#include "KroDisAsmImageReader.h"
#include "KroDisAsmText.h"
#include "KroElfFile.h"

#include <optional>

namespace {

constexpr const char* Usage =
    "usage: krodisasm FILE\n"
    "       krodisasm --function NAME|ADDRESS FILE\n"
    "       krodisasm --32 FILE [--base ADDRESS]\n"
    "       krodisasm --help\n"
    "\n"
    "Disassembles x86 code as the crash reports show it.\n"
    "  FILE                  an ELF file (32- or 64-bit): every executable section, one line per instruction\n"
    "  --function NAME|ADDRESS  the listing of one function of the ELF file, found by its symbol name or its\n"
    "                        address (hexadecimal, with or without 0x)\n"
    "  --32 FILE             a file of raw 32-bit code\n"
    "  --base ADDRESS        the address the raw code is loaded at (hexadecimal; default 0)\n";

class EUsage final : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

bool ParseAddress(const std::string& Text, std::uint64_t& Value) {
    std::string Digits = Text;
    if (Digits.rfind("0x", 0) == 0 || Digits.rfind("0X", 0) == 0)
        Digits = Digits.substr(2);
    else if (!Digits.empty() && Digits[0] == '$')
        Digits = Digits.substr(1);
    if (Digits.empty() || Digits.size() > 16)
        return false;
    Value = 0;
    for (const char C : Digits) {
        unsigned Digit;
        if (C >= '0' && C <= '9')
            Digit = static_cast<unsigned>(C - '0');
        else if (C >= 'a' && C <= 'f')
            Digit = static_cast<unsigned>(C - 'a' + 10);
        else if (C >= 'A' && C <= 'F')
            Digit = static_cast<unsigned>(C - 'A' + 10);
        else
            return false;
        Value = (Value << 4) | Digit;
    }
    return true;
}

// Writes one piece of disassembly text with line feeds for the reports' CR LF.
void WriteLines(std::ostream& Out, const std::string& Text) {
    for (const char C : Text)
        if (C != '\r')
            Out << C;
    Out << '\n';
}

// Decodes [Begin, End) one instruction after the other, as the text writer shows them.
void Sweep(std::ostream& Out, const TKroCodeReader& Reader, TKroCpuMode Mode, std::uint64_t Begin, std::uint64_t End) {
    const TKroDecoder Decoder(Reader, Mode);
    const TKroTextWriter Writer(Reader);
    std::string Line;
    std::uint64_t Address = Begin;
    while (Address < End) {
        TKroInstruction Instruction;
        Decoder.Decode(Address, Instruction);
        if (!Instruction.Info.Decoded && Instruction.Info.NextInstruction > End) {
            // The section ends inside the instruction: its bytes as data.
            Instruction.Length = static_cast<std::uint8_t>(End - Address);
        }
        Line.clear();
        Writer.Append(Line, Instruction);
        WriteLines(Out, Line);
        const std::uint64_t Next = Instruction.Info.Decoded
                                       ? Instruction.Info.NextInstruction
                                       : Address + (Instruction.Length > 0 ? Instruction.Length : 1);
        if (Next <= Address)
            break;
        Address = Next;
    }
}

int SweepElf(std::ostream& Out, const std::string& FileName) {
    const TKroElfFile Image(FileName);
    bool First = true;
    for (const TKroElfFile::TSection& Section : Image.Sections()) {
        if (!Section.Code || Section.Size == 0)
            continue;
        if (!First)
            Out << '\n';
        First = false;
        std::string Range;
        KroAppendAddress(Range, Section.Address, Image.Mode());
        Range += " - ";
        KroAppendAddress(Range, Section.Address + Section.Size - 1, Image.Mode());
        Out << "section " << Section.Name << ": " << Range << "\n";
        Sweep(Out, Image.Reader(), Image.Mode(), Section.Address, Section.Address + Section.Size);
    }
    return 0;
}

int SweepRaw(std::ostream& Out, const std::string& FileName, std::uint64_t Base) {
    const std::vector<unsigned char> Bytes = ReadInputFile(FileName);
    if (Base > 0xFFFFFFFFu || Bytes.size() > 0x100000000u - Base) {
        std::string Where;
        KroAppendHex(Where, Base);
        throw EUsage("the code of " + FileName + " does not fit in 32-bit addresses from " + Where);
    }
    TKroImageCodeReader Reader;
    Reader.AddSegment(Base, Bytes.data(), Bytes.size());
    Sweep(Out, Reader, TKroCpuMode::Bits32, Base, Base + Bytes.size());
    return 0;
}

int ListFunction(std::ostream& Out, const std::string& FileName, const std::string& Function) {
    const TKroElfFile Image(FileName);
    std::uint64_t Address = 0;
    if (!Image.FindSymbol(Function, Address) && !ParseAddress(Function, Address))
        throw EKroElfError(FileName + ": no function '" + Function + "'");
    TFunctionInfo Info;
    std::string Text;
    const TKroDisAssembler DisAssembler(Image.Reader(), Image.Mode());
    DisAssembler.ParseFunction(Address, Text, 0, 0, true, Info);
    if (!Info.Succeeded) {
        std::string Where;
        KroAppendHex(Where, Info.ErrorAddress);
        throw EKroElfError(FileName + ": the function at " + Function + " cannot be analysed: " + Info.ErrorText +
                           " (at " + Where + ")");
    }
    WriteLines(Out, Text);
    return 0;
}

} // namespace

int KroDisAsmToolMain(const std::vector<std::string>& Arguments, std::ostream& Out, std::ostream& Err) {
    try {
        std::optional<std::string> Function;
        std::optional<std::uint64_t> Base;
        bool Raw32 = false;
        std::vector<std::string> Files;
        for (std::size_t I = 0; I < Arguments.size(); ++I) {
            const std::string& Argument = Arguments[I];
            if (Argument == "--help" || Argument == "-h") {
                Out << Usage;
                return 0;
            }
            if (Argument == "--function" || Argument == "--base") {
                if (I + 1 >= Arguments.size())
                    throw EUsage(Argument + " needs " + (Argument == "--base" ? "an address" : "a name or an address"));
                const std::string& Value = Arguments[++I];
                if (Argument == "--function") {
                    Function = Value;
                } else {
                    std::uint64_t Address = 0;
                    if (!ParseAddress(Value, Address))
                        throw EUsage("bad address '" + Value + "' for --base");
                    Base = Address;
                }
            } else if (Argument == "--32") {
                Raw32 = true;
            } else if (Argument.size() > 1 && Argument[0] == '-') {
                throw EUsage("unknown option '" + Argument + "'");
            } else {
                Files.push_back(Argument);
            }
        }
        if (Files.empty())
            throw EUsage("no file given");
        if (Files.size() > 1)
            throw EUsage("more than one file given: '" + Files[0] + "' and '" + Files[1] + "'");
        if (Base && !Raw32)
            throw EUsage("--base goes with --32 only");
        if (Function && Raw32)
            throw EUsage("--function reads ELF files; it does not go with --32");
        if (Raw32)
            return SweepRaw(Out, Files[0], Base.value_or(0));
        if (Function)
            return ListFunction(Out, Files[0], *Function);
        return SweepElf(Out, Files[0]);
    } catch (const EUsage& Error) {
        Err << "krodisasm: " << Error.what() << "\n" << Usage;
        return 2;
    } catch (const EKroElfError& Error) {
        Err << "krodisasm: " << Error.what() << "\n";
        return 1;
    } catch (const std::bad_alloc&) {
        Err << "krodisasm: out of memory\n";
        return 1;
    } catch (const std::exception& Error) {
        Err << "krodisasm: " << Error.what() << "\n";
        return 1;
    }
}
