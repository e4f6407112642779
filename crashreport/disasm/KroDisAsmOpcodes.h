#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The opcode tables of the decoder. Operands are written in the processor manuals' notation: an addressing method
// (where the operand comes from) and a size code, in Intel order, destination first.

enum class TKroMethod : std::uint8_t {
    None,
    E,     // ModRM r/m: general register or memory
    G,     // ModRM reg: general register
    M,     // ModRM r/m: memory only
    R,     // ModRM r/m: general register only
    Imm,   // immediate
    ImmS,  // 8-bit immediate, sign-extended to the operand size
    Imm2,  // a second immediate (enter's nesting level, extrq's index)
    J,     // relative branch target
    O,     // memory offset of the operand size's width
    A,     // far pointer immediate (selector and offset)
    S,     // ModRM reg: segment register
    C,     // ModRM reg: control register
    D,     // ModRM reg: debug register
    TestR, // ModRM reg: test register (32-bit code)
    P,     // ModRM reg: MMX register
    Q,     // ModRM r/m: MMX register or memory
    N,     // ModRM r/m: MMX register only
    V,     // ModRM reg: vector register
    W,     // ModRM r/m: vector register or memory
    U,     // ModRM r/m: vector register only
    H,     // VEX.vvvv: vector register (left out of the legacy form)
    L,     // vector register in the upper four bits of an 8-bit immediate
    Is4,   // the low four bits of that immediate, as a number
    VsibX, // memory with a vector index as wide as the vector length (gathers and scatters)
    VsibH, // memory with a vector index half as wide
    B,     // VEX.vvvv: general register
    K,     // ModRM reg: mask register
    KR,    // ModRM r/m: mask register only
    KM,    // ModRM r/m: mask register or memory
    KH,    // VEX.vvvv: mask register
    BndR,  // ModRM reg: bound register
    BndE,  // ModRM r/m: bound register or memory
    T,     // ModRM reg: tile register
    TR,    // ModRM r/m: tile register
    TH,    // VEX.vvvv: tile register
    Z,     // general register in the opcode's low three bits (extended by REX.B)
    Reg,   // fixed general register (number in Reg)
    Seg,   // fixed segment register (number in Reg)
    Fpu,   // FPU stack register st(i) from ModRM r/m
    St0,   // st(0)
    One,   // the constant 1
    Xmm0,  // implicit xmm0
};

enum class TKroSize : std::uint8_t {
    NoSize,
    b,  // byte
    w,  // word
    d,  // dword
    q,  // qword
    v,  // word, dword or qword by the operand size
    z,  // word or dword (dword for a 64-bit operand size)
    y,  // dword, or qword with REX.W/VEX.W in 64-bit code
    p,  // far pointer: 2 + the operand size
    s,  // descriptor table register: 6 or 10 bytes
    a,  // bound's pair of the operand size
    t,  // ten bytes (FPU)
    dq, // 16 bytes
    qq, // 32 bytes
    x,  // the vector length (16, 32 or 64 bytes)
    hx, // half the vector length
    qx, // a quarter of the vector length
    ex, // an eighth of the vector length
    e,  // FPU environment
    st, // FPU state
    fx, // fxsave area
    u,  // unsized (lea, the nop hints, prefetches)
    n,  // the native width of the code (control and debug register moves)
    ws, // a scalar float by W: dword, or qword with VEX.W/EVEX.W (the fused multiply-adds)
    xq, // the vector length, but a qword at 128 bits (movddup)
    as, // the address size (the register that holds a destination address: movdir64b)
};

struct TKroArg {
    TKroMethod Method = TKroMethod::None;
    TKroSize Size = TKroSize::NoSize;
    std::uint8_t Reg = 0;

    constexpr bool Present() const { return Method != TKroMethod::None; }
};

enum class TKroEntryKind : std::uint8_t {
    Invalid,
    Instruction,
    Group,    // Sub: 8 memory forms then 8 register forms, by the ModRM reg field
    Prefix,   // Sub: no prefix, 66, F3, F2 (the mandatory prefix)
    Mod,      // Sub: memory form, register form
    Rm,       // Sub: 8 forms by the ModRM r/m field
    Width,    // Sub: W clear, W set (REX.W, VEX.W)
    Mode,     // Sub: 32-bit code, 64-bit code
    OpSize,   // Sub: 16-, 32- and 64-bit operand size
    VexL,     // Sub: VEX.L clear, VEX.L set
    Fallback, // in a Prefix table: the prefix is not mandatory here; use the no-prefix form
    AsVex,    // in an EVEX map: the instruction is the VEX one of the same map, opcode and prefix
};

// Flags of an instruction entry.
enum TKroFlag : std::uint64_t {
    KfD64 = 1u << 0,        // 64-bit operand size by default in 64-bit code (pushes, pops, near branches)
    KfI64 = 1u << 1,        // invalid in 64-bit code
    KfO64 = 1u << 2,        // valid only in 64-bit code
    KfNoWrite = 1u << 3,    // the first operand is only read (compares, tests, pushes, stores to memory)
    KfWritesBoth = 1u << 4, // the first two operands are written (exchanges)
    KfCall = 1u << 5,
    KfJump = 1u << 6,
    KfRet = 1u << 7,
    KfLoop = 1u << 8,              // loop and jcxz: a relative target that cannot be widened
    KfString = 1u << 9,            // F2/F3 are repeat prefixes
    KfFar = 1u << 10,              // far call or jump
    KfNoVex = 1u << 11,            // a legacy form without a VEX twin
    KfVexOnly = 1u << 12,          // only with a VEX or EVEX prefix
    KfEvexOnly = 1u << 13,         // only with an EVEX prefix
    KfCond = 1u << 14,             // the name holds %cc
    KfBnd = 1u << 15,              // F2 is the bound prefix (branches)
    KfNoOpSize = 1u << 16,         // the operand-size prefix does not change this instruction (it is printed)
    KfImm8 = 1u << 17,             // an 8-bit immediate follows (3DNow!, and VEX forms of legacy entries)
    KfNop = 1u << 18,              // a hint that does nothing (multi-byte nop, prefetch, endbr)
    KfMovImm = 1u << 19,           // loads its register from its immediate (register slots)
    KfMovReg = 1u << 20,           // copies its source register (register slots)
    KfLea = 1u << 21,              // loads the address of its memory operand (register slots)
    KfMovMem = 1u << 22,           // loads its register from its memory operand (register slots)
    KfCompare = 1u << 23,          // compares its first operand with its second (switch detection)
    KfAdd = 1u << 24,              // adds its second operand to its first (switch detection)
    KfSignExtend = 1u << 25,       // movsxd, movsx, cdqe: keeps a loaded table entry (switch detection)
    KfModIgnored = 1u << 26,       // the ModRM mod field is ignored: always the register form (control registers)
    KfAdSizeName = 1u << 27,       // the name's variants follow the address size (jcxz)
    KfPredicate = 1u << 28,        // the immediate names the comparison: "%p", "%i", "%x" or "%c" in the name
    Kf3DNow = 1u << 29,            // the 3DNow! escape: the name comes from the suffix byte
    KfZeroExtend = 1u << 30,       // movzx: widens a bounded byte or word index (switch detection)
    KfEr = 1ull << 31,             // EVEX.b on registers selects a rounding mode ("{rn-sae}")
    KfSae = 1ull << 32,            // EVEX.b on registers suppresses exceptions ("{sae}")
    KfTuple1 = 1ull << 33,         // EVEX: a compressed displacement counts in elements (4 or 8 bytes by EVEX.W)
    KfTuple1Small = 1ull << 34,    // the same for elements of 1 or 2 bytes
    KfOptionalPrefix = 1ull << 35, // chosen by a prefix that still changes the operand size (66 nop)
    KfHalfElements = 1ull << 36,   // EVEX: broadcasts 2-byte elements (half-precision floats, words)
};

// Registers an instruction changes without naming them (bit n = general register n).
enum TKroClobber : std::uint16_t {
    KcAX = 1u << 0,
    KcCX = 1u << 1,
    KcDX = 1u << 2,
    KcBX = 1u << 3,
    KcSP = 1u << 4,
    KcBP = 1u << 5,
    KcSI = 1u << 6,
    KcDI = 1u << 7,
    KcR11 = 1u << 11,
};

struct TKroOpcodeEntry {
    TKroEntryKind Kind = TKroEntryKind::Invalid;
    const char* Name = nullptr;
    std::array<TKroArg, 5> Args{};
    std::uint64_t Flags = 0;
    std::uint16_t Clobbers = 0;
    const TKroOpcodeEntry* Sub = nullptr;

    constexpr TKroOpcodeEntry With(std::uint64_t MoreFlags) const {
        TKroOpcodeEntry Copy = *this;
        Copy.Flags |= MoreFlags;
        return Copy;
    }
    constexpr TKroOpcodeEntry Clobbering(std::uint16_t Registers) const {
        TKroOpcodeEntry Copy = *this;
        Copy.Clobbers |= Registers;
        return Copy;
    }
};

// An opcode of the 0F maps in its four forms by mandatory prefix: none, 66, F3, F2. A form of kind Fallback means
// that the prefix is not mandatory for this opcode.
struct TKroPrefixedEntry {
    std::array<TKroOpcodeEntry, 4> Forms{};
};

using TKroOpcodeMap = std::array<TKroOpcodeEntry, 256>;
using TKroPrefixedMap = std::array<TKroPrefixedEntry, 256>;

// The maps. The legacy maps hold every instruction without a VEX prefix; the VEX and EVEX maps hold the
// instructions that exist only there or are named differently there (the others are the legacy entry of the same
// map and mandatory prefix with a "v" in front). Map numbers: 1 = 0F, 2 = 0F 38, 3 = 0F 3A.
const TKroOpcodeMap& KroOneByteMap();
const TKroPrefixedMap& KroMap0F();
const TKroPrefixedMap& KroMap0F38();
const TKroPrefixedMap& KroMap0F3A();
const TKroPrefixedMap& KroVexMap(int Map);
const TKroPrefixedMap& KroEvexMap(int Map);
const TKroPrefixedMap& KroXopMap(int Map); // 8, 9 or 10

// The FPU escapes D8-DF: memory forms by reg (8 per opcode), register forms by the ModRM byte's low six bits.
const TKroOpcodeEntry& KroFpuMemory(int Escape, int Reg);
const TKroOpcodeEntry& KroFpuRegister(int Escape, int ModRmLow6);

// The 3DNow! instruction named by the suffix byte, or nullptr.
const char* Kro3DNowName(std::uint8_t Suffix);

// Helpers for writing table entries.
namespace KroOp {

constexpr TKroOpcodeEntry Bad{};

// An instruction; absent operands may stand anywhere in the list.
constexpr TKroOpcodeEntry I(const char* Name, TKroArg A = {}, TKroArg B = {}, TKroArg C = {}, TKroArg D = {},
                            TKroArg E = {}) {
    TKroOpcodeEntry Entry{TKroEntryKind::Instruction, Name, {}, 0, 0, nullptr};
    std::size_t Count = 0;
    for (const TKroArg& Arg : {A, B, C, D, E})
        if (Arg.Present())
            Entry.Args[Count++] = Arg;
    return Entry;
}
constexpr TKroOpcodeEntry Sub(TKroEntryKind Kind, const TKroOpcodeEntry* Table) {
    return {Kind, nullptr, {}, 0, 0, Table};
}
constexpr TKroOpcodeEntry Grp(const TKroOpcodeEntry* Table) {
    return Sub(TKroEntryKind::Group, Table);
}
constexpr TKroOpcodeEntry Pfx(const TKroOpcodeEntry* Table) {
    return Sub(TKroEntryKind::Prefix, Table);
}
constexpr TKroOpcodeEntry ModSel(const TKroOpcodeEntry* Table) {
    return Sub(TKroEntryKind::Mod, Table);
}
constexpr TKroOpcodeEntry RmSel(const TKroOpcodeEntry* Table) {
    return Sub(TKroEntryKind::Rm, Table);
}
constexpr TKroOpcodeEntry WSel(const TKroOpcodeEntry* Table) {
    return Sub(TKroEntryKind::Width, Table);
}
constexpr TKroOpcodeEntry ModeSel(const TKroOpcodeEntry* Table) {
    return Sub(TKroEntryKind::Mode, Table);
}
constexpr TKroOpcodeEntry SizeSel(const TKroOpcodeEntry* Table) {
    return Sub(TKroEntryKind::OpSize, Table);
}
constexpr TKroOpcodeEntry LSel(const TKroOpcodeEntry* Table) {
    return Sub(TKroEntryKind::VexL, Table);
}
constexpr TKroOpcodeEntry Same{TKroEntryKind::Fallback, nullptr, {}, 0, 0, nullptr};
constexpr TKroOpcodeEntry AsVex{TKroEntryKind::AsVex, nullptr, {}, 0, 0, nullptr};

// Forms by mandatory prefix.
constexpr TKroPrefixedEntry All(const TKroOpcodeEntry& Entry) {
    return {{Entry, Same, Same, Same}};
}
constexpr TKroPrefixedEntry Pf(const TKroOpcodeEntry& None, const TKroOpcodeEntry& P66 = Bad,
                               const TKroOpcodeEntry& F3 = Bad, const TKroOpcodeEntry& F2 = Bad) {
    return {{None, P66, F3, F2}};
}

// A sparse map written as a list of (opcode, forms) pairs.
struct TSparse {
    std::uint8_t Opcode;
    TKroPrefixedEntry Entry;
};

template <std::size_t Count> constexpr TKroPrefixedMap Build(const TSparse (&List)[Count]) {
    TKroPrefixedMap Map{};
    for (const TSparse& Item : List)
        Map[Item.Opcode] = Item.Entry;
    return Map;
}

using enum TKroMethod;
using enum TKroSize;

// Operand shorthands, in the manuals' notation.
constexpr TKroArg Eb{E, b}, Ew{E, w}, Ed{E, d}, Eq{E, q}, Ev{E, v}, Ey{E, y}, Ez{E, z};
constexpr TKroArg Gb{G, b}, Gw{G, w}, Gd{G, d}, Gq{G, q}, Gv{G, v}, Gy{G, y}, Gz{G, z};
constexpr TKroArg Mb{M, b}, Mw{M, w}, Md{M, d}, Mq{M, q}, Mv{M, v}, My{M, y}, Mu{M, u}, Mp{M, p}, Ms{M, s}, Ma{M, a},
    Mt{M, t}, Mdq{M, dq}, Mqq{M, qq}, Mx{M, x}, Me{M, e}, Mst{M, st}, Mfx{M, fx};
constexpr TKroArg Rd{R, d}, Rq{R, q}, Rv{R, v}, Ry{R, y}, Rn{R, n}, Rw{R, w};
constexpr TKroArg Ib{Imm, b}, Iw{Imm, w}, Id{Imm, d}, Iz{Imm, z}, Iv{Imm, v}, Ibs{ImmS, b}, Ib2{Imm2, b};
constexpr TKroArg Jb{J, b}, Jz{J, z};
constexpr TKroArg Ob{O, b}, Ov{O, v};
constexpr TKroArg Ap{A, p};
constexpr TKroArg Sw{S, w}, Cn{C, n}, Dn{D, n}, Td{TestR, d};
constexpr TKroArg Pq{P, q}, Pd{P, d}, Qq{Q, q}, Qd{Q, d}, Nq{N, q};
constexpr TKroArg Vx{V, x}, Vdq{V, dq}, Vqq{V, qq}, Vq{V, q}, Vd{V, d}, Vss{V, d}, Vsd{V, q}, Vhx{V, hx}, Vqx{V, qx};
constexpr TKroArg Wsh{W, w}, Wx{W, x}, Wdq{W, dq}, Wqq{W, qq}, Wq{W, q}, Wd{W, d}, Ww{W, w}, Wb{W, b}, Wss{W, d},
    Wsd{W, q}, Whx{W, hx}, Wqx{W, qx}, Wex{W, ex}, Wws{W, ws}, Wxq{W, xq};
constexpr TKroArg Ux{U, x}, Udq{U, dq}, Uq{U, q};
constexpr TKroArg Hx{H, x}, Hdq{H, dq}, Hqq{H, qq}, Hq{H, dq}, Hss{H, d}, Hsd{H, q}, Hhx{H, hx};
constexpr TKroArg Lx{L, x}, Imm4{Is4, b};
constexpr TKroArg VsibXd{VsibX, d}, VsibXq{VsibX, q}, VsibHq{VsibH, q};
constexpr TKroArg By{B, y};
constexpr TKroArg Kb{K, b}, Kw{K, w}, Kd{K, d}, Kq{K, q}, KRb{KR, b}, KRw{KR, w}, KRd{KR, d}, KRq{KR, q}, KMb{KM, b},
    KMw{KM, w}, KMd{KM, d}, KMq{KM, q}, KHx{KH, q};
constexpr TKroArg BndReg{BndR, q}, BndRm{BndE, q};
constexpr TKroArg Zb{Z, b}, Zv{Z, v}, Zy{Z, y};
constexpr TKroArg AL{Reg, b, 0}, CL{Reg, b, 1}, DX{Reg, w, 2}, AX{Reg, w, 0}, rAX{Reg, v, 0}, eAX{Reg, z, 0},
    EAX{Reg, d, 0};
constexpr TKroArg ES{Seg, w, 0}, CS{Seg, w, 1}, SS{Seg, w, 2}, DS{Seg, w, 3}, FS{Seg, w, 4}, GS{Seg, w, 5};
constexpr TKroArg STi{Fpu, t}, ST{St0, t};
constexpr TKroArg ONE{One, b};
constexpr TKroArg XMM0{Xmm0, dq};

} // namespace KroOp
