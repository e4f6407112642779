// The three-byte opcode maps 0F 38 and 0F 3A without VEX: SSSE3, SSE4, AES, SHA, MOVBE, CRC32 and friends.

#include "KroDisAsmOpcodes.h"

namespace {

using namespace KroOp;

// An SSSE3 instruction: an MMX form without prefix, the SSE form with 66.
constexpr TKroPrefixedEntry Ssse3(const char* Name) {
    return Pf(I(Name, Pq, Qq).With(KfNoVex), I(Name, Vx, Hx, Wx));
}
constexpr TKroPrefixedEntry Ssse3Unary(const char* Name) {
    return Pf(I(Name, Pq, Qq).With(KfNoVex), I(Name, Vx, Wx));
}
// An SSE4 instruction, 66 only: three vector operands, or the operands given.
constexpr TKroPrefixedEntry Sse(const char* Name) {
    return Pf(Bad, I(Name, Vx, Hx, Wx));
}
constexpr TKroPrefixedEntry Sse(const char* Name, TKroArg A, TKroArg B, TKroArg C = {}, TKroArg D = {}) {
    return Pf(Bad, I(Name, A, B, C, D));
}

constexpr std::array<TKroOpcodeEntry, 2> PextrB = {I("pextrb", Mb, Vdq, Ib), I("pextrb", Rd, Vdq, Ib)};
constexpr std::array<TKroOpcodeEntry, 2> PextrW = {I("pextrw", Mw, Vdq, Ib), I("pextrw", Rd, Vdq, Ib)};
constexpr std::array<TKroOpcodeEntry, 2> PinsrB = {I("pinsrb", Vdq, Hdq, Mb, Ib), I("pinsrb", Vdq, Hdq, Rd, Ib)};

// F3 0F 38 D8: the wide key-locker forms.
constexpr std::array<TKroOpcodeEntry, 16> KeyLockerWide = {I("aesencwide128kl", Mu),
                                                           I("aesdecwide128kl", Mu),
                                                           I("aesencwide256kl", Mu),
                                                           I("aesdecwide256kl", Mu),
                                                           Bad,
                                                           Bad,
                                                           Bad,
                                                           Bad,
                                                           Bad,
                                                           Bad,
                                                           Bad,
                                                           Bad,
                                                           Bad,
                                                           Bad,
                                                           Bad,
                                                           Bad};

// F3 0F 38 DC: the key-locker load of a wrapping key between registers, the encryption from a handle in memory.
constexpr std::array<TKroOpcodeEntry, 2> KeyLoad = {I("aesenc128kl", Vdq, Mu), I("loadiwkey", Vdq, Udq)};

constexpr TKroOpcodeEntry Crc32Eb = I("crc32", Gy, Eb);
constexpr TKroOpcodeEntry Crc32Ev = I("crc32", Gy, Ev);

constexpr TSparse List0F38[] = {
    {0x00, Ssse3("pshufb")},
    {0x01, Ssse3("phaddw")},
    {0x02, Ssse3("phaddd")},
    {0x03, Ssse3("phaddsw")},
    {0x04, Ssse3("pmaddubsw")},
    {0x05, Ssse3("phsubw")},
    {0x06, Ssse3("phsubd")},
    {0x07, Ssse3("phsubsw")},
    {0x08, Ssse3("psignb")},
    {0x09, Ssse3("psignw")},
    {0x0A, Ssse3("psignd")},
    {0x0B, Ssse3("pmulhrsw")},
    {0x10, Pf(Bad, I("pblendvb", Vdq, Wdq, XMM0).With(KfNoVex))},
    {0x14, Pf(Bad, I("blendvps", Vdq, Wdq, XMM0).With(KfNoVex))},
    {0x15, Pf(Bad, I("blendvpd", Vdq, Wdq, XMM0).With(KfNoVex))},
    {0x17, Pf(Bad, I("ptest", Vx, Wx).With(KfNoWrite))},
    {0x1C, Ssse3Unary("pabsb")},
    {0x1D, Ssse3Unary("pabsw")},
    {0x1E, Ssse3Unary("pabsd")},
    {0x20, Sse("pmovsxbw", Vx, Whx)},
    {0x21, Sse("pmovsxbd", Vx, Wqx)},
    {0x22, Sse("pmovsxbq", Vx, Wex)},
    {0x23, Sse("pmovsxwd", Vx, Whx)},
    {0x24, Sse("pmovsxwq", Vx, Wqx)},
    {0x25, Sse("pmovsxdq", Vx, Whx)},
    {0x28, Sse("pmuldq")},
    {0x29, Sse("pcmpeqq")},
    {0x2A, Sse("movntdqa", Vx, Mx)},
    {0x2B, Sse("packusdw")},
    {0x30, Sse("pmovzxbw", Vx, Whx)},
    {0x31, Sse("pmovzxbd", Vx, Wqx)},
    {0x32, Sse("pmovzxbq", Vx, Wex)},
    {0x33, Sse("pmovzxwd", Vx, Whx)},
    {0x34, Sse("pmovzxwq", Vx, Wqx)},
    {0x35, Sse("pmovzxdq", Vx, Whx)},
    {0x37, Sse("pcmpgtq")},
    {0x38, Sse("pminsb")},
    {0x39, Sse("pminsd")},
    {0x3A, Sse("pminuw")},
    {0x3B, Sse("pminud")},
    {0x3C, Sse("pmaxsb")},
    {0x3D, Sse("pmaxsd")},
    {0x3E, Sse("pmaxuw")},
    {0x3F, Sse("pmaxud")},
    {0x40, Sse("pmulld")},
    {0x41, Sse("phminposuw", Vdq, Wdq)},
    {0x80, Pf(Bad, I("invept", Gv, Mdq).With(KfD64 | KfNoWrite))},
    {0x81, Pf(Bad, I("invvpid", Gv, Mdq).With(KfD64 | KfNoWrite))},
    {0x82, Pf(Bad, I("invpcid", Gv, Mu).With(KfD64 | KfNoWrite))},
    {0xC8, Pf(I("sha1nexte", Vdq, Wdq))},
    {0xC9, Pf(I("sha1msg1", Vdq, Wdq))},
    {0xCA, Pf(I("sha1msg2", Vdq, Wdq))},
    {0xCB, Pf(I("sha256rnds2", Vdq, Wdq, XMM0))},
    {0xCC, Pf(I("sha256msg1", Vdq, Wdq))},
    {0xCD, Pf(I("sha256msg2", Vdq, Wdq))},
    {0xCF, Sse("gf2p8mulb")},
    {0xD8, Pf(Bad, Bad, Grp(KeyLockerWide.data()))},
    {0xDB, Sse("aesimc", Vdq, Wdq)},
    {0xDC, Pf(Bad, I("aesenc", Vx, Hx, Wx), ModSel(KeyLoad.data()))},
    {0xDD, Pf(Bad, I("aesenclast", Vx, Hx, Wx), I("aesdec128kl", Vdq, Mu))},
    {0xDE, Pf(Bad, I("aesdec", Vx, Hx, Wx), I("aesenc256kl", Vdq, Mu))},
    {0xDF, Pf(Bad, I("aesdeclast", Vx, Hx, Wx), I("aesdec256kl", Vdq, Mu))},
    {0xF0, Pf(I("movbe", Gv, Mv), Same, Bad, Crc32Eb)},
    {0xF1, Pf(I("movbe", Mv, Gv), Same, Bad, Crc32Ev)},
    {0xF5, Pf(Bad, I("wruss<d|q>", {M, u}, Gy))},
    {0xF6, Pf(I("wrss<d|q>", {M, u}, Gy), I("adcx", Gy, Ey), I("adox", Gy, Ey))},
    {0xF8, Pf(Bad, I("movdir64b", {G, as}, Mu), I("enqcmds", {G, as}, Mu), I("enqcmd", {G, as}, Mu))},
    {0xF9, Pf(I("movdiri", My, Gy))},
    {0xFA, Pf(Bad, Bad, I("encodekey128", Gd, Rd))},
    {0xFC, Pf(I("aadd", My, Gy), I("aand", My, Gy), I("axor", My, Gy), I("aor", My, Gy))},
    {0xFB, Pf(Bad, Bad, I("encodekey256", Gd, Rd))},
};

constexpr TKroPrefixedEntry Sse3A(const char* Name) {
    return Pf(Bad, I(Name, Vx, Hx, Wx, Ib));
}
constexpr TKroPrefixedEntry Sse3A(const char* Name, TKroArg A, TKroArg B, TKroArg C = {}) {
    return Pf(Bad, I(Name, A, B, C, Ib));
}

constexpr TSparse List0F3A[] = {
    {0x08, Sse3A("roundps", Vx, Wx)},
    {0x09, Sse3A("roundpd", Vx, Wx)},
    {0x0A, Sse3A("roundss", Vss, Hss, Wss)},
    {0x0B, Sse3A("roundsd", Vsd, Hsd, Wsd)},
    {0x0C, Sse3A("blendps")},
    {0x0D, Sse3A("blendpd")},
    {0x0E, Sse3A("pblendw")},
    {0x0F, Pf(I("palignr", Pq, Qq, Ib).With(KfNoVex), I("palignr", Vx, Hx, Wx, Ib))},
    {0x14, Pf(Bad, ModSel(PextrB.data()))},
    {0x15, Pf(Bad, ModSel(PextrW.data()))},
    {0x16, Sse3A("pextr<d|q>", Ey, Vdq)},
    {0x17, Sse3A("extractps", Ed, Vdq)},
    {0x20, Pf(Bad, ModSel(PinsrB.data()))},
    {0x21, Sse3A("insertps", Vdq, Hdq, Wd)},
    {0x22, Pf(Bad, I("pinsr<d|q>", Vdq, Hdq, Ey, Ib))},
    {0x40, Sse3A("dpps")},
    {0x41, Sse3A("dppd")},
    {0x42, Sse3A("mpsadbw")},
    {0x44, Pf(Bad, I("pclmul%cdq", Vx, Hx, Wx, Ib).With(KfPredicate))},
    {0x60, Pf(Bad, I("pcmpestr{m|mq}", Vdq, Wdq, Ib).With(KfNoWrite))},
    {0x61, Pf(Bad, I("pcmpestr{i|iq}", Vdq, Wdq, Ib).With(KfNoWrite).Clobbering(KcCX))},
    {0x62, Pf(Bad, I("pcmpistrm", Vdq, Wdq, Ib).With(KfNoWrite))},
    {0x63, Pf(Bad, I("pcmpistri", Vdq, Wdq, Ib).With(KfNoWrite).Clobbering(KcCX))},
    {0xCC, Pf(I("sha1rnds4", Vdq, Wdq, Ib))},
    {0xCE, Sse3A("gf2p8affineqb")},
    {0xCF, Sse3A("gf2p8affineinvqb")},
    {0xDF, Sse3A("aeskeygenassist", Vdq, Wdq)},
};

constexpr TKroPrefixedMap Map0F38 = Build(List0F38);
constexpr TKroPrefixedMap Map0F3A = Build(List0F3A);

} // namespace

const TKroPrefixedMap& KroMap0F38() {
    return Map0F38;
}
const TKroPrefixedMap& KroMap0F3A() {
    return Map0F3A;
}
