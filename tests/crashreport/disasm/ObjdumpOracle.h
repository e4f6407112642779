#pragma once

#include "KroDisAsmReader.h"

#include <cstdint>
#include <string>
#include <vector>

// objdump, the oracle the disassembler is checked against: its Intel-syntax lines, parsed.
struct TObjdumpLine {
    std::uint64_t Address = 0;
    std::size_t Length = 0; // bytes of the instruction
    std::string Text;       // mnemonic and operands as objdump writes them
    std::string Mnemonic;   // the mnemonic without the prefixes objdump writes in front of it
    bool Decodes = false;   // not "(bad)", no unknown register, not a lone prefix
};

// Runs objdump with the arguments (plus -w -M intel) and returns its instruction lines. Fails the test (and
// returns nothing) when objdump cannot be run.
std::vector<TObjdumpLine> RunObjdump(const std::vector<std::string>& Arguments);

// A word objdump writes in front of the mnemonic: a prefix ("lock", "rep", "rex.W", "{vex}", ...).
bool IsObjdumpPrefixWord(const std::string& Word);

// Our mnemonic stands for objdump's: the same, or one of the few names the two spell differently (condition
// codes, string instructions without their size letter, movabs).
bool SameMnemonic(const std::string& Objdump, const std::string& Ours);

// A file in a fresh temporary folder, removed with the object.
class TTemporaryFile final {
public:
    explicit TTemporaryFile(const std::string& Name);
    TTemporaryFile(const TTemporaryFile&) = delete;
    TTemporaryFile& operator=(const TTemporaryFile&) = delete;
    ~TTemporaryFile();
    const std::string& Path() const { return FilePath; }
    void Write(const std::vector<unsigned char>& Bytes) const;

private:
    std::string Folder;
    std::string FilePath;
};

// Compiles Source (C++) with the compiler that built this program and the options, into Output. False when the
// compiler refuses (a 32-bit target the machine has no support for, say); its messages then go to Messages.
bool CompileWithOurCompiler(const std::string& Source, const std::vector<std::string>& Options,
                            const std::string& Output, std::string& Messages);

// Code in a buffer at address 0, and zeros wherever the buffer is not: an indirect jump then decodes as objdump
// decodes it, whatever cell it reads.
class TZeroFilledReader final : public TKroCodeReader {
public:
    explicit TZeroFilledReader(const std::vector<unsigned char>& Bytes) : Bytes(Bytes) {}
    bool Read(std::uint64_t Address, void* Dest, std::size_t Count) const override;
    bool CodeRange(std::uint64_t Address, std::uint64_t& Begin, std::uint64_t& End) const override;
    bool NameOf(std::uint64_t, std::string&, std::string&) const override { return false; }

private:
    const std::vector<unsigned char>& Bytes;
};
