// The one-byte opcode map with its groups, and the FPU escapes.

#include "KroDisAsmOpcodes.h"

namespace {

using namespace KroOp;

constexpr std::uint32_t Cmp = KfNoWrite | KfCompare;
constexpr std::uint32_t Push = KfD64 | KfNoWrite;
constexpr std::uint32_t Branch = KfD64 | KfNoWrite | KfBnd;

// Eight forms of a group, the same for memory and register operands.
constexpr std::array<TKroOpcodeEntry, 16> Both(const std::array<TKroOpcodeEntry, 8>& Forms) {
    std::array<TKroOpcodeEntry, 16> Group{};
    for (std::size_t I = 0; I < 8; ++I)
        Group[I] = Group[I + 8] = Forms[I];
    return Group;
}

constexpr std::array<TKroOpcodeEntry, 8> Arithmetic(TKroArg A, TKroArg B) {
    return {I("add", A, B), I("or", A, B),  I("adc", A, B), I("sbb", A, B),
            I("and", A, B), I("sub", A, B), I("xor", A, B), I("cmp", A, B).With(Cmp)};
}

constexpr auto Group1Eb = Both(Arithmetic(Eb, Ib));
constexpr auto Group1Ev = Both(Arithmetic(Ev, Iz));
constexpr auto Group1Ev8 = Both(Arithmetic(Ev, Ibs));
constexpr auto Group1EbI64 =
    Both({I("add", Eb, Ib).With(KfI64), I("or", Eb, Ib).With(KfI64), I("adc", Eb, Ib).With(KfI64),
          I("sbb", Eb, Ib).With(KfI64), I("and", Eb, Ib).With(KfI64), I("sub", Eb, Ib).With(KfI64),
          I("xor", Eb, Ib).With(KfI64), I("cmp", Eb, Ib).With(KfI64 | Cmp)});

constexpr std::array<TKroOpcodeEntry, 8> Shifts(TKroArg A, TKroArg B) {
    return {I("rol", A, B), I("ror", A, B), I("rcl", A, B), I("rcr", A, B),
            I("shl", A, B), I("shr", A, B), I("shl", A, B), I("sar", A, B)};
}

constexpr auto Group2EbIb = Both(Shifts(Eb, Ib));
constexpr auto Group2EvIb = Both(Shifts(Ev, Ib));
constexpr auto Group2Eb1 = Both(Shifts(Eb, ONE));
constexpr auto Group2Ev1 = Both(Shifts(Ev, ONE));
constexpr auto Group2EbCL = Both(Shifts(Eb, CL));
constexpr auto Group2EvCL = Both(Shifts(Ev, CL));

constexpr auto Group3Eb =
    Both({I("test", Eb, Ib).With(Cmp), I("test", Eb, Ib).With(Cmp), I("not", Eb), I("neg", Eb),
          I("mul", Eb).With(KfNoWrite).Clobbering(KcAX), I("imul", Eb).With(KfNoWrite).Clobbering(KcAX),
          I("div", Eb).With(KfNoWrite).Clobbering(KcAX), I("idiv", Eb).With(KfNoWrite).Clobbering(KcAX)});
constexpr auto Group3Ev =
    Both({I("test", Ev, Iz).With(Cmp), I("test", Ev, Iz).With(Cmp), I("not", Ev), I("neg", Ev),
          I("mul", Ev).With(KfNoWrite).Clobbering(KcAX | KcDX), I("imul", Ev).With(KfNoWrite).Clobbering(KcAX | KcDX),
          I("div", Ev).With(KfNoWrite).Clobbering(KcAX | KcDX), I("idiv", Ev).With(KfNoWrite).Clobbering(KcAX | KcDX)});

constexpr auto Group4 = Both({I("inc", Eb), I("dec", Eb), Bad, Bad, Bad, Bad, Bad, Bad});

constexpr std::array<TKroOpcodeEntry, 16> Group5 = {
    I("inc", Ev), I("dec", Ev), I("call", Ev).With(Branch | KfCall), I("callf", Mp).With(KfNoWrite | KfCall | KfFar),
    I("jmp", Ev).With(Branch | KfJump), I("jmpf", Mp).With(KfNoWrite | KfJump | KfFar), I("push", Ev).With(Push), Bad,
    // register forms
    I("inc", Ev), I("dec", Ev), I("call", Ev).With(Branch | KfCall), Bad, I("jmp", Ev).With(Branch | KfJump), Bad,
    I("push", Ev).With(Push), Bad};

constexpr auto Group1a = Both({I("pop", Ev).With(KfD64), Bad, Bad, Bad, Bad, Bad, Bad, Bad});

constexpr std::array<TKroOpcodeEntry, 8> XAbort = {I("xabort", Ib).Clobbering(KcAX), Bad, Bad, Bad, Bad, Bad, Bad, Bad};
constexpr std::array<TKroOpcodeEntry, 8> XBegin = {
    I("xbegin", Jz).With(KfJump | KfNoWrite).Clobbering(KcAX), Bad, Bad, Bad, Bad, Bad, Bad, Bad};
constexpr std::array<TKroOpcodeEntry, 16> Group11Eb = {
    I("mov", Eb, Ib), Bad, Bad, Bad, Bad, Bad, Bad, Bad,
    I("mov", Eb, Ib), Bad, Bad, Bad, Bad, Bad, Bad, RmSel(XAbort.data())};
constexpr std::array<TKroOpcodeEntry, 16> Group11Ev = {I("mov", Ev, Iz),
                                                       Bad,
                                                       Bad,
                                                       Bad,
                                                       Bad,
                                                       Bad,
                                                       Bad,
                                                       Bad,
                                                       I("mov", Ev, Iz).With(KfMovImm),
                                                       Bad,
                                                       Bad,
                                                       Bad,
                                                       Bad,
                                                       Bad,
                                                       Bad,
                                                       RmSel(XBegin.data())};

constexpr std::array<TKroOpcodeEntry, 2> Op63 = {I("arpl", Ew, Gw).With(KfI64), I("movsxd", Gv, Ed).With(KfSignExtend)};
constexpr std::array<TKroOpcodeEntry, 2> Op62 = {I("bound", Gv, Ma).With(KfNoWrite), Bad};

constexpr std::array<TKroOpcodeEntry, 3> Op98 = {I("cbw").Clobbering(KcAX), I("cwde").Clobbering(KcAX),
                                                 I("cdqe").With(KfSignExtend).Clobbering(KcAX)};
constexpr std::array<TKroOpcodeEntry, 3> Op99 = {I("cwd").Clobbering(KcDX), I("cdq").Clobbering(KcDX),
                                                 I("cqo").Clobbering(KcDX)};
constexpr std::array<TKroOpcodeEntry, 3> OpPusha = {I("pushaw").With(KfI64), I("pushad").With(KfI64),
                                                    I("pushad").With(KfI64)};
constexpr std::array<TKroOpcodeEntry, 3> OpPopa = {I("popaw").With(KfI64).Clobbering(0xFF),
                                                   I("popad").With(KfI64).Clobbering(0xFF),
                                                   I("popad").With(KfI64).Clobbering(0xFF)};
constexpr std::array<TKroOpcodeEntry, 3> OpPushf = {I("pushfw").With(KfD64), I("pushfd").With(KfD64),
                                                    I("pushfq").With(KfD64)};
constexpr std::array<TKroOpcodeEntry, 3> OpPopf = {I("popfw").With(KfD64), I("popfd").With(KfD64),
                                                   I("popfq").With(KfD64)};
constexpr std::array<TKroOpcodeEntry, 3> OpIret = {I("iretw").With(KfRet), I("iretd").With(KfRet),
                                                   I("iretq").With(KfRet)};

constexpr std::uint16_t StringMove = KcSI | KcDI | KcCX;
constexpr std::array<TKroOpcodeEntry, 3> OpMovs = {I("movsw").With(KfString).Clobbering(StringMove),
                                                   I("movsd").With(KfString).Clobbering(StringMove),
                                                   I("movsq").With(KfString).Clobbering(StringMove)};
constexpr std::array<TKroOpcodeEntry, 3> OpCmps = {I("cmpsw").With(KfString).Clobbering(StringMove),
                                                   I("cmpsd").With(KfString).Clobbering(StringMove),
                                                   I("cmpsq").With(KfString).Clobbering(StringMove)};
constexpr std::array<TKroOpcodeEntry, 3> OpStos = {I("stosw").With(KfString).Clobbering(KcDI | KcCX),
                                                   I("stosd").With(KfString).Clobbering(KcDI | KcCX),
                                                   I("stosq").With(KfString).Clobbering(KcDI | KcCX)};
constexpr std::array<TKroOpcodeEntry, 3> OpLods = {I("lodsw").With(KfString).Clobbering(KcAX | KcSI | KcCX),
                                                   I("lodsd").With(KfString).Clobbering(KcAX | KcSI | KcCX),
                                                   I("lodsq").With(KfString).Clobbering(KcAX | KcSI | KcCX)};
constexpr std::array<TKroOpcodeEntry, 3> OpScas = {I("scasw").With(KfString).Clobbering(KcDI | KcCX),
                                                   I("scasd").With(KfString).Clobbering(KcDI | KcCX),
                                                   I("scasq").With(KfString).Clobbering(KcDI | KcCX)};
constexpr std::array<TKroOpcodeEntry, 3> OpIns = {I("insw").With(KfString).Clobbering(KcDI | KcCX),
                                                  I("insd").With(KfString).Clobbering(KcDI | KcCX),
                                                  I("insd").With(KfString).Clobbering(KcDI | KcCX)};
constexpr std::array<TKroOpcodeEntry, 3> OpOuts = {I("outsw").With(KfString).Clobbering(KcSI | KcCX),
                                                   I("outsd").With(KfString).Clobbering(KcSI | KcCX),
                                                   I("outsd").With(KfString).Clobbering(KcSI | KcCX)};

// 90: nop, but xchg ax, ax with the operand-size prefix and pause with F3 (REX.B makes it xchg r8, rax: the
// decoder sees to that).
constexpr std::array<TKroOpcodeEntry, 2> Xchg90 = {
    I("xchg", AX, AX).With(KfWritesBoth), I("xchg", TKroArg{Reg, q, 0}, TKroArg{Reg, q, 0}).With(KfWritesBoth)};
constexpr std::array<TKroOpcodeEntry, 4> Op90 = {I("nop").With(KfNop), WSel(Xchg90.data()), I("pause"), Same};

// The segment register moves: a word in memory, a register at the operand size.
constexpr std::array<TKroOpcodeEntry, 2> MovFromSeg = {I("mov", Mw, Sw), I("mov", Rv, Sw)};
constexpr std::array<TKroOpcodeEntry, 2> MovToSeg = {I("mov", Sw, Mw), I("mov", Sw, Rv)};

constexpr std::uint32_t Jcc = KfCond | KfJump | KfD64 | KfNoWrite | KfBnd;

// clang-format off
constexpr TKroOpcodeMap OneByte = {{
    /* 00 */ I("add", Eb, Gb), I("add", Ev, Gv), I("add", Gb, Eb), I("add", Gv, Ev),
    /* 04 */ I("add", AL, Ib), I("add", rAX, Iz), I("pushw/push/push", ES).With(KfI64 | Push), I("popw/pop/pop", ES).With(KfI64),
    /* 08 */ I("or", Eb, Gb), I("or", Ev, Gv), I("or", Gb, Eb), I("or", Gv, Ev),
    /* 0C */ I("or", AL, Ib), I("or", rAX, Iz), I("pushw/push/push", CS).With(KfI64 | Push), Bad,
    /* 10 */ I("adc", Eb, Gb), I("adc", Ev, Gv), I("adc", Gb, Eb), I("adc", Gv, Ev),
    /* 14 */ I("adc", AL, Ib), I("adc", rAX, Iz), I("pushw/push/push", SS).With(KfI64 | Push), I("popw/pop/pop", SS).With(KfI64),
    /* 18 */ I("sbb", Eb, Gb), I("sbb", Ev, Gv), I("sbb", Gb, Eb), I("sbb", Gv, Ev),
    /* 1C */ I("sbb", AL, Ib), I("sbb", rAX, Iz), I("pushw/push/push", DS).With(KfI64 | Push), I("popw/pop/pop", DS).With(KfI64),
    /* 20 */ I("and", Eb, Gb), I("and", Ev, Gv), I("and", Gb, Eb), I("and", Gv, Ev),
    /* 24 */ I("and", AL, Ib), I("and", rAX, Iz), Bad, I("daa").With(KfI64).Clobbering(KcAX),
    /* 28 */ I("sub", Eb, Gb), I("sub", Ev, Gv), I("sub", Gb, Eb), I("sub", Gv, Ev),
    /* 2C */ I("sub", AL, Ib), I("sub", rAX, Iz), Bad, I("das").With(KfI64).Clobbering(KcAX),
    /* 30 */ I("xor", Eb, Gb), I("xor", Ev, Gv), I("xor", Gb, Eb), I("xor", Gv, Ev),
    /* 34 */ I("xor", AL, Ib), I("xor", rAX, Iz), Bad, I("aaa").With(KfI64).Clobbering(KcAX),
    /* 38 */ I("cmp", Eb, Gb).With(Cmp), I("cmp", Ev, Gv).With(Cmp), I("cmp", Gb, Eb).With(Cmp),
    /* 3B */ I("cmp", Gv, Ev).With(Cmp),
    /* 3C */ I("cmp", AL, Ib).With(Cmp), I("cmp", rAX, Iz).With(Cmp), Bad, I("aas").With(KfI64).Clobbering(KcAX),
    /* 40 */ I("inc", Zv).With(KfI64), I("inc", Zv).With(KfI64), I("inc", Zv).With(KfI64), I("inc", Zv).With(KfI64),
    /* 44 */ I("inc", Zv).With(KfI64), I("inc", Zv).With(KfI64), I("inc", Zv).With(KfI64), I("inc", Zv).With(KfI64),
    /* 48 */ I("dec", Zv).With(KfI64), I("dec", Zv).With(KfI64), I("dec", Zv).With(KfI64), I("dec", Zv).With(KfI64),
    /* 4C */ I("dec", Zv).With(KfI64), I("dec", Zv).With(KfI64), I("dec", Zv).With(KfI64), I("dec", Zv).With(KfI64),
    /* 50 */ I("push", Zv).With(Push), I("push", Zv).With(Push), I("push", Zv).With(Push), I("push", Zv).With(Push),
    /* 54 */ I("push", Zv).With(Push), I("push", Zv).With(Push), I("push", Zv).With(Push), I("push", Zv).With(Push),
    /* 58 */ I("pop", Zv).With(KfD64), I("pop", Zv).With(KfD64), I("pop", Zv).With(KfD64), I("pop", Zv).With(KfD64),
    /* 5C */ I("pop", Zv).With(KfD64), I("pop", Zv).With(KfD64), I("pop", Zv).With(KfD64), I("pop", Zv).With(KfD64),
    /* 60 */ SizeSel(OpPusha.data()), SizeSel(OpPopa.data()), ModeSel(Op62.data()), ModeSel(Op63.data()),
    /* 64 */ Bad, Bad, Bad, Bad,
    /* 68 */ I("pushw/push/push", Iz).With(Push), I("imul", Gv, Ev, Iz), I("pushw/push/push", Ibs).With(Push),
    /* 6B */ I("imul", Gv, Ev, Ibs),
    /* 6C */ I("insb").With(KfString).Clobbering(KcDI | KcCX), SizeSel(OpIns.data()),
    /* 6E */ I("outsb").With(KfString).Clobbering(KcSI | KcCX), SizeSel(OpOuts.data()),
    /* 70 */ I("j%cc", Jb).With(Jcc), I("j%cc", Jb).With(Jcc), I("j%cc", Jb).With(Jcc), I("j%cc", Jb).With(Jcc),
    /* 74 */ I("j%cc", Jb).With(Jcc), I("j%cc", Jb).With(Jcc), I("j%cc", Jb).With(Jcc), I("j%cc", Jb).With(Jcc),
    /* 78 */ I("j%cc", Jb).With(Jcc), I("j%cc", Jb).With(Jcc), I("j%cc", Jb).With(Jcc), I("j%cc", Jb).With(Jcc),
    /* 7C */ I("j%cc", Jb).With(Jcc), I("j%cc", Jb).With(Jcc), I("j%cc", Jb).With(Jcc), I("j%cc", Jb).With(Jcc),
    /* 80 */ Grp(Group1Eb.data()), Grp(Group1Ev.data()), Grp(Group1EbI64.data()), Grp(Group1Ev8.data()),
    /* 84 */ I("test", Eb, Gb).With(Cmp), I("test", Ev, Gv).With(Cmp), I("xchg", Eb, Gb).With(KfWritesBoth),
    /* 87 */ I("xchg", Ev, Gv).With(KfWritesBoth),
    /* 88 */ I("mov", Eb, Gb), I("mov", Ev, Gv).With(KfMovReg), I("mov", Gb, Eb),
             I("mov", Gv, Ev).With(KfMovReg | KfMovMem),
    /* 8C */ ModSel(MovFromSeg.data()), I("lea", Gv, Mu).With(KfLea), ModSel(MovToSeg.data()), Grp(Group1a.data()),
    /* 90 */ {TKroEntryKind::Prefix, nullptr, {}, 0, 0, Op90.data()}, I("xchg", Zv, rAX).With(KfWritesBoth),
    /* 92 */ I("xchg", Zv, rAX).With(KfWritesBoth), I("xchg", Zv, rAX).With(KfWritesBoth),
    /* 94 */ I("xchg", Zv, rAX).With(KfWritesBoth), I("xchg", Zv, rAX).With(KfWritesBoth),
    /* 96 */ I("xchg", Zv, rAX).With(KfWritesBoth), I("xchg", Zv, rAX).With(KfWritesBoth),
    /* 98 */ SizeSel(Op98.data()), SizeSel(Op99.data()), I("callf", Ap).With(KfI64 | KfCall | KfFar),
    /* 9B */ I("fwait"),
    /* 9C */ SizeSel(OpPushf.data()), SizeSel(OpPopf.data()), I("sahf"), I("lahf").Clobbering(KcAX),
    /* A0 */ I("mov", AL, Ob), I("mov", rAX, Ov), I("mov", Ob, AL), I("mov", Ov, rAX),
    /* A4 */ I("movsb").With(KfString).Clobbering(StringMove), SizeSel(OpMovs.data()),
    /* A6 */ I("cmpsb").With(KfString).Clobbering(StringMove), SizeSel(OpCmps.data()),
    /* A8 */ I("test", AL, Ib).With(Cmp), I("test", rAX, Iz).With(Cmp),
    /* AA */ I("stosb").With(KfString).Clobbering(KcDI | KcCX), SizeSel(OpStos.data()),
    /* AC */ I("lodsb").With(KfString).Clobbering(KcAX | KcSI | KcCX), SizeSel(OpLods.data()),
    /* AE */ I("scasb").With(KfString).Clobbering(KcDI | KcCX), SizeSel(OpScas.data()),
    /* B0 */ I("mov", Zb, Ib), I("mov", Zb, Ib), I("mov", Zb, Ib), I("mov", Zb, Ib),
    /* B4 */ I("mov", Zb, Ib), I("mov", Zb, Ib), I("mov", Zb, Ib), I("mov", Zb, Ib),
    /* B8 */ I("mov", Zv, Iv).With(KfMovImm), I("mov", Zv, Iv).With(KfMovImm), I("mov", Zv, Iv).With(KfMovImm),
    /* BB */ I("mov", Zv, Iv).With(KfMovImm),
    /* BC */ I("mov", Zv, Iv).With(KfMovImm), I("mov", Zv, Iv).With(KfMovImm), I("mov", Zv, Iv).With(KfMovImm),
    /* BF */ I("mov", Zv, Iv).With(KfMovImm),
    /* C0 */ Grp(Group2EbIb.data()), Grp(Group2EvIb.data()), I("ret", Iw).With(KfRet | KfD64 | KfBnd),
    /* C3 */ I("ret").With(KfRet | KfD64 | KfBnd),
    /* C4 */ I("les", Gz, Mp).With(KfI64), I("lds", Gz, Mp).With(KfI64), Grp(Group11Eb.data()),
    /* C7 */ Grp(Group11Ev.data()),
    /* C8 */ I("enterw/enter/enter", Iw, Ib2).With(KfD64).Clobbering(KcSP | KcBP),
    /* C9 */ I("leavew/leave/leave").With(KfD64).Clobbering(KcSP | KcBP),
    /* CA */ I("retfw/retf/retfq", Iw).With(KfRet), I("retfw/retf/retfq").With(KfRet),
    /* CC */ I("int3"), I("int", Ib), I("into").With(KfI64), SizeSel(OpIret.data()),
    /* D0 */ Grp(Group2Eb1.data()), Grp(Group2Ev1.data()), Grp(Group2EbCL.data()), Grp(Group2EvCL.data()),
    /* D4 */ I("aam", Ib).With(KfI64).Clobbering(KcAX), I("aad", Ib).With(KfI64).Clobbering(KcAX), Bad,
    /* D7 */ I("xlat").Clobbering(KcAX),
    /* D8 */ Bad, Bad, Bad, Bad, Bad, Bad, Bad, Bad, // the FPU escapes have their own tables
    /* E0 */ I("loopne", Jb).With(KfLoop | KfJump | KfNoWrite | KfD64).Clobbering(KcCX),
    /* E1 */ I("loope", Jb).With(KfLoop | KfJump | KfNoWrite | KfD64).Clobbering(KcCX),
    /* E2 */ I("loop", Jb).With(KfLoop | KfJump | KfNoWrite | KfD64).Clobbering(KcCX),
    /* E3 */ I("jcxz/jecxz/jrcxz", Jb).With(KfLoop | KfJump | KfNoWrite | KfD64 | KfAdSizeName),
    /* E4 */ I("in", AL, Ib), I("in", eAX, Ib), I("out", Ib, AL).With(KfNoWrite), I("out", Ib, eAX).With(KfNoWrite),
    /* E8 */ I("call", Jz).With(Branch | KfCall), I("jmp", Jz).With(Branch | KfJump),
    /* EA */ I("jmpf", Ap).With(KfI64 | KfJump | KfFar | KfNoWrite), I("jmp", Jb).With(Branch | KfJump),
    /* EC */ I("in", AL, DX), I("in", eAX, DX), I("out", DX, AL).With(KfNoWrite), I("out", DX, eAX).With(KfNoWrite),
    /* F0 */ Bad, I("int1"), Bad, Bad,
    /* F4 */ I("hlt"), I("cmc"), Grp(Group3Eb.data()), Grp(Group3Ev.data()),
    /* F8 */ I("clc"), I("stc"), I("cli"), I("sti"),
    /* FC */ I("cld"), I("std"), Grp(Group4.data()), Grp(Group5.data()),
}};
// clang-format on

// The FPU: memory forms by escape and reg.
constexpr std::array<TKroOpcodeEntry, 64> FpuMemory = {
    /* D8 */ I("fadd", Md),
    I("fmul", Md),
    I("fcom", Md),
    I("fcomp", Md),
    I("fsub", Md),
    I("fsubr", Md),
    I("fdiv", Md),
    I("fdivr", Md),
    /* D9 */ I("fld", Md),
    Bad,
    I("fst", Md),
    I("fstp", Md),
    I("fldenvw/fldenv/fldenv", Me),
    I("fldcw", Mw),
    I("fnstenvw/fnstenv/fnstenv", Me),
    I("fnstcw", Mw),
    /* DA */ I("fiadd", Md),
    I("fimul", Md),
    I("ficom", Md),
    I("ficomp", Md),
    I("fisub", Md),
    I("fisubr", Md),
    I("fidiv", Md),
    I("fidivr", Md),
    /* DB */ I("fild", Md),
    I("fisttp", Md),
    I("fist", Md),
    I("fistp", Md),
    Bad,
    I("fld", Mt),
    Bad,
    I("fstp", Mt),
    /* DC */ I("fadd", Mq),
    I("fmul", Mq),
    I("fcom", Mq),
    I("fcomp", Mq),
    I("fsub", Mq),
    I("fsubr", Mq),
    I("fdiv", Mq),
    I("fdivr", Mq),
    /* DD */ I("fld", Mq),
    I("fisttp", Mq),
    I("fst", Mq),
    I("fstp", Mq),
    I("frstorw/frstor/frstor", Mst),
    Bad,
    I("fnsavew/fnsave/fnsave", Mst),
    I("fnstsw", Mw),
    /* DE */ I("fiadd", Mw),
    I("fimul", Mw),
    I("ficom", Mw),
    I("ficomp", Mw),
    I("fisub", Mw),
    I("fisubr", Mw),
    I("fidiv", Mw),
    I("fidivr", Mw),
    /* DF */ I("fild", Mw),
    I("fisttp", Mw),
    I("fist", Mw),
    I("fistp", Mw),
    I("fbld", Mt),
    I("fild", Mq),
    I("fbstp", Mt),
    I("fistp", Mq),
};

// Register forms of one escape: eight rows of eight by reg, each row either one instruction for every st(i) or
// eight single forms.
struct TFpuRow {
    TKroOpcodeEntry Entry;                // the form of every r/m when Singles is empty
    std::array<const char*, 8> Singles{}; // named forms without operands, by r/m (nullptr: undefined)
    bool UseSingles = false;
};

constexpr TFpuRow Row(const TKroOpcodeEntry& Entry) {
    return {Entry, {}, false};
}
constexpr TFpuRow Singles(std::array<const char*, 8> Names) {
    return {Bad, Names, true};
}
constexpr TFpuRow None = Singles({});

constexpr std::array<std::array<TFpuRow, 8>, 8> FpuRows = {{
    /* D8 */ {Row(I("fadd", ST, STi)), Row(I("fmul", ST, STi)), Row(I("fcom", STi)), Row(I("fcomp", STi)),
              Row(I("fsub", ST, STi)), Row(I("fsubr", ST, STi)), Row(I("fdiv", ST, STi)), Row(I("fdivr", ST, STi))},
    /* D9 */
    {Row(I("fld", STi)), Row(I("fxch", STi)), Singles({"fnop"}), None,
     Singles({"fchs", "fabs", nullptr, nullptr, "ftst", "fxam"}),
     Singles({"fld1", "fldl2t", "fldl2e", "fldpi", "fldlg2", "fldln2", "fldz"}),
     Singles({"f2xm1", "fyl2x", "fptan", "fpatan", "fxtract", "fprem1", "fdecstp", "fincstp"}),
     Singles({"fprem", "fyl2xp1", "fsqrt", "fsincos", "frndint", "fscale", "fsin", "fcos"})},
    /* DA */
    {Row(I("fcmovb", ST, STi)), Row(I("fcmove", ST, STi)), Row(I("fcmovbe", ST, STi)), Row(I("fcmovu", ST, STi)), None,
     Singles({nullptr, "fucompp"}), None, None},
    /* DB */
    {Row(I("fcmovnb", ST, STi)), Row(I("fcmovne", ST, STi)), Row(I("fcmovnbe", ST, STi)), Row(I("fcmovnu", ST, STi)),
     Singles({"fneni", "fndisi", "fnclex", "fninit", "fnsetpm", "frstpm"}), Row(I("fucomi", ST, STi)),
     Row(I("fcomi", ST, STi)), None},
    /* DC */
    {Row(I("fadd", STi, ST)), Row(I("fmul", STi, ST)), None, None, Row(I("fsubr", STi, ST)), Row(I("fsub", STi, ST)),
     Row(I("fdivr", STi, ST)), Row(I("fdiv", STi, ST))},
    /* DD */
    {Row(I("ffree", STi)), None, Row(I("fst", STi)), Row(I("fstp", STi)), Row(I("fucom", STi)), Row(I("fucomp", STi)),
     None, None},
    /* DE */
    {Row(I("faddp", STi, ST)), Row(I("fmulp", STi, ST)), None, Singles({nullptr, "fcompp"}), Row(I("fsubrp", STi, ST)),
     Row(I("fsubp", STi, ST)), Row(I("fdivrp", STi, ST)), Row(I("fdivp", STi, ST))},
    /* DF */
    {Row(I("ffreep", STi)), None, None, None, Row(I("fnstsw", AX).Clobbering(KcAX)), Row(I("fucomip", ST, STi)),
     Row(I("fcomip", ST, STi)), None},
}};

// The single forms as entries, so that a lookup can hand out a reference.
constexpr std::array<TKroOpcodeEntry, 512> BuildFpuRegister() {
    std::array<TKroOpcodeEntry, 512> Table{};
    for (std::size_t Escape = 0; Escape < 8; ++Escape)
        for (std::size_t RegField = 0; RegField < 8; ++RegField)
            for (std::size_t RmField = 0; RmField < 8; ++RmField) {
                const TFpuRow& Line = FpuRows[Escape][RegField];
                TKroOpcodeEntry& Entry = Table[Escape * 64 + RegField * 8 + RmField];
                if (!Line.UseSingles)
                    Entry = Line.Entry;
                else if (Line.Singles[RmField] != nullptr)
                    Entry = I(Line.Singles[RmField]);
            }
    // fnstsw ax is the only form of DF /4 (r/m 0).
    for (std::size_t RmField = 1; RmField < 8; ++RmField)
        Table[7 * 64 + 4 * 8 + RmField] = Bad;
    return Table;
}

constexpr std::array<TKroOpcodeEntry, 512> FpuRegister = BuildFpuRegister();

} // namespace

const TKroOpcodeMap& KroOneByteMap() {
    return OneByte;
}

const TKroOpcodeEntry& KroFpuMemory(int Escape, int Reg) {
    return FpuMemory[static_cast<std::size_t>((Escape & 7) * 8 + (Reg & 7))];
}

const TKroOpcodeEntry& KroFpuRegister(int Escape, int ModRmLow6) {
    return FpuRegister[static_cast<std::size_t>((Escape & 7) * 64 + (ModRmLow6 & 63))];
}
