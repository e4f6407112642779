// The two-byte opcode map (0F xx) with its groups: system instructions, MMX, SSE to SSE4a.

#include "KroDisAsmOpcodes.h"

namespace {

using namespace KroOp;

constexpr std::uint32_t Cmp = KfNoWrite | KfCompare;
constexpr std::uint32_t NopHint = KfNop | KfNoWrite;

// Group 6 (0F 00): descriptor table registers and segment checks.
constexpr std::array<TKroOpcodeEntry, 16> Group6 = {I("sldt", Mw),
                                                    I("str", Mw),
                                                    I("lldt", Mw).With(KfNoWrite),
                                                    I("ltr", Mw).With(KfNoWrite),
                                                    I("verr", Mw).With(KfNoWrite),
                                                    I("verw", Mw).With(KfNoWrite),
                                                    Bad,
                                                    Bad,
                                                    I("sldt", Rv),
                                                    I("str", Rv),
                                                    I("lldt", Ew).With(KfNoWrite),
                                                    I("ltr", Ew).With(KfNoWrite),
                                                    I("verr", Ew).With(KfNoWrite),
                                                    I("verw", Ew).With(KfNoWrite),
                                                    Bad,
                                                    Bad};

// Group 7 (0F 01): the register forms are whole instructions named by the ModRM byte.
constexpr std::array<TKroOpcodeEntry, 8> Group7Reg0 = {I("enclv"),  I("vmcall"),  I("vmlaunch"), I("vmresume"),
                                                       I("vmxoff"), I("pconfig"), I("wrmsrns"),  Bad};
// The trust-domain calls sit behind the 66 prefix.
constexpr std::array<TKroOpcodeEntry, 4> TdCall = {Bad, I("tdcall"), Bad, Bad};
constexpr std::array<TKroOpcodeEntry, 4> SeamRet = {Bad, I("seamret"), Bad, Bad};
constexpr std::array<TKroOpcodeEntry, 4> SeamOps = {Bad, I("seamops"), Bad, Bad};
constexpr std::array<TKroOpcodeEntry, 4> SeamCall = {I("encls"), I("seamcall"), Bad, Bad};
constexpr std::array<TKroOpcodeEntry, 8> Group7Reg1 = {I("monitor"),        I("mwait"),          I("clac"),
                                                       I("stac"),           Pfx(TdCall.data()),  Pfx(SeamRet.data()),
                                                       Pfx(SeamOps.data()), Pfx(SeamCall.data())};
constexpr std::array<TKroOpcodeEntry, 8> Group7Reg2 = {
    I("xgetbv").Clobbering(KcAX | KcDX), I("xsetbv"), Bad, Bad, I("vmfunc"), I("xend"), I("xtest"), I("enclu")};
constexpr std::array<TKroOpcodeEntry, 8> Group7Reg3 = {I("vmrun"), I("vmmcall"), I("vmload"), I("vmsave"),
                                                       I("stgi"),  I("clgi"),    I("skinit"), I("invlpga")};
constexpr std::array<TKroOpcodeEntry, 4> SetSsBsy = {I("serialize"), Bad, I("setssbsy"), I("xsusldtrk")};
constexpr std::array<TKroOpcodeEntry, 4> SavePrevSsp = {Bad, Bad, I("saveprevssp"), Bad};
constexpr std::array<TKroOpcodeEntry, 4> XResLdTrk = {Bad, Bad, Bad, I("xresldtrk")};
constexpr std::array<TKroOpcodeEntry, 4> UiRet = {Bad, Bad, I("uiret"), Bad};
constexpr std::array<TKroOpcodeEntry, 4> TestUi = {Bad, Bad, I("testui"), Bad};
constexpr std::array<TKroOpcodeEntry, 4> ClUi = {I("rdpkru").Clobbering(KcAX | KcDX), Bad, I("clui"), Bad};
constexpr std::array<TKroOpcodeEntry, 4> StUi = {I("wrpkru"), Bad, I("stui"), Bad};
constexpr std::array<TKroOpcodeEntry, 8> Group7Reg5 = {
    Pfx(SetSsBsy.data()), Pfx(XResLdTrk.data()), Pfx(SavePrevSsp.data()), Bad,
    Pfx(UiRet.data()),    Pfx(TestUi.data()),    Pfx(ClUi.data()),        Pfx(StUi.data())};
constexpr std::array<TKroOpcodeEntry, 8> Group7Reg7 = {
    I("swapgs"), I("rdtscp").Clobbering(KcAX | KcCX | KcDX), I("monitorx"), I("mwaitx"),
    I("clzero"), I("rdpru").Clobbering(KcAX | KcDX),         I("invlpgb"),  I("tlbsync")};
constexpr std::array<TKroOpcodeEntry, 4> RstorSsp = {Bad, Bad, I("rstorssp", Mq), Bad};
constexpr std::array<TKroOpcodeEntry, 16> Group7 = {
    I("sgdt", Mu), I("sidt", Mu), I("lgdt", Mu).With(KfNoWrite), I("lidt", Mu).With(KfNoWrite), I("smsw", Mw),
    Pfx(RstorSsp.data()), I("lmsw", Mw).With(KfNoWrite), I("invlpg", Mb).With(KfNoWrite),
    // register forms
    RmSel(Group7Reg0.data()), RmSel(Group7Reg1.data()), RmSel(Group7Reg2.data()), RmSel(Group7Reg3.data()),
    I("smsw", Rv), RmSel(Group7Reg5.data()), I("lmsw", Ew).With(KfNoWrite), RmSel(Group7Reg7.data())};

// 0F 0D: the 3DNow! prefetches.
constexpr std::array<TKroOpcodeEntry, 16> GroupPrefetch = {I("prefetch", Mb).With(NopHint),
                                                           I("prefetchw", Mb).With(NopHint),
                                                           I("prefetchwt1", Mb).With(NopHint),
                                                           I("prefetch", Mb).With(NopHint),
                                                           I("prefetch", Mb).With(NopHint),
                                                           I("prefetch", Mb).With(NopHint),
                                                           I("prefetch", Mb).With(NopHint),
                                                           I("prefetch", Mb).With(NopHint),
                                                           Bad,
                                                           Bad,
                                                           Bad,
                                                           Bad,
                                                           Bad,
                                                           Bad,
                                                           Bad,
                                                           Bad};

constexpr TKroOpcodeEntry NopEv = I("nop", Ev).With(NopHint);

// Group 16 (0F 18): prefetch hints; the other forms are hint nops.
constexpr std::array<TKroOpcodeEntry, 16> Group16 = {I("prefetchnta", Mb).With(NopHint),
                                                     I("prefetcht0", Mb).With(NopHint),
                                                     I("prefetcht1", Mb).With(NopHint),
                                                     I("prefetcht2", Mb).With(NopHint),
                                                     NopEv,
                                                     NopEv,
                                                     NopEv,
                                                     NopEv,
                                                     NopEv,
                                                     NopEv,
                                                     NopEv,
                                                     NopEv,
                                                     NopEv,
                                                     NopEv,
                                                     NopEv,
                                                     NopEv};

constexpr TKroOpcodeEntry NopEvPrefixed = NopEv.With(KfOptionalPrefix);
constexpr std::array<TKroOpcodeEntry, 4> ClDemote = {I("cldemote", Mb).With(NopHint), NopEvPrefixed, NopEvPrefixed,
                                                     NopEvPrefixed};
constexpr std::array<TKroOpcodeEntry, 16> Group1C = {Pfx(ClDemote.data()),
                                                     NopEv,
                                                     NopEv,
                                                     NopEv,
                                                     NopEv,
                                                     NopEv,
                                                     NopEv,
                                                     NopEv,
                                                     NopEv,
                                                     NopEv,
                                                     NopEv,
                                                     NopEv,
                                                     NopEv,
                                                     NopEv,
                                                     NopEv,
                                                     NopEv};

// F3 0F 1E: the shadow-stack pointer read and the indirect-branch landing pads.
constexpr std::array<TKroOpcodeEntry, 8> EndBranch = {
    NopEv, NopEv, I("endbr64").With(KfNop), I("endbr32").With(KfNop), NopEv, NopEv, NopEv, NopEv};
constexpr std::array<TKroOpcodeEntry, 16> Group1EF3 = {NopEv, NopEv,
                                                       NopEv, NopEv,
                                                       NopEv, NopEv,
                                                       NopEv, NopEv,
                                                       NopEv, I("rdssp<d|q>", Ry),
                                                       NopEv, NopEv,
                                                       NopEv, NopEv,
                                                       NopEv, RmSel(EndBranch.data())};

// 0F 1A and 0F 1B without prefix: the bound table accesses (memory only).
constexpr std::array<TKroOpcodeEntry, 2> BndLdx = {I("bndldx", BndReg, Mu), NopEv};
constexpr std::array<TKroOpcodeEntry, 2> BndStx = {I("bndstx", Mu, BndReg).With(KfNoWrite), NopEv};
constexpr std::array<TKroOpcodeEntry, 2> BndMk = {I("bndmk", BndReg, Mu), NopEv};
// The bound checks compare an address: from memory unsized, from a register at the native width.
constexpr std::array<TKroOpcodeEntry, 2> BndCl = {I("bndcl", BndReg, Mu).With(KfNoWrite),
                                                  I("bndcl", BndReg, Rn).With(KfNoWrite)};
constexpr std::array<TKroOpcodeEntry, 2> BndCu = {I("bndcu", BndReg, Mu).With(KfNoWrite),
                                                  I("bndcu", BndReg, Rn).With(KfNoWrite)};
constexpr std::array<TKroOpcodeEntry, 2> BndCn = {I("bndcn", BndReg, Mu).With(KfNoWrite),
                                                  I("bndcn", BndReg, Rn).With(KfNoWrite)};

// Groups 12 to 14 (0F 71 - 0F 73): shifts by an immediate, register forms only.
constexpr std::array<TKroOpcodeEntry, 16> Shifts(const char* Right, const char* Arith, const char* Left, TKroArg Reg) {
    return {Bad,
            Bad,
            Bad,
            Bad,
            Bad,
            Bad,
            Bad,
            Bad,
            Bad,
            Bad,
            I(Right, Reg, Ib),
            Bad,
            Arith == nullptr ? Bad : I(Arith, Reg, Ib),
            Bad,
            I(Left, Reg, Ib),
            Bad};
}
constexpr TKroArg HxUx = Hx; // the VEX form writes vvvv and reads r/m; the legacy form shifts r/m in place
constexpr auto Group12Mmx = Shifts("psrlw", "psraw", "psllw", Nq);
constexpr auto Group13Mmx = Shifts("psrld", "psrad", "pslld", Nq);
constexpr auto Group14Mmx = Shifts("psrlq", nullptr, "psllq", Nq);
constexpr std::array<TKroOpcodeEntry, 16> Group12Sse = {Bad,
                                                        Bad,
                                                        Bad,
                                                        Bad,
                                                        Bad,
                                                        Bad,
                                                        Bad,
                                                        Bad,
                                                        Bad,
                                                        Bad,
                                                        I("psrlw", HxUx, Ux, Ib),
                                                        Bad,
                                                        I("psraw", HxUx, Ux, Ib),
                                                        Bad,
                                                        I("psllw", HxUx, Ux, Ib),
                                                        Bad};
constexpr std::array<TKroOpcodeEntry, 16> Group13Sse = {Bad,
                                                        Bad,
                                                        Bad,
                                                        Bad,
                                                        Bad,
                                                        Bad,
                                                        Bad,
                                                        Bad,
                                                        Bad,
                                                        Bad,
                                                        I("psrld", HxUx, Ux, Ib),
                                                        Bad,
                                                        I("psrad", HxUx, Ux, Ib),
                                                        Bad,
                                                        I("pslld", HxUx, Ux, Ib),
                                                        Bad};
constexpr std::array<TKroOpcodeEntry, 16> Group14Sse = {Bad,
                                                        Bad,
                                                        Bad,
                                                        Bad,
                                                        Bad,
                                                        Bad,
                                                        Bad,
                                                        Bad,
                                                        Bad,
                                                        Bad,
                                                        I("psrlq", HxUx, Ux, Ib),
                                                        I("psrldq", HxUx, Ux, Ib),
                                                        Bad,
                                                        Bad,
                                                        I("psllq", HxUx, Ux, Ib),
                                                        I("pslldq", HxUx, Ux, Ib)};

// Group 15 (0F AE): state saves, fences, the fs/gs base moves.
constexpr std::array<TKroOpcodeEntry, 4> XSaveOpt = {I("xsaveopt{|64}", Mu), I("clwb", Mb).With(NopHint),
                                                     I("clrssbsy", Mq), Bad};
constexpr std::array<TKroOpcodeEntry, 4> ClFlush = {I("clflush", Mb).With(NopHint), I("clflushopt", Mb).With(NopHint),
                                                    Bad, Bad};
constexpr std::array<TKroOpcodeEntry, 4> XSave = {I("xsave{|64}", Mu), Same, I("ptwrite", Ey).With(KfNoWrite), Bad};
constexpr std::array<TKroOpcodeEntry, 4> FxSave = {I("fxsave{|64}", Mu), Same, Same, Same};
constexpr std::array<TKroOpcodeEntry, 4> FxRstor = {I("fxrstor{|64}", Mu).With(KfNoWrite), Same, Same, Same};
constexpr std::array<TKroOpcodeEntry, 4> LdMxCsr = {I("ldmxcsr", Md).With(KfNoWrite), Same, Same, Same};
constexpr std::array<TKroOpcodeEntry, 4> StMxCsr = {I("stmxcsr", Md), Same, Same, Same};
constexpr std::array<TKroOpcodeEntry, 4> XRstor = {I("xrstor{|64}", Mu).With(KfNoWrite), Same, Same, Same};
constexpr std::array<TKroOpcodeEntry, 4> RdFsBase = {Bad, Bad, I("rdfsbase", Ry), Bad};
constexpr std::array<TKroOpcodeEntry, 4> RdGsBase = {Bad, Bad, I("rdgsbase", Ry), Bad};
constexpr std::array<TKroOpcodeEntry, 4> WrFsBase = {Bad, Bad, I("wrfsbase", Ry).With(KfNoWrite), Bad};
constexpr std::array<TKroOpcodeEntry, 4> WrGsBase = {Bad, Bad, I("wrgsbase", Ry).With(KfNoWrite), Bad};
constexpr std::array<TKroOpcodeEntry, 4> PtWriteReg = {Bad, Bad, I("ptwrite", Ey).With(KfNoWrite), Bad};
constexpr std::array<TKroOpcodeEntry, 4> LFence = {I("lfence"), Bad, I("incssp<d|q>", Ry).With(KfNoWrite), Bad};
constexpr std::array<TKroOpcodeEntry, 4> MFence = {I("mfence"), I("tpause", Ry).With(KfNoWrite),
                                                   I("umonitor", Rn).With(KfNoWrite), I("umwait", Ry).With(KfNoWrite)};
constexpr std::array<TKroOpcodeEntry, 4> SFence = {I("sfence"), Bad, Bad, Bad};
constexpr std::array<TKroOpcodeEntry, 16> Group15 = {
    Pfx(FxSave.data()),     Pfx(FxRstor.data()),  Pfx(LdMxCsr.data()),  Pfx(StMxCsr.data()),
    Pfx(XSave.data()),      Pfx(XRstor.data()),   Pfx(XSaveOpt.data()), Pfx(ClFlush.data()),
    Pfx(RdFsBase.data()),   Pfx(RdGsBase.data()), Pfx(WrFsBase.data()), Pfx(WrGsBase.data()),
    Pfx(PtWriteReg.data()), Pfx(LFence.data()),   Pfx(MFence.data()),   Pfx(SFence.data())};

// Group 8 (0F BA): bit tests with an immediate.
constexpr std::array<TKroOpcodeEntry, 8> Group8Forms = {
    Bad, Bad, Bad, Bad, I("bt", Ev, Ib).With(Cmp), I("bts", Ev, Ib), I("btr", Ev, Ib), I("btc", Ev, Ib)};
constexpr std::array<TKroOpcodeEntry, 16> Group8 = {Group8Forms[0], Group8Forms[1], Group8Forms[2], Group8Forms[3],
                                                    Group8Forms[4], Group8Forms[5], Group8Forms[6], Group8Forms[7],
                                                    Group8Forms[0], Group8Forms[1], Group8Forms[2], Group8Forms[3],
                                                    Group8Forms[4], Group8Forms[5], Group8Forms[6], Group8Forms[7]};

// Group 9 (0F C7): compare-exchange of 8 or 16 bytes, VMX pointers, random numbers.
constexpr std::array<TKroOpcodeEntry, 2> CmpXchg8b = {I("cmpxchg8b", Mq).Clobbering(KcAX | KcDX),
                                                      I("cmpxchg16b", Mdq).Clobbering(KcAX | KcDX)};
constexpr std::array<TKroOpcodeEntry, 4> VmPtrLd = {I("vmptrld", Mq).With(KfNoWrite), I("vmclear", Mq),
                                                    I("vmxon", Mq).With(KfNoWrite), Bad};
constexpr std::array<TKroOpcodeEntry, 4> VmPtrSt = {I("vmptrst", Mq), Same, Same, Same};
constexpr std::array<TKroOpcodeEntry, 4> RdRand = {I("rdrand", Rv), Same, I("senduipi", Rq).With(KfNoWrite), Bad};
constexpr std::array<TKroOpcodeEntry, 4> RdSeed = {I("rdseed", Rv), Same, I("rdpid", Rn), Bad};
constexpr std::array<TKroOpcodeEntry, 4> XRstors = {I("xrstors{|64}", Mu).With(KfNoWrite), Same, Same, Same};
constexpr std::array<TKroOpcodeEntry, 4> XSaveC = {I("xsavec{|64}", Mu), Same, Same, Same};
constexpr std::array<TKroOpcodeEntry, 4> XSaveS = {I("xsaves{|64}", Mu), Same, Same, Same};
constexpr std::array<TKroOpcodeEntry, 4> CmpXchgNb = {WSel(CmpXchg8b.data()), Same, Same, Same};
constexpr std::array<TKroOpcodeEntry, 16> Group9 = {Bad,
                                                    Pfx(CmpXchgNb.data()),
                                                    Bad,
                                                    Pfx(XRstors.data()),
                                                    Pfx(XSaveC.data()),
                                                    Pfx(XSaveS.data()),
                                                    Pfx(VmPtrLd.data()),
                                                    Pfx(VmPtrSt.data()),
                                                    Bad,
                                                    Bad,
                                                    Bad,
                                                    Bad,
                                                    Bad,
                                                    Bad,
                                                    Pfx(RdRand.data()),
                                                    Pfx(RdSeed.data())};

// 0F A6 and 0F A7: the PadLock instructions, named by their ModRM byte.
constexpr std::array<TKroOpcodeEntry, 8> PadLock(const char* Name) {
    return {I(Name), Bad, Bad, Bad, Bad, Bad, Bad, Bad};
}
constexpr auto MontMul = PadLock("montmul");
constexpr auto XSha1 = PadLock("xsha1");
constexpr auto XSha256 = PadLock("xsha256");
constexpr auto XStore = PadLock("xstore-rng");
constexpr auto XCryptEcb = PadLock("xcrypt-ecb");
constexpr auto XCryptCbc = PadLock("xcrypt-cbc");
constexpr auto XCryptCtr = PadLock("xcrypt-ctr");
constexpr auto XCryptCfb = PadLock("xcrypt-cfb");
constexpr auto XCryptOfb = PadLock("xcrypt-ofb");
constexpr std::array<TKroOpcodeEntry, 16> GroupA6 = {
    Bad, Bad, Bad, Bad, Bad, Bad, Bad, Bad, RmSel(MontMul.data()), RmSel(XSha1.data()), RmSel(XSha256.data()),
    Bad, Bad, Bad, Bad, Bad};
constexpr std::array<TKroOpcodeEntry, 16> GroupA7 = {Bad,
                                                     Bad,
                                                     Bad,
                                                     Bad,
                                                     Bad,
                                                     Bad,
                                                     Bad,
                                                     Bad,
                                                     RmSel(XStore.data()),
                                                     RmSel(XCryptEcb.data()),
                                                     RmSel(XCryptCbc.data()),
                                                     RmSel(XCryptCtr.data()),
                                                     RmSel(XCryptCfb.data()),
                                                     RmSel(XCryptOfb.data()),
                                                     Bad,
                                                     Bad};

// 66 0F 78: extrq with two immediates.
constexpr TKroOpcodeEntry Extrq = I("extrq", Udq, Ib, Ib2);
constexpr std::array<TKroOpcodeEntry, 16> ExtrqImm = {Bad,   Bad,   Bad,   Bad,   Bad,   Bad,   Bad,   Bad,
                                                      Extrq, Extrq, Extrq, Extrq, Extrq, Extrq, Extrq, Extrq};

constexpr std::array<TKroOpcodeEntry, 2> MovLps = {I("movlps", Vq, Hq, Mq), I("movhlps", Vq, Hq, Uq)};
constexpr std::array<TKroOpcodeEntry, 2> MovHps = {I("movhps", Vdq, Hq, Mq), I("movlhps", Vdq, Hq, Uq)};

// An MMX instruction with its SSE2 twin.
constexpr TKroPrefixedEntry Mmx(const char* Name) {
    return Pf(I(Name, Pq, Qq).With(KfNoVex), I(Name, Vx, Hx, Wx));
}
// The same for the unpacks of the low halves, whose MMX form reads a dword.
constexpr TKroPrefixedEntry MmxLow(const char* Name) {
    return Pf(I(Name, Pq, Qd).With(KfNoVex), I(Name, Vx, Hx, Wx));
}
// Shifts by a count in a register or in memory: the count is an xmm register (or 16 bytes) at any vector length.
constexpr TKroPrefixedEntry ShiftBy(const char* Name) {
    return Pf(I(Name, Pq, Qq).With(KfNoVex), I(Name, Vx, Hx, Wdq));
}

// The scalar moves: between registers the VEX form merges the upper part of a second source.
constexpr std::array<TKroOpcodeEntry, 2> MovSsLoad = {I("movss", Vss, Wss), I("movss", Vdq, Hdq, Udq)};
constexpr std::array<TKroOpcodeEntry, 2> MovSdLoad = {I("movsd", Vsd, Wsd), I("movsd", Vdq, Hdq, Udq)};
constexpr std::array<TKroOpcodeEntry, 2> MovSsStore = {I("movss", Wss, Vss), I("movss", Udq, Hdq, Vdq)};
constexpr std::array<TKroOpcodeEntry, 2> MovSdStore = {I("movsd", Wsd, Vsd), I("movsd", Udq, Hdq, Vdq)};

// pinsrw reads a word from memory and from a register its low word, written as the 32-bit register.
constexpr std::array<TKroOpcodeEntry, 2> PinsrwMmx = {I("pinsrw", Pq, Mw, Ib).With(KfNoVex),
                                                      I("pinsrw", Pq, Rd, Ib).With(KfNoVex)};
constexpr std::array<TKroOpcodeEntry, 2> PinsrwSse = {I("pinsrw", Vdq, Hdq, Mw, Ib), I("pinsrw", Vdq, Hdq, Rd, Ib)};

// lar and lsl read a selector: a word from memory, from a register its low word, written at the operand size.
constexpr std::array<TKroOpcodeEntry, 2> Lar = {I("lar", Gv, Mw), I("lar", Gv, Rv)};
constexpr std::array<TKroOpcodeEntry, 2> Lsl = {I("lsl", Gv, Mw), I("lsl", Gv, Rv)};

// In 64-bit code the returns to user mode name the operand size.
constexpr std::array<TKroOpcodeEntry, 2> SysRet = {I("sysret").With(KfRet), I("sysret{d|q}").With(KfRet)};
constexpr std::array<TKroOpcodeEntry, 2> SysExit = {I("sysexit").With(KfRet), I("sysexit{d|q}").With(KfRet)};
// Packed and scalar single and double forms of one operation.
constexpr TKroPrefixedEntry Float(const char* Ps, const char* Pd, const char* Ss, const char* Sd) {
    return Pf(I(Ps, Vx, Hx, Wx), I(Pd, Vx, Hx, Wx), I(Ss, Vss, Hss, Wss), I(Sd, Vsd, Hsd, Wsd));
}
constexpr TKroPrefixedEntry Packed(const char* Ps, const char* Pd) {
    return Pf(I(Ps, Vx, Hx, Wx), I(Pd, Vx, Hx, Wx));
}

constexpr std::uint32_t Jcc = KfCond | KfJump | KfD64 | KfNoWrite | KfBnd;

// clang-format off
constexpr TKroPrefixedMap Map0F = {{
    /* 00 */ All(Grp(Group6.data())), All(Grp(Group7.data())), All(ModSel(Lar.data())), All(ModSel(Lsl.data())),
    /* 04 */ {}, All(I("syscall").Clobbering(KcAX | KcCX | KcR11)), All(I("clts")), All(ModeSel(SysRet.data())),
    /* 08 */ All(I("invd")), Pf(I("wbinvd"), Same, I("wbnoinvd"), Same), {}, All(I("ud2")),
    /* 0C */ {}, All(Grp(GroupPrefetch.data())), All(I("femms")), All(I("3dnow", Pq, Qq).With(Kf3DNow | KfImm8)),
    /* 10 */ Pf(I("movups", Vx, Wx), I("movupd", Vx, Wx), ModSel(MovSsLoad.data()), ModSel(MovSdLoad.data())),
    /* 11 */ Pf(I("movups", Wx, Vx), I("movupd", Wx, Vx), ModSel(MovSsStore.data()), ModSel(MovSdStore.data())),
    /* 12 */ Pf(ModSel(MovLps.data()), I("movlpd", Vq, Hq, Mq), I("movsldup", Vx, Wx), I("movddup", Vx, Wxq)),
    /* 13 */ Pf(I("movlps", Mq, Vq), I("movlpd", Mq, Vq)),
    /* 14 */ Packed("unpcklps", "unpcklpd"), Packed("unpckhps", "unpckhpd"),
    /* 16 */ Pf(ModSel(MovHps.data()), I("movhpd", Vdq, Hq, Mq), I("movshdup", Vx, Wx)),
    /* 17 */ Pf(I("movhps", Mq, Vq), I("movhpd", Mq, Vq)),
    /* 18 */ All(Grp(Group16.data())), All(NopEv),
    /* 1A */ Pf(ModSel(BndLdx.data()), I("bndmov", BndReg, BndRm), ModSel(BndCl.data()), ModSel(BndCu.data())),
    /* 1B */ Pf(ModSel(BndStx.data()), I("bndmov", BndRm, BndReg), ModSel(BndMk.data()), ModSel(BndCn.data())),
    /* 1C */ All(Grp(Group1C.data())), All(NopEv), Pf(NopEv, Same, Grp(Group1EF3.data()), Same), All(NopEv),
    /* 20 */ All(I("mov", Rn, Cn).With(KfModIgnored)), All(I("mov", Rn, Dn).With(KfModIgnored)),
    /* 22 */ All(I("mov", Cn, Rn).With(KfModIgnored | KfNoWrite)),
    /* 23 */ All(I("mov", Dn, Rn).With(KfModIgnored | KfNoWrite)),
    /* 24 */ All(I("mov", Rd, Td).With(KfModIgnored | KfI64)), {},
    /* 26 */ All(I("mov", Td, Rd).With(KfModIgnored | KfI64 | KfNoWrite)), {},
    /* 28 */ Pf(I("movaps", Vx, Wx), I("movapd", Vx, Wx)), Pf(I("movaps", Wx, Vx), I("movapd", Wx, Vx)),
    /* 2A */ Pf(I("cvtpi2ps", Vdq, Qq).With(KfNoVex), I("cvtpi2pd", Vdq, Qq).With(KfNoVex), I("cvtsi2ss", Vss, Hss, Ey),
                I("cvtsi2sd", Vsd, Hsd, Ey)),
    /* 2B */ Pf(I("movntps", Mx, Vx), I("movntpd", Mx, Vx), I("movntss", Md, Vss), I("movntsd", Mq, Vsd)),
    /* 2C */ Pf(I("cvttps2pi", Pq, Wq).With(KfNoVex), I("cvttpd2pi", Pq, Wdq).With(KfNoVex), I("cvttss2si", Gy, Wss),
                I("cvttsd2si", Gy, Wsd)),
    /* 2D */ Pf(I("cvtps2pi", Pq, Wq).With(KfNoVex), I("cvtpd2pi", Pq, Wdq).With(KfNoVex), I("cvtss2si", Gy, Wss),
                I("cvtsd2si", Gy, Wsd)),
    /* 2E */ Pf(I("ucomiss", Vss, Wss).With(KfNoWrite), I("ucomisd", Vsd, Wsd).With(KfNoWrite)),
    /* 2F */ Pf(I("comiss", Vss, Wss).With(KfNoWrite), I("comisd", Vsd, Wsd).With(KfNoWrite)),
    /* 30 */ All(I("wrmsr")), All(I("rdtsc").Clobbering(KcAX | KcDX)), All(I("rdmsr").Clobbering(KcAX | KcDX)),
    /* 33 */ All(I("rdpmc").Clobbering(KcAX | KcDX)),
    /* 34 */ All(I("sysenter")), All(ModeSel(SysExit.data())), {}, All(I("getsec").Clobbering(KcAX | KcBX | KcCX)),
    /* 38 */ {}, {}, {}, {}, {}, {}, {}, {}, // 0F 38 and 0F 3A are maps of their own
    /* 40 */ All(I("cmov%cc", Gv, Ev).With(KfCond)), All(I("cmov%cc", Gv, Ev).With(KfCond)),
    /* 42 */ All(I("cmov%cc", Gv, Ev).With(KfCond)), All(I("cmov%cc", Gv, Ev).With(KfCond)),
    /* 44 */ All(I("cmov%cc", Gv, Ev).With(KfCond)), All(I("cmov%cc", Gv, Ev).With(KfCond)),
    /* 46 */ All(I("cmov%cc", Gv, Ev).With(KfCond)), All(I("cmov%cc", Gv, Ev).With(KfCond)),
    /* 48 */ All(I("cmov%cc", Gv, Ev).With(KfCond)), All(I("cmov%cc", Gv, Ev).With(KfCond)),
    /* 4A */ All(I("cmov%cc", Gv, Ev).With(KfCond)), All(I("cmov%cc", Gv, Ev).With(KfCond)),
    /* 4C */ All(I("cmov%cc", Gv, Ev).With(KfCond)), All(I("cmov%cc", Gv, Ev).With(KfCond)),
    /* 4E */ All(I("cmov%cc", Gv, Ev).With(KfCond)), All(I("cmov%cc", Gv, Ev).With(KfCond)),
    /* 50 */ Pf(I("movmskps", Gy, Ux), I("movmskpd", Gy, Ux)),
    /* 51 */ Pf(I("sqrtps", Vx, Wx), I("sqrtpd", Vx, Wx), I("sqrtss", Vss, Hss, Wss), I("sqrtsd", Vsd, Hsd, Wsd)),
    /* 52 */ Pf(I("rsqrtps", Vx, Wx), Bad, I("rsqrtss", Vss, Hss, Wss)),
    /* 53 */ Pf(I("rcpps", Vx, Wx), Bad, I("rcpss", Vss, Hss, Wss)),
    /* 54 */ Packed("andps", "andpd"), Packed("andnps", "andnpd"), Packed("orps", "orpd"), Packed("xorps", "xorpd"),
    /* 58 */ Float("addps", "addpd", "addss", "addsd"), Float("mulps", "mulpd", "mulss", "mulsd"),
    /* 5A */ Pf(I("cvtps2pd", Vx, Whx), I("cvtpd2ps", Vdq, Wx), I("cvtss2sd", Vsd, Hsd, Wss),
                I("cvtsd2ss", Vss, Hss, Wsd)),
    /* 5B */ Pf(I("cvtdq2ps", Vx, Wx), I("cvtps2dq", Vx, Wx), I("cvttps2dq", Vx, Wx)),
    /* 5C */ Float("subps", "subpd", "subss", "subsd"), Float("minps", "minpd", "minss", "minsd"),
    /* 5E */ Float("divps", "divpd", "divss", "divsd"), Float("maxps", "maxpd", "maxss", "maxsd"),
    /* 60 */ MmxLow("punpcklbw"), MmxLow("punpcklwd"), MmxLow("punpckldq"), Mmx("packsswb"),
    /* 64 */ Mmx("pcmpgtb"), Mmx("pcmpgtw"), Mmx("pcmpgtd"), Mmx("packuswb"),
    /* 68 */ Mmx("punpckhbw"), Mmx("punpckhwd"), Mmx("punpckhdq"), Mmx("packssdw"),
    /* 6C */ Pf(Bad, I("punpcklqdq", Vx, Hx, Wx)), Pf(Bad, I("punpckhqdq", Vx, Hx, Wx)),
    /* 6E */ Pf(I("<movd|movq>", Pq, Ey).With(KfNoVex), I("<movd|movq>", Vdq, Ey)),
    /* 6F */ Pf(I("movq", Pq, Qq).With(KfNoVex), I("movdqa", Vx, Wx), I("movdqu", Vx, Wx)),
    /* 70 */ Pf(I("pshufw", Pq, Qq, Ib).With(KfNoVex), I("pshufd", Vx, Wx, Ib), I("pshufhw", Vx, Wx, Ib),
                I("pshuflw", Vx, Wx, Ib)),
    /* 71 */ Pf(Grp(Group12Mmx.data()), Grp(Group12Sse.data())),
    /* 72 */ Pf(Grp(Group13Mmx.data()), Grp(Group13Sse.data())),
    /* 73 */ Pf(Grp(Group14Mmx.data()), Grp(Group14Sse.data())),
    /* 74 */ Mmx("pcmpeqb"), Mmx("pcmpeqw"), Mmx("pcmpeqd"), All(I("emms").With(KfNoVex)),
    /* 78 */ Pf(I("vmread", Ev, Gv).With(KfD64), Grp(ExtrqImm.data()), Bad, I("insertq", Vdq, Udq, Ib, Ib2)),
    /* 79 */ Pf(I("vmwrite", Gv, Ev).With(KfD64), I("extrq", Vdq, Udq), Bad, I("insertq", Vdq, Udq)),
    /* 7A */ {}, {},
    /* 7C */ Pf(Bad, I("haddpd", Vx, Hx, Wx), Bad, I("haddps", Vx, Hx, Wx)),
    /* 7D */ Pf(Bad, I("hsubpd", Vx, Hx, Wx), Bad, I("hsubps", Vx, Hx, Wx)),
    /* 7E */ Pf(I("<movd|movq>", Ey, Pq).With(KfNoVex), I("<movd|movq>", Ey, Vdq), I("movq", Vq, Wq)),
    /* 7F */ Pf(I("movq", Qq, Pq).With(KfNoVex), I("movdqa", Wx, Vx), I("movdqu", Wx, Vx)),
    /* 80 */ All(I("j%cc", Jz).With(Jcc)), All(I("j%cc", Jz).With(Jcc)), All(I("j%cc", Jz).With(Jcc)),
    /* 83 */ All(I("j%cc", Jz).With(Jcc)), All(I("j%cc", Jz).With(Jcc)), All(I("j%cc", Jz).With(Jcc)),
    /* 86 */ All(I("j%cc", Jz).With(Jcc)), All(I("j%cc", Jz).With(Jcc)), All(I("j%cc", Jz).With(Jcc)),
    /* 89 */ All(I("j%cc", Jz).With(Jcc)), All(I("j%cc", Jz).With(Jcc)), All(I("j%cc", Jz).With(Jcc)),
    /* 8C */ All(I("j%cc", Jz).With(Jcc)), All(I("j%cc", Jz).With(Jcc)), All(I("j%cc", Jz).With(Jcc)),
    /* 8F */ All(I("j%cc", Jz).With(Jcc)),
    /* 90 */ All(I("set%cc", Eb).With(KfCond)), All(I("set%cc", Eb).With(KfCond)),
    /* 92 */ All(I("set%cc", Eb).With(KfCond)), All(I("set%cc", Eb).With(KfCond)),
    /* 94 */ All(I("set%cc", Eb).With(KfCond)), All(I("set%cc", Eb).With(KfCond)),
    /* 96 */ All(I("set%cc", Eb).With(KfCond)), All(I("set%cc", Eb).With(KfCond)),
    /* 98 */ All(I("set%cc", Eb).With(KfCond)), All(I("set%cc", Eb).With(KfCond)),
    /* 9A */ All(I("set%cc", Eb).With(KfCond)), All(I("set%cc", Eb).With(KfCond)),
    /* 9C */ All(I("set%cc", Eb).With(KfCond)), All(I("set%cc", Eb).With(KfCond)),
    /* 9E */ All(I("set%cc", Eb).With(KfCond)), All(I("set%cc", Eb).With(KfCond)),
    /* A0 */ All(I("pushw/push/push", FS).With(KfD64 | KfNoWrite)), All(I("popw/pop/pop", FS).With(KfD64)),
    /* A2 */ All(I("cpuid").Clobbering(KcAX | KcBX | KcCX | KcDX)), All(I("bt", Ev, Gv).With(Cmp)),
    /* A4 */ All(I("shld", Ev, Gv, Ib)), All(I("shld", Ev, Gv, CL)), All(Grp(GroupA6.data())),
    /* A7 */ All(Grp(GroupA7.data())),
    /* A8 */ All(I("pushw/push/push", GS).With(KfD64 | KfNoWrite)), All(I("popw/pop/pop", GS).With(KfD64)), All(I("rsm")),
    /* AB */ All(I("bts", Ev, Gv)),
    /* AC */ All(I("shrd", Ev, Gv, Ib)), All(I("shrd", Ev, Gv, CL)), All(Grp(Group15.data())),
    /* AF */ All(I("imul", Gv, Ev)),
    /* B0 */ All(I("cmpxchg", Eb, Gb).Clobbering(KcAX)), All(I("cmpxchg", Ev, Gv).Clobbering(KcAX)),
    /* B2 */ All(I("lss", Gv, Mp)), All(I("btr", Ev, Gv)),
    /* B4 */ All(I("lfs", Gv, Mp)), All(I("lgs", Gv, Mp)), All(I("movzx", Gv, Eb).With(KfZeroExtend)), All(I("movzx", Gv, Ew).With(KfZeroExtend)),
    /* B8 */ Pf(Bad, Bad, I("popcnt", Gv, Ev)), All(I("ud1", Gv, Ev)), All(Grp(Group8.data())),
    /* BB */ All(I("btc", Ev, Gv)),
    /* BC */ Pf(I("bsf", Gv, Ev), Same, I("tzcnt", Gv, Ev), Same),
    /* BD */ Pf(I("bsr", Gv, Ev), Same, I("lzcnt", Gv, Ev), Same),
    /* BE */ All(I("movsx", Gv, Eb)), All(I("movsx", Gv, Ew)),
    /* C0 */ All(I("xadd", Eb, Gb).With(KfWritesBoth)), All(I("xadd", Ev, Gv).With(KfWritesBoth)),
    /* C2 */ Pf(I("cmp%pps", Vx, Hx, Wx, Ib).With(KfPredicate), I("cmp%ppd", Vx, Hx, Wx, Ib).With(KfPredicate),
                I("cmp%pss", Vss, Hss, Wss, Ib).With(KfPredicate), I("cmp%psd", Vsd, Hsd, Wsd, Ib).With(KfPredicate)),
    /* C3 */ Pf(I("movnti", My, Gy)),
    /* C4 */ Pf(ModSel(PinsrwMmx.data()), ModSel(PinsrwSse.data())),
    /* C5 */ Pf(I("pextrw", Gd, Nq, Ib).With(KfNoVex), I("pextrw", Gd, Udq, Ib)),
    /* C6 */ Pf(I("shufps", Vx, Hx, Wx, Ib), I("shufpd", Vx, Hx, Wx, Ib)), All(Grp(Group9.data())),
    /* C8 */ All(I("bswap", Zv)), All(I("bswap", Zv)), All(I("bswap", Zv)), All(I("bswap", Zv)),
    /* CC */ All(I("bswap", Zv)), All(I("bswap", Zv)), All(I("bswap", Zv)), All(I("bswap", Zv)),
    /* D0 */ Pf(Bad, I("addsubpd", Vx, Hx, Wx), Bad, I("addsubps", Vx, Hx, Wx)),
    /* D1 */ ShiftBy("psrlw"), ShiftBy("psrld"), ShiftBy("psrlq"),
    /* D4 */ Mmx("paddq"), Mmx("pmullw"),
    /* D6 */ Pf(Bad, I("movq", Wq, Vq), I("movq2dq", Vdq, Nq).With(KfNoVex), I("movdq2q", Pq, Uq).With(KfNoVex)),
    /* D7 */ Pf(I("pmovmskb", Gy, Nq).With(KfNoVex), I("pmovmskb", Gy, Ux), Same, Same),
    /* D8 */ Mmx("psubusb"), Mmx("psubusw"), Mmx("pminub"), Mmx("pand"),
    /* DC */ Mmx("paddusb"), Mmx("paddusw"), Mmx("pmaxub"), Mmx("pandn"),
    /* E0 */ Mmx("pavgb"), ShiftBy("psraw"), ShiftBy("psrad"), Mmx("pavgw"),
    /* E4 */ Mmx("pmulhuw"), Mmx("pmulhw"),
    /* E6 */ Pf(Bad, I("cvttpd2dq", Vdq, Wx), I("cvtdq2pd", Vx, Whx), I("cvtpd2dq", Vdq, Wx)),
    /* E7 */ Pf(I("movntq", Mq, Pq).With(KfNoVex), I("movntdq", Mx, Vx)),
    /* E8 */ Mmx("psubsb"), Mmx("psubsw"), Mmx("pminsw"), Mmx("por"),
    /* EC */ Mmx("paddsb"), Mmx("paddsw"), Mmx("pmaxsw"), Mmx("pxor"),
    /* F0 */ Pf(Bad, Bad, Bad, I("lddqu", Vx, Mu)), ShiftBy("psllw"), ShiftBy("pslld"), ShiftBy("psllq"),
    /* F4 */ Mmx("pmuludq"), Mmx("pmaddwd"), Mmx("psadbw"),
    /* F7 */ Pf(I("maskmovq", Pq, Nq).With(KfNoVex | KfNoWrite), I("maskmovdqu", Vdq, Udq).With(KfNoWrite)),
    /* F8 */ Mmx("psubb"), Mmx("psubw"), Mmx("psubd"), Mmx("psubq"),
    /* FC */ Mmx("paddb"), Mmx("paddw"), Mmx("paddd"), All(I("ud0", Gv, Ev)),
}};
// clang-format on

} // namespace

const TKroPrefixedMap& KroMap0F() {
    return Map0F;
}

const char* Kro3DNowName(std::uint8_t Suffix) {
    struct TName {
        std::uint8_t Suffix;
        const char* Name;
    };
    static constexpr TName Names[] = {
        {0x0C, "pi2fw"},  {0x0D, "pi2fd"},   {0x1C, "pf2iw"},   {0x1D, "pf2id"}, {0x86, "pfrcpv"},   {0x87, "pfrsqrtv"},
        {0x8A, "pfnacc"}, {0x8E, "pfpnacc"}, {0x90, "pfcmpge"}, {0x94, "pfmin"}, {0x96, "pfrcp"},    {0x97, "pfrsqrt"},
        {0x9A, "pfsub"},  {0x9E, "pfadd"},   {0xA0, "pfcmpgt"}, {0xA4, "pfmax"}, {0xA6, "pfrcpit1"}, {0xA7, "pfrsqit1"},
        {0xAA, "pfsubr"}, {0xAE, "pfacc"},   {0xB0, "pfcmpeq"}, {0xB4, "pfmul"}, {0xB6, "pfrcpit2"}, {0xB7, "pmulhrw"},
        {0xBB, "pswapd"}, {0xBF, "pavgusb"}};
    for (const TName& Entry : Names)
        if (Entry.Suffix == Suffix)
            return Entry.Name;
    return nullptr;
}
