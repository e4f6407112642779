#include "ObjdumpOracle.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string Quoted(const std::string& Text) {
    std::string Result = "'";
    for (const char C : Text)
        Result += C == '\'' ? std::string("'\\''") : std::string(1, C);
    return Result + "'";
}

} // namespace

bool IsObjdumpPrefixWord(const std::string& Word) {
    static const std::set<std::string> Prefixes = {
        "data16", "data32", "addr16", "addr32", "cs",   "ds",    "es",  "ss",      "fs",       "gs",
        "lock",   "rep",    "repz",   "repnz",  "repe", "repne", "bnd", "notrack", "xacquire", "xrelease"};
    return Prefixes.count(Word) != 0 || Word.rfind("rex", 0) == 0 || Word.rfind("{", 0) == 0;
}

namespace {

bool ParseLine(const std::string& Line, TObjdumpLine& Parsed) {
    // "  401000:\t55                   \tpush   rbp"
    const std::size_t Colon = Line.find(":\t");
    if (Colon == std::string::npos)
        return false;
    const std::size_t BytesEnd = Line.find('\t', Colon + 2);
    if (BytesEnd == std::string::npos)
        return false;
    char* End = nullptr;
    const std::string AddressText = Line.substr(0, Colon);
    Parsed.Address = std::strtoull(AddressText.c_str(), &End, 16);
    if (End == AddressText.c_str())
        return false;
    Parsed.Length = 0;
    for (std::size_t I = Colon + 2; I < BytesEnd; ++I)
        if (Line[I] != ' ' && (I + 1 >= BytesEnd || Line[I + 1] == ' '))
            ++Parsed.Length;
    Parsed.Text = Line.substr(BytesEnd + 1);
    Parsed.Mnemonic.clear();
    std::size_t Position = 0;
    bool Unknown = false;
    while (Position < Parsed.Text.size()) {
        const std::size_t Start = Parsed.Text.find_first_not_of(' ', Position);
        if (Start == std::string::npos)
            break;
        std::size_t Stop = Parsed.Text.find(' ', Start);
        if (Stop == std::string::npos)
            Stop = Parsed.Text.size();
        const std::string Word = Parsed.Text.substr(Start, Stop - Start);
        if (Parsed.Mnemonic.empty() && !IsObjdumpPrefixWord(Word))
            Parsed.Mnemonic = Word;
        // An operand objdump cannot name ("?") means it does not know the instruction either.
        const std::string Operands = Parsed.Mnemonic.empty() ? "" : Word;
        if (Operands == "?" || Operands.find(",?") != std::string::npos || Operands.find("?,") == 0)
            Unknown = true;
        Position = Stop;
    }
    // "{bad}" and "{rn-bad}", and a brace in the mnemonic ("vcmps{baltd}"), mark a field objdump finds wrong (an
    // EVEX.W or EVEX.b the instruction does not take): no instruction either.
    Parsed.Decodes = !Parsed.Mnemonic.empty() && Parsed.Text.find("(bad)") == std::string::npos &&
                     Parsed.Mnemonic.find('{') == std::string::npos && Parsed.Text.find("bad}") == std::string::npos &&
                     !Unknown;
    return true;
}

} // namespace

std::vector<TObjdumpLine> RunObjdump(const std::vector<std::string>& Arguments) {
    std::string Command = "objdump -w -M intel";
    for (const std::string& Argument : Arguments)
        Command += " " + Quoted(Argument);
    std::vector<TObjdumpLine> Lines;
    FILE* Pipe = popen(Command.c_str(), "r");
    if (Pipe == nullptr) {
        ADD_FAILURE() << "cannot run " << Command;
        return Lines;
    }
    std::string Line;
    char Buffer[4096];
    while (std::fgets(Buffer, sizeof Buffer, Pipe) != nullptr) {
        Line += Buffer;
        if (Line.empty() || Line.back() != '\n')
            continue;
        Line.pop_back();
        TObjdumpLine Parsed;
        if (ParseLine(Line, Parsed))
            Lines.push_back(std::move(Parsed));
        Line.clear();
    }
    const int Status = pclose(Pipe);
    if (Status != 0)
        ADD_FAILURE() << Command << " failed with status " << Status;
    return Lines;
}

bool SameMnemonic(const std::string& Written, const std::string& Ours) {
    // objdump adds notes such as "(8087 only)" to a few names.
    const std::string Objdump = Written.substr(0, Written.find('('));
    if (Objdump == Ours)
        return true;
    // The descriptor-table moves get the operand size as a suffix.
    for (const char* Name : {"sgdt", "sidt", "lgdt", "lidt"})
        if (Ours == Name && Objdump.size() == Ours.size() + 1 && Objdump.rfind(Ours, 0) == 0)
            return true;
    if (Objdump == "movabs")
        return Ours == "mov";
    // objdump marks 16-bit near branches with a "w"; far ones it does not mark.
    if (Objdump == "callw" || Objdump == "jmpw" || Objdump == "retw")
        return Ours == Objdump.substr(0, Objdump.size() - 1);
    if (Objdump == "call" || Objdump == "jmp")
        return Ours == Objdump + "f";
    // Condition codes: objdump writes ae, e and ne where we write nb, z and nz.
    for (const char* Stem : {"j", "set", "cmov"}) {
        const std::string Head = Stem;
        if (Objdump.rfind(Head, 0) != 0 || Ours.rfind(Head, 0) != 0)
            continue;
        const std::string Theirs = Objdump.substr(Head.size());
        const std::string Mine = Ours.substr(Head.size());
        if ((Theirs == "ae" && Mine == "nb") || (Theirs == "e" && Mine == "z") || (Theirs == "ne" && Mine == "nz"))
            return true;
    }
    // String instructions: objdump names the size in the operands, we in the mnemonic.
    for (const char* Stem :
         {"movs", "cmps", "stos", "lods", "scas", "ins", "outs", "pushf", "popf", "iret", "pusha", "popa"})
        if (Objdump == Stem && Ours.size() == Objdump.size() + 1 && Ours.rfind(Objdump, 0) == 0 &&
            std::string("bwdq").find(Ours.back()) != std::string::npos)
            return true;
    return false;
}

TTemporaryFile::TTemporaryFile(const std::string& Name) {
    char Template[] = "/tmp/krodisasm-test-XXXXXX";
    const char* Made = mkdtemp(Template);
    Folder = Made != nullptr ? Made : "/tmp";
    FilePath = Folder + "/" + Name;
}

TTemporaryFile::~TTemporaryFile() {
    unlink(FilePath.c_str());
    if (Folder != "/tmp")
        rmdir(Folder.c_str());
}

void TTemporaryFile::Write(const std::vector<unsigned char>& Bytes) const {
    std::ofstream Out(FilePath, std::ios::binary | std::ios::trunc);
    Out.write(reinterpret_cast<const char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
    ASSERT_TRUE(Out.good()) << "cannot write " << FilePath;
}

bool CompileWithOurCompiler(const std::string& Source, const std::vector<std::string>& Options,
                            const std::string& Output, std::string& Messages) {
    const std::string SourceFile = Output + ".cpp";
    const std::string MessageFile = Output + ".messages";
    {
        std::ofstream Out(SourceFile, std::ios::trunc);
        Out << Source;
        if (!Out.good())
            return false;
    }
    std::string Command = Quoted(KRO_CXX_COMPILER) + " -x c++";
    for (const std::string& Option : Options)
        Command += " " + Quoted(Option);
    Command += " -o " + Quoted(Output) + " " + Quoted(SourceFile) + " > " + Quoted(MessageFile) + " 2>&1";
    const int Status = std::system(Command.c_str());
    std::ifstream In(MessageFile);
    Messages.assign(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
    unlink(SourceFile.c_str());
    unlink(MessageFile.c_str());
    return Status == 0;
}

bool TZeroFilledReader::Read(std::uint64_t Address, void* Dest, std::size_t Count) const {
    auto* Out = static_cast<unsigned char*>(Dest);
    for (std::size_t I = 0; I < Count; ++I)
        Out[I] = Address + I < Bytes.size() ? Bytes[static_cast<std::size_t>(Address + I)] : 0;
    return true;
}

bool TZeroFilledReader::CodeRange(std::uint64_t, std::uint64_t& Begin, std::uint64_t& End) const {
    Begin = 0;
    End = Bytes.size();
    return true;
}
