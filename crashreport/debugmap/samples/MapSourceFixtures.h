#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

// The map sources no tool of ours produces, built here byte by byte: the tests of their readers and the map fuzz
// target's seeds start from them.

// The linker's text map of two units; segment lines are padded to the width the linker writes.
inline const char* const TextMapFixture =
    " Start         Length     Name                   Class\r\n"
    " 0001:00000000 00000180H .text                   CODE\r\n"
    "\r\n"
    "Detailed map of segments\r\n"
    "\r\n"
    " 0001:00000000 00000100 C=CODE     S=.text    G=(none)   M=System   ACBP=A9\r\n"
    " 0001:00000100 00000080 C=CODE     S=.text    G=(none)   M=C:\\src\\Main   ACBP=A9\r\n"
    " 0002:00000000 00000040 C=DATA     S=.data    G=DGROUP   M=System   ACBP=A9\r\n"
    " 0001:0000x000 00000040 C=CODE     S=.text    G=(none)   M=Broken   ACBP=A9\r\n"
    "\r\n"
    "  Address             Publics by Value\r\n"
    "\r\n"
    " 0001:00000000       System.@Halt0\r\n"
    " 0001:00000100       Main\r\n"
    " 0001:00000120       @Main@TForm1@FormCreate$qqrp14System@TObject\r\n"
    " 0001:00000130       @$xp$6TForm1\r\n"
    " 0001:00000140       Main.Helper(Integer)\r\n"
    " 0002:00000010       System.RandSeed\r\n"
    "\r\n"
    "Line numbers for Main(Main.pas) segment .text\r\n"
    "\r\n"
    "    10 0001:00000100    11 0001:00000110    12 0001:00000108    13 0001:00000130\r\n"
    "    14 0001:00000150    15 0001:0000016z\r\n"
    "\r\n"
    "Program entry point at 0001:00000100\r\n";

// Little-endian builder of the linker's binary debug information.
class TTdsBuilder final {
public:
    std::vector<std::uint8_t> Bytes;
    void U16(std::uint16_t V) { Bytes.insert(Bytes.end(), {std::uint8_t(V), std::uint8_t(V >> 8)}); }
    void I32(std::int32_t V) {
        for (int I = 0; I < 4; ++I)
            Bytes.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(V) >> (8 * I)));
    }
    void Pad(std::size_t To) { Bytes.resize(To, 0); }
    void SetI32(std::size_t At, std::int32_t V) {
        for (int I = 0; I < 4; ++I)
            Bytes[At + I] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(V) >> (8 * I));
    }
    std::size_t Size() const { return Bytes.size(); }
};

struct TTdsSubsection {
    std::uint16_t Type;
    std::size_t Offset;
    std::size_t Size;
};

inline std::vector<std::uint8_t> TdsFixture() {
    TTdsBuilder B;
    for (const char C : std::string("FB09"))
        B.Bytes.push_back(static_cast<std::uint8_t>(C));
    B.I32(0); // directory offset, set below
    std::vector<TTdsSubsection> Subs;

    std::size_t Start = B.Size(); // names, numbered from 1
    B.I32(3);
    for (const std::string Name : {"C:\\src\\Unit1.pas", "TForm1.Click", "GlobalVar"}) {
        B.Bytes.push_back(static_cast<std::uint8_t>(Name.size()));
        B.Bytes.insert(B.Bytes.end(), Name.begin(), Name.end());
        B.Bytes.push_back(0);
    }
    Subs.push_back({0x130, Start, B.Size() - Start});

    Start = B.Size(); // module Unit1: one code and one data segment, and one empty one that is skipped
    B.Pad(Start + 4);
    B.U16(3);
    B.U16(0);
    B.I32(1);
    B.Pad(Start + 28);
    for (const auto& [Segment, Offset, Length] : {std::tuple{1, 0x200, 0x100}, {2, 0x10, 0x20}, {1, 0x400, 0}}) {
        B.U16(0);
        B.U16(static_cast<std::uint16_t>(Segment));
        B.I32(Offset);
        B.I32(Length);
    }
    Subs.push_back({0x120, Start, B.Size() - Start});

    Start = B.Size(); // global symbols: a code public (0x205) and a data public (0x201)
    B.Pad(Start + 32);
    std::size_t Record = B.Size();
    B.U16(42);
    B.U16(0x205);
    B.Pad(Record + 44);
    B.SetI32(Record + 28, 0x210);
    B.SetI32(Record + 40, 2);
    Record = B.Size();
    B.U16(18);
    B.U16(0x201);
    B.Pad(Record + 20);
    B.SetI32(Record + 4, 0x18);
    B.SetI32(Record + 16, 3);
    Subs.push_back({0x129, Start, B.Size() - Start});

    Start = B.Size(); // module symbols, ignored because global symbols exist
    B.Pad(Start + 4);
    Record = B.Size();
    B.U16(42);
    B.U16(0x205);
    B.Pad(Record + 44);
    B.SetI32(Record + 28, 0x220);
    B.SetI32(Record + 40, 3);
    Subs.push_back({0x125, Start, B.Size() - Start});

    Start = B.Size(); // source module: one file, one range, two lines
    B.U16(1);
    B.U16(0);
    B.I32(8);
    B.U16(1);
    B.Pad(Start + 8 + 6);
    B.I32(18);
    B.U16(0);
    B.U16(2);
    B.I32(0x200);
    B.I32(0x240);
    B.U16(7);
    B.U16(9);
    Subs.push_back({0x127, Start, B.Size() - Start});

    B.SetI32(4, static_cast<std::int32_t>(B.Size()));
    B.U16(16);
    B.U16(12);
    B.I32(static_cast<std::int32_t>(Subs.size()));
    B.I32(0);
    B.Pad(B.Size() + 4);
    for (const TTdsSubsection& S : Subs) {
        B.U16(S.Type);
        B.U16(0);
        B.I32(static_cast<std::int32_t>(S.Offset));
        B.I32(static_cast<std::int32_t>(S.Size));
    }
    return B.Bytes;
}
