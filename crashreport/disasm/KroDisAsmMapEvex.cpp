// The EVEX maps (0F, 0F 38, 0F 3A and the half-precision maps 5 and 6): every instruction that has an EVEX form. An
// entry is either written out (EVEX-only instructions, names that follow EVEX.W, compares into mask registers, rounding
// and exception suppression) or AsVex: the VEX instruction of the same map, opcode and prefix. What is missing here has
// no EVEX form.

#include "KroDisAsmOpcodes.h"

namespace {

using namespace KroOp;

constexpr std::uint64_t Ev = KfVexOnly | KfEvexOnly;
constexpr TKroArg KV{K, q}; // a mask register as destination

constexpr TKroOpcodeEntry E(const char* Name, TKroArg A = {}, TKroArg B = {}, TKroArg C = {}, TKroArg D = {}) {
    return I(Name, A, B, C, D).With(Ev);
}
// With rounding control, or with suppressed exceptions only.
constexpr TKroOpcodeEntry Er(const char* Name, TKroArg A = {}, TKroArg B = {}, TKroArg C = {}, TKroArg D = {}) {
    return E(Name, A, B, C, D).With(KfEr);
}
constexpr TKroOpcodeEntry Sae(const char* Name, TKroArg A = {}, TKroArg B = {}, TKroArg C = {}, TKroArg D = {}) {
    return E(Name, A, B, C, D).With(KfSae);
}
// The 66 forms, which most of the maps are.
constexpr TKroPrefixedEntry P(const TKroOpcodeEntry& Entry) {
    return Pf(Bad, Entry);
}
constexpr TKroPrefixedEntry P(const char* Name) {
    return Pf(Bad, E(Name, Vx, Hx, Wx));
}
constexpr TKroPrefixedEntry PI(const char* Name) {
    return Pf(Bad, E(Name, Vx, Hx, Wx, Ib));
}
constexpr TKroPrefixedEntry Same66 = Pf(Bad, AsVex);
constexpr TKroPrefixedEntry SamePacked = Pf(AsVex, AsVex);

// Half-precision forms broadcast 2-byte elements.
constexpr TKroOpcodeEntry Half(const TKroOpcodeEntry& Entry) {
    return Entry.With(KfHalfElements);
}

// Packed, packed, scalar and scalar forms of an arithmetic operation.
constexpr TKroPrefixedEntry Arith(const char* Ps, const char* Pd, const char* Ss, const char* Sd, std::uint64_t Kind) {
    return Pf(E(Ps, Vx, Hx, Wx).With(Kind), E(Pd, Vx, Hx, Wx).With(Kind), E(Ss, Vss, Hss, Wss).With(Kind),
              E(Sd, Vsd, Hsd, Wsd).With(Kind));
}

// Shifts by an immediate (groups 12 to 14): the source may be memory with EVEX.
constexpr std::array<TKroOpcodeEntry, 16> ShiftGroup(const std::array<const char*, 8>& Names) {
    std::array<TKroOpcodeEntry, 16> Group{};
    for (std::size_t I = 0; I < 8; ++I)
        if (Names[I] != nullptr)
            Group[I] = Group[I + 8] = E(Names[I], Hx, Wx, Ib);
    return Group;
}
constexpr auto Group12 = ShiftGroup({nullptr, nullptr, "vpsrlw", nullptr, "vpsraw", nullptr, "vpsllw", nullptr});
constexpr auto Group13 =
    ShiftGroup({"vpror{d|q}", "vprol{d|q}", "vpsrld", nullptr, "vpsra{d|q}", nullptr, "vpslld", nullptr});
constexpr auto Group14 = ShiftGroup({nullptr, nullptr, "vpsrlq", "vpsrldq", nullptr, nullptr, "vpsllq", "vpslldq"});

// Conversions whose operand widths follow EVEX.W.
constexpr std::array<TKroOpcodeEntry, 2> CvtDq2Ps = {Er("vcvtdq2ps", Vx, Wx), Er("vcvtqq2ps", Vhx, Wx)};
constexpr std::array<TKroOpcodeEntry, 2> CvttToUdq = {Sae("vcvttps2udq", Vx, Wx), Sae("vcvttpd2udq", Vhx, Wx)};
constexpr std::array<TKroOpcodeEntry, 2> CvttToUqq = {Sae("vcvttps2uqq", Vx, Whx), Sae("vcvttpd2uqq", Vx, Wx)};
constexpr std::array<TKroOpcodeEntry, 2> CvtToUdq = {Er("vcvtps2udq", Vx, Wx), Er("vcvtpd2udq", Vhx, Wx)};
constexpr std::array<TKroOpcodeEntry, 2> CvtToUqq = {Er("vcvtps2uqq", Vx, Whx), Er("vcvtpd2uqq", Vx, Wx)};
constexpr std::array<TKroOpcodeEntry, 2> CvttToQq = {Sae("vcvttps2qq", Vx, Whx), Sae("vcvttpd2qq", Vx, Wx)};
constexpr std::array<TKroOpcodeEntry, 2> CvtToQq = {Er("vcvtps2qq", Vx, Whx), Er("vcvtpd2qq", Vx, Wx)};
constexpr std::array<TKroOpcodeEntry, 2> CvtUdq2Pd = {E("vcvtudq2pd", Vx, Whx), Er("vcvtuqq2pd", Vx, Wx)};
constexpr std::array<TKroOpcodeEntry, 2> CvtUdq2Ps = {Er("vcvtudq2ps", Vx, Wx), Er("vcvtuqq2ps", Vhx, Wx)};
constexpr std::array<TKroOpcodeEntry, 2> CvtDq2Pd = {E("vcvtdq2pd", Vx, Whx), Er("vcvtqq2pd", Vx, Wx)};
constexpr TKroPrefixedEntry ByW(const std::array<TKroOpcodeEntry, 2>& Forms) {
    return Pf(Bad, WSel(Forms.data()));
}

constexpr TKroOpcodeEntry Cmp = E("vcmp%pps", KV, Hx, Wx, Ib).With(KfSae | KfPredicate);

// clang-format off
constexpr TSparse EvexList1[] = {
    {0x10, Pf(AsVex, AsVex, AsVex, AsVex)},
    {0x11, Pf(AsVex, AsVex, AsVex, AsVex)},
    {0x12, Pf(AsVex, AsVex, AsVex, AsVex)},
    {0x13, SamePacked},
    {0x14, SamePacked},
    {0x15, SamePacked},
    {0x16, Pf(AsVex, AsVex, AsVex)},
    {0x17, SamePacked},
    {0x28, SamePacked},
    {0x29, SamePacked},
    {0x2A, Pf(Bad, Bad, Er("vcvtsi2ss", Vss, Hss, Ey), Er("vcvtsi2sd", Vsd, Hsd, Ey))},
    // The non-temporal moves are listed with a register in the place of memory too: a listing shows the bytes as
    // the instruction they spell, whether or not the processor would take them.
    {0x2B, Pf(E("vmovntps", Wx, Vx), E("vmovntpd", Wx, Vx))},
    {0x2C, Pf(Bad, Bad, Sae("vcvttss2si", Gy, Wss), Sae("vcvttsd2si", Gy, Wsd))},
    {0x2D, Pf(Bad, Bad, Er("vcvtss2si", Gy, Wss), Er("vcvtsd2si", Gy, Wsd))},
    {0x2E, Pf(Sae("vucomiss", Vss, Wss), Sae("vucomisd", Vsd, Wsd))},
    {0x2F, Pf(Sae("vcomiss", Vss, Wss), Sae("vcomisd", Vsd, Wsd))},
    {0x51, Pf(Er("vsqrtps", Vx, Wx), Er("vsqrtpd", Vx, Wx), Er("vsqrtss", Vss, Hss, Wss), Er("vsqrtsd", Vsd, Hsd, Wsd))},
    {0x54, SamePacked},
    {0x55, SamePacked},
    {0x56, SamePacked},
    {0x57, SamePacked},
    {0x58, Arith("vaddps", "vaddpd", "vaddss", "vaddsd", KfEr)},
    {0x59, Arith("vmulps", "vmulpd", "vmulss", "vmulsd", KfEr)},
    {0x5A, Pf(Sae("vcvtps2pd", Vx, Whx), Er("vcvtpd2ps", Vhx, Wx), Sae("vcvtss2sd", Vsd, Hsd, Wss),
              Er("vcvtsd2ss", Vss, Hss, Wsd))},
    {0x5B, Pf(WSel(CvtDq2Ps.data()), Er("vcvtps2dq", Vx, Wx), Sae("vcvttps2dq", Vx, Wx))},
    {0x5C, Arith("vsubps", "vsubpd", "vsubss", "vsubsd", KfEr)},
    {0x5D, Arith("vminps", "vminpd", "vminss", "vminsd", KfSae)},
    {0x5E, Arith("vdivps", "vdivpd", "vdivss", "vdivsd", KfEr)},
    {0x5F, Arith("vmaxps", "vmaxpd", "vmaxss", "vmaxsd", KfSae)},
    {0x60, Same66}, {0x61, Same66}, {0x62, Same66}, {0x63, Same66},
    {0x64, P(E("vpcmpgtb", KV, Hx, Wx))},
    {0x65, P(E("vpcmpgtw", KV, Hx, Wx))},
    {0x66, P(E("vpcmpgtd", KV, Hx, Wx))},
    {0x67, Same66}, {0x68, Same66}, {0x69, Same66}, {0x6A, Same66}, {0x6B, Same66}, {0x6C, Same66}, {0x6D, Same66},
    {0x6E, Same66},
    {0x6F, Pf(Bad, E("vmovdqa{32|64}", Vx, Wx), E("vmovdqu{32|64}", Vx, Wx), E("vmovdqu{8|16}", Vx, Wx))},
    {0x70, Pf(Bad, AsVex, AsVex, AsVex)},
    {0x71, P(Grp(Group12.data()))},
    {0x72, P(Grp(Group13.data()))},
    {0x73, P(Grp(Group14.data()))},
    {0x74, P(E("vpcmpeqb", KV, Hx, Wx))},
    {0x75, P(E("vpcmpeqw", KV, Hx, Wx))},
    {0x76, P(E("vpcmpeqd", KV, Hx, Wx))},
    {0x78, Pf(WSel(CvttToUdq.data()), WSel(CvttToUqq.data()), Sae("vcvttss2usi", Gy, Wss),
              Sae("vcvttsd2usi", Gy, Wsd))},
    {0x79, Pf(WSel(CvtToUdq.data()), WSel(CvtToUqq.data()), Er("vcvtss2usi", Gy, Wss), Er("vcvtsd2usi", Gy, Wsd))},
    {0x7A, Pf(Bad, WSel(CvttToQq.data()), WSel(CvtUdq2Pd.data()), WSel(CvtUdq2Ps.data()))},
    {0x7B, Pf(Bad, WSel(CvtToQq.data()), Er("vcvtusi2ss", Vss, Hss, Ey), Er("vcvtusi2sd", Vsd, Hsd, Ey))},
    {0x7E, Pf(Bad, AsVex, AsVex)},
    {0x7F, Pf(Bad, E("vmovdqa{32|64}", Wx, Vx), E("vmovdqu{32|64}", Wx, Vx), E("vmovdqu{8|16}", Wx, Vx))},
    {0xC2, Pf(Cmp, E("vcmp%ppd", KV, Hx, Wx, Ib).With(KfSae | KfPredicate),
              E("vcmp%pss", KV, Hss, Wss, Ib).With(KfSae | KfPredicate),
              E("vcmp%psd", KV, Hsd, Wsd, Ib).With(KfSae | KfPredicate))},
    {0xC4, Same66},
    {0xC5, Same66},
    {0xC6, SamePacked},
    {0xD1, Same66}, {0xD2, Same66}, {0xD3, Same66}, {0xD4, Same66}, {0xD5, Same66}, {0xD6, Same66},
    {0xD8, Same66}, {0xD9, Same66}, {0xDA, Same66},
    {0xDB, P("vpand{d|q}")},
    {0xDC, Same66}, {0xDD, Same66}, {0xDE, Same66},
    {0xDF, P("vpandn{d|q}")},
    {0xE0, Same66}, {0xE1, Same66},
    {0xE2, P(E("vpsra{d|q}", Vx, Hx, Wdq))},
    {0xE3, Same66}, {0xE4, Same66}, {0xE5, Same66},
    {0xE6, Pf(Bad, Sae("vcvttpd2dq", Vhx, Wx), WSel(CvtDq2Pd.data()), Er("vcvtpd2dq", Vhx, Wx))},
    {0xE7, P(E("vmovntdq", Wx, Vx))}, {0xE8, Same66}, {0xE9, Same66}, {0xEA, Same66},
    {0xEB, P("vpor{d|q}")},
    {0xEC, Same66}, {0xED, Same66}, {0xEE, Same66},
    {0xEF, P("vpxor{d|q}")},
    {0xF1, Same66}, {0xF2, Same66}, {0xF3, Same66}, {0xF4, Same66}, {0xF5, Same66}, {0xF6, Same66},
    {0xF8, Same66}, {0xF9, Same66}, {0xFA, Same66}, {0xFB, Same66}, {0xFC, Same66}, {0xFD, Same66}, {0xFE, Same66},
};

// Broadcasts and gathers whose element or index width follows EVEX.W.
constexpr std::array<TKroOpcodeEntry, 2> BroadcastF2 = {E("vbroadcastf32x2", Vx, Wq), E("vbroadcastsd", Vx, Wq)};
constexpr std::array<TKroOpcodeEntry, 2> BroadcastI2 = {E("vbroadcasti32x2", Vx, Wq), E("vpbroadcastq", Vx, Wq)};
constexpr std::array<TKroOpcodeEntry, 2> GatherD = {E("vpgatherdd", Vx, VsibXd), E("vpgatherdq", Vx, VsibHq)};
constexpr std::array<TKroOpcodeEntry, 2> GatherQ = {E("vpgatherqd", Vhx, VsibXd), E("vpgatherqq", Vx, VsibXq)};
constexpr std::array<TKroOpcodeEntry, 2> GatherDp = {E("vgatherdps", Vx, VsibXd), E("vgatherdpd", Vx, VsibHq)};
constexpr std::array<TKroOpcodeEntry, 2> GatherQp = {E("vgatherqps", Vhx, VsibXd), E("vgatherqpd", Vx, VsibXq)};
constexpr std::array<TKroOpcodeEntry, 2> ScatterD = {E("vpscatterdd", VsibXd, Vx), E("vpscatterdq", VsibHq, Vx)};
constexpr std::array<TKroOpcodeEntry, 2> ScatterQ = {E("vpscatterqd", VsibXd, Vhx), E("vpscatterqq", VsibXq, Vx)};
constexpr std::array<TKroOpcodeEntry, 2> ScatterDp = {E("vscatterdps", VsibXd, Vx), E("vscatterdpd", VsibHq, Vx)};
constexpr std::array<TKroOpcodeEntry, 2> ScatterQp = {E("vscatterqps", VsibXd, Vhx), E("vscatterqpd", VsibXq, Vx)};
constexpr std::array<TKroOpcodeEntry, 2> WordOnly(const char* Name) {
    return {Bad, E(Name, Vx, Hx, Wx)};
}
constexpr auto SrlvW = WordOnly("vpsrlvw");
constexpr auto SravW = WordOnly("vpsravw");
constexpr auto SllvW = WordOnly("vpsllvw");
constexpr auto ShldvW = WordOnly("vpshldvw");
constexpr auto ShrdvW = WordOnly("vpshrdvw");
constexpr auto MulDq = WordOnly("vpmuldq");
constexpr auto Multishift = WordOnly("vpmultishiftqb");
constexpr auto Madd52Lo = WordOnly("vpmadd52luq");
constexpr auto Madd52Hi = WordOnly("vpmadd52huq");
constexpr std::array<TKroOpcodeEntry, 2> PermIlPs = {AsVex, Bad};
constexpr std::array<TKroOpcodeEntry, 2> PermIlPd = {Bad, AsVex};

// A down-converting move (F3 0F38 10-35): the narrower destination is the r/m operand.
constexpr TKroOpcodeEntry Down(const char* Name, TKroArg Destination) {
    return E(Name, Destination, Vx);
}

constexpr TKroOpcodeEntry Fma(const char* Name) {
    return Er(Name, Vx, Hx, Wx);
}
constexpr TKroOpcodeEntry FmaScalar(const char* Name) {
    return Er(Name, Vdq, Hdq, Wws);
}

constexpr TSparse EvexList2[] = {
    {0x00, Same66}, {0x04, Same66}, {0x0B, Same66},
    {0x0C, P(WSel(PermIlPs.data()))},
    {0x0D, P(WSel(PermIlPd.data()))},
    {0x10, Pf(Bad, WSel(SrlvW.data()), Down("vpmovuswb", Whx))},
    {0x11, Pf(Bad, WSel(SravW.data()), Down("vpmovusdb", Wqx))},
    {0x12, Pf(Bad, WSel(SllvW.data()), Down("vpmovusqb", Wex))},
    {0x13, Pf(Bad, Sae("vcvtph2ps", Vx, Whx), Down("vpmovusdw", Whx))},
    {0x14, Pf(Bad, E("vprorv{d|q}", Vx, Hx, Wx), Down("vpmovusqw", Wqx))},
    {0x15, Pf(Bad, E("vprolv{d|q}", Vx, Hx, Wx), Down("vpmovusqd", Whx))},
    {0x16, P("vpermp{s|d}")},
    {0x18, Same66},
    {0x19, P(WSel(BroadcastF2.data()))},
    {0x1A, P(E("vbroadcastf{32x4|64x2}", Vx, Mdq))},
    {0x1B, P(E("vbroadcastf{32x8|64x4}", Vx, Mqq))},
    {0x1C, Same66}, {0x1D, Same66}, {0x1E, Same66},
    {0x1F, P(E("vpabsq", Vx, Wx))},
    {0x20, Pf(Bad, AsVex, Down("vpmovswb", Whx))},
    {0x21, Pf(Bad, AsVex, Down("vpmovsdb", Wqx))},
    {0x22, Pf(Bad, AsVex, Down("vpmovsqb", Wex))},
    {0x23, Pf(Bad, AsVex, Down("vpmovsdw", Whx))},
    {0x24, Pf(Bad, AsVex, Down("vpmovsqw", Wqx))},
    {0x25, Pf(Bad, AsVex, Down("vpmovsqd", Whx))},
    {0x26, Pf(Bad, E("vptestm{b|w}", KV, Hx, Wx), E("vptestnm{b|w}", KV, Hx, Wx))},
    {0x27, Pf(Bad, E("vptestm{d|q}", KV, Hx, Wx), E("vptestnm{d|q}", KV, Hx, Wx))},
    {0x28, Pf(Bad, WSel(MulDq.data()), E("vpmovm2{b|w}", Vx, KRq))},
    {0x29, Pf(Bad, E("vpcmpeqq", KV, Hx, Wx), E("vpmov{b|w}2m", KV, Ux))},
    {0x2A, Pf(Bad, E("vmovntdqa", Vx, Wx), E("vpbroadcastmb2q", Vx, KRq))},
    {0x2B, Same66},
    {0x2C, P(Er("vscalefp{s|d}", Vx, Hx, Wx))},
    {0x2D, P(Er("vscalefs{s|d}", Vdq, Hdq, Wws))},
    {0x30, Pf(Bad, AsVex, Down("vpmovwb", Whx))},
    {0x31, Pf(Bad, AsVex, Down("vpmovdb", Wqx))},
    {0x32, Pf(Bad, AsVex, Down("vpmovqb", Wex))},
    {0x33, Pf(Bad, AsVex, Down("vpmovdw", Whx))},
    {0x34, Pf(Bad, AsVex, Down("vpmovqw", Wqx))},
    {0x35, Pf(Bad, AsVex, Down("vpmovqd", Whx))},
    {0x36, P("vperm{d|q}")},
    {0x37, P(E("vpcmpgtq", KV, Hx, Wx))},
    {0x38, Pf(Bad, AsVex, E("vpmovm2{d|q}", Vx, KRq))},
    {0x39, Pf(Bad, E("vpmins{d|q}", Vx, Hx, Wx), E("vpmov{d|q}2m", KV, Ux))},
    {0x3A, Pf(Bad, AsVex, E("vpbroadcastmw2d", Vx, KRq))},
    {0x3B, P("vpminu{d|q}")},
    {0x3C, Same66},
    {0x3D, P("vpmaxs{d|q}")},
    {0x3E, Same66},
    {0x3F, P("vpmaxu{d|q}")},
    {0x40, P("vpmull{d|q}")},
    {0x42, P(Sae("vgetexpp{s|d}", Vx, Wx))},
    {0x43, P(Sae("vgetexps{s|d}", Vdq, Hdq, Wws))},
    {0x44, P(E("vplzcnt{d|q}", Vx, Wx))},
    {0x45, Same66},
    {0x46, P("vpsrav{d|q}")},
    {0x47, Same66},
    {0x4C, P(E("vrcp14p{s|d}", Vx, Wx))},
    {0x4D, P(E("vrcp14s{s|d}", Vdq, Hdq, Wws))},
    {0x4E, P(E("vrsqrt14p{s|d}", Vx, Wx))},
    {0x4F, P(E("vrsqrt14s{s|d}", Vdq, Hdq, Wws))},
    {0x50, Same66}, {0x51, Same66},
    {0x52, Pf(Bad, AsVex, E("vdpbf16ps", Vx, Hx, Wx), E("vp4dpwssd", Vx, Hx, Mdq))},
    {0x53, Pf(Bad, AsVex, Bad, E("vp4dpwssds", Vx, Hx, Mdq))},
    {0x54, P(E("vpopcnt{b|w}", Vx, Wx))},
    {0x55, P(E("vpopcnt{d|q}", Vx, Wx))},
    {0x58, Same66},
    {0x59, P(WSel(BroadcastI2.data()))},
    {0x5A, P(E("vbroadcasti{32x4|64x2}", Vx, Mdq))},
    {0x5B, P(E("vbroadcasti{32x8|64x4}", Vx, Mqq))},
    {0x62, P(E("vpexpand{b|w}", Vx, Wx).With(KfTuple1Small))},
    {0x63, P(E("vpcompress{b|w}", Wx, Vx).With(KfTuple1Small))},
    {0x64, P("vpblendm{d|q}")},
    {0x65, P("vblendmp{s|d}")},
    {0x66, P("vpblendm{b|w}")},
    {0x68, Pf(Bad, Bad, Bad, E("vp2intersect{d|q}", KV, Hx, Wx))},
    {0x70, P(WSel(ShldvW.data()))},
    {0x71, P("vpshldv{d|q}")},
    {0x72, Pf(Bad, WSel(ShrdvW.data()), E("vcvtneps2bf16", Vhx, Wx), E("vcvtne2ps2bf16", Vx, Hx, Wx))},
    {0x73, P("vpshrdv{d|q}")},
    {0x75, P("vpermi2{b|w}")},
    {0x76, P("vpermi2{d|q}")},
    {0x77, P("vpermi2p{s|d}")},
    {0x78, Same66},
    {0x79, Same66},
    {0x7A, P(E("vpbroadcastb", Vx, Rd))},
    {0x7B, P(E("vpbroadcastw", Vx, Rd))},
    {0x7C, P(E("vpbroadcast<d|q>", Vx, Ry))},
    {0x7D, P("vpermt2{b|w}")},
    {0x7E, P("vpermt2{d|q}")},
    {0x7F, P("vpermt2p{s|d}")},
    {0x83, P(WSel(Multishift.data()))},
    {0x88, P(E("vexpandp{s|d}", Vx, Wx).With(KfTuple1))},
    {0x89, P(E("vpexpand{d|q}", Vx, Wx).With(KfTuple1))},
    {0x8A, P(E("vcompressp{s|d}", Wx, Vx).With(KfTuple1))},
    {0x8B, P(E("vpcompress{d|q}", Wx, Vx).With(KfTuple1))},
    {0x8D, P("vperm{b|w}")},
    {0x8F, P(E("vpshufbitqmb", KV, Hx, Wx))},
    {0x90, P(WSel(GatherD.data()))},
    {0x91, P(WSel(GatherQ.data()))},
    {0x92, P(WSel(GatherDp.data()))},
    {0x93, P(WSel(GatherQp.data()))},
    {0x96, P(Fma("vfmaddsub132p{s|d}"))},
    {0x97, P(Fma("vfmsubadd132p{s|d}"))},
    {0x98, P(Fma("vfmadd132p{s|d}"))},
    {0x99, P(FmaScalar("vfmadd132s{s|d}"))},
    {0x9A, Pf(Bad, Fma("vfmsub132p{s|d}"), Bad, E("v4fmaddps", Vx, Hx, Mdq))},
    {0x9B, Pf(Bad, FmaScalar("vfmsub132s{s|d}"), Bad, E("v4fmaddss", Vdq, Hdq, Mdq))},
    {0x9C, P(Fma("vfnmadd132p{s|d}"))},
    {0x9D, P(FmaScalar("vfnmadd132s{s|d}"))},
    {0x9E, P(Fma("vfnmsub132p{s|d}"))},
    {0x9F, P(FmaScalar("vfnmsub132s{s|d}"))},
    {0xA0, P(WSel(ScatterD.data()))},
    {0xA1, P(WSel(ScatterQ.data()))},
    {0xA2, P(WSel(ScatterDp.data()))},
    {0xA3, P(WSel(ScatterQp.data()))},
    {0xA6, P(Fma("vfmaddsub213p{s|d}"))},
    {0xA7, P(Fma("vfmsubadd213p{s|d}"))},
    {0xA8, P(Fma("vfmadd213p{s|d}"))},
    {0xA9, P(FmaScalar("vfmadd213s{s|d}"))},
    {0xAA, Pf(Bad, Fma("vfmsub213p{s|d}"), Bad, E("v4fnmaddps", Vx, Hx, Mdq))},
    {0xAB, Pf(Bad, FmaScalar("vfmsub213s{s|d}"), Bad, E("v4fnmaddss", Vdq, Hdq, Mdq))},
    {0xAC, P(Fma("vfnmadd213p{s|d}"))},
    {0xAD, P(FmaScalar("vfnmadd213s{s|d}"))},
    {0xAE, P(Fma("vfnmsub213p{s|d}"))},
    {0xAF, P(FmaScalar("vfnmsub213s{s|d}"))},
    {0xB4, P(WSel(Madd52Lo.data()))},
    {0xB5, P(WSel(Madd52Hi.data()))},
    {0xB6, P(Fma("vfmaddsub231p{s|d}"))},
    {0xB7, P(Fma("vfmsubadd231p{s|d}"))},
    {0xB8, P(Fma("vfmadd231p{s|d}"))},
    {0xB9, P(FmaScalar("vfmadd231s{s|d}"))},
    {0xBA, P(Fma("vfmsub231p{s|d}"))},
    {0xBB, P(FmaScalar("vfmsub231s{s|d}"))},
    {0xBC, P(Fma("vfnmadd231p{s|d}"))},
    {0xBD, P(FmaScalar("vfnmadd231s{s|d}"))},
    {0xBE, P(Fma("vfnmsub231p{s|d}"))},
    {0xBF, P(FmaScalar("vfnmsub231s{s|d}"))},
    {0xC4, P(E("vpconflict{d|q}", Vx, Wx))},
    {0xC8, P(Sae("vexp2p{s|d}", Vx, Wx))},
    {0xCA, P(Sae("vrcp28p{s|d}", Vx, Wx))},
    {0xCB, P(Sae("vrcp28s{s|d}", Vdq, Hdq, Wws))},
    {0xCC, P(Sae("vrsqrt28p{s|d}", Vx, Wx))},
    {0xCD, P(Sae("vrsqrt28s{s|d}", Vdq, Hdq, Wws))},
    {0xCF, Same66},
    {0xDC, Same66}, {0xDD, Same66}, {0xDE, Same66}, {0xDF, Same66},
};

constexpr std::array<TKroOpcodeEntry, 2> PermQ = {Bad, E("vpermq", Vx, Wx, Ib)};
constexpr std::array<TKroOpcodeEntry, 2> PermPd = {Bad, E("vpermpd", Vx, Wx, Ib)};
constexpr auto ShldW = std::array<TKroOpcodeEntry, 2>{Bad, E("vpshldw", Vx, Hx, Wx, Ib)};
constexpr auto ShrdW = std::array<TKroOpcodeEntry, 2>{Bad, E("vpshrdw", Vx, Hx, Wx, Ib)};
constexpr TKroOpcodeEntry IntegerCompare(const char* Name) {
    return E(Name, KV, Hx, Wx, Ib).With(KfPredicate);
}

constexpr TSparse EvexList3[] = {
    {0x00, P(WSel(PermQ.data()))},
    {0x01, P(WSel(PermPd.data()))},
    {0x03, PI("valign{d|q}")},
    {0x04, P(WSel(PermIlPs.data()))},
    {0x05, P(WSel(PermIlPd.data()))},
    {0x08, Pf(Half(Sae("vrndscaleph", Vx, Wx, Ib)), Sae("vrndscaleps", Vx, Wx, Ib))},
    {0x09, P(Sae("vrndscalepd", Vx, Wx, Ib))},
    {0x0A, Pf(Sae("vrndscalesh", Vdq, Hdq, Wsh, Ib), Sae("vrndscaless", Vss, Hss, Wss, Ib))},
    {0x0B, P(Sae("vrndscalesd", Vsd, Hsd, Wsd, Ib))},
    {0x0F, Same66},
    {0x14, Same66}, {0x15, Same66}, {0x16, Same66}, {0x17, Same66},
    {0x18, P(E("vinsertf{32x4|64x2}", Vx, Hx, Wdq, Ib))},
    {0x19, P(E("vextractf{32x4|64x2}", Wdq, Vx, Ib))},
    {0x1A, P(E("vinsertf{32x8|64x4}", Vx, Hx, Wqq, Ib))},
    {0x1B, P(E("vextractf{32x8|64x4}", Wqq, Vx, Ib))},
    {0x1D, P(Sae("vcvtps2ph", Whx, Vx, Ib))},
    {0x1E, P(IntegerCompare("vpcmp%iu{d|q}"))},
    {0x1F, P(IntegerCompare("vpcmp%i{d|q}"))},
    {0x20, Same66}, {0x21, Same66}, {0x22, Same66},
    {0x23, PI("vshuff{32x4|64x2}")},
    {0x25, PI("vpternlog{d|q}")},
    {0x26, Pf(Half(Sae("vgetmantph", Vx, Wx, Ib)), Sae("vgetmantp{s|d}", Vx, Wx, Ib))},
    {0x27, Pf(Sae("vgetmantsh", Vdq, Hdq, Wsh, Ib), Sae("vgetmants{s|d}", Vdq, Hdq, Wws, Ib))},
    {0x38, P(E("vinserti{32x4|64x2}", Vx, Hx, Wdq, Ib))},
    {0x39, P(E("vextracti{32x4|64x2}", Wdq, Vx, Ib))},
    {0x3A, P(E("vinserti{32x8|64x4}", Vx, Hx, Wqq, Ib))},
    {0x3B, P(E("vextracti{32x8|64x4}", Wqq, Vx, Ib))},
    {0x3E, P(IntegerCompare("vpcmp%iu{b|w}"))},
    {0x3F, P(IntegerCompare("vpcmp%i{b|w}"))},
    {0x42, PI("vdbpsadbw")},
    {0x43, PI("vshufi{32x4|64x2}")},
    {0x44, Same66},
    {0x50, P(Sae("vrangep{s|d}", Vx, Hx, Wx, Ib))},
    {0x51, P(Sae("vranges{s|d}", Vdq, Hdq, Wws, Ib))},
    {0x54, P(Sae("vfixupimmp{s|d}", Vx, Hx, Wx, Ib))},
    {0x55, P(Sae("vfixupimms{s|d}", Vdq, Hdq, Wws, Ib))},
    {0x56, Pf(Half(Sae("vreduceph", Vx, Wx, Ib)), Sae("vreducep{s|d}", Vx, Wx, Ib))},
    {0x57, Pf(Sae("vreducesh", Vdq, Hdq, Wsh, Ib), Sae("vreduces{s|d}", Vdq, Hdq, Wws, Ib))},
    {0x66, Pf(Half(E("vfpclassph", KV, Wx, Ib)), E("vfpclassp{s|d}", KV, Wx, Ib))},
    {0x67, Pf(E("vfpclasssh", KV, Wsh, Ib), E("vfpclasss{s|d}", KV, Wws, Ib))},
    {0x70, P(WSel(ShldW.data()))},
    {0x71, PI("vpshld{d|q}")},
    {0x72, P(WSel(ShrdW.data()))},
    {0x73, PI("vpshrd{d|q}")},
    {0xC2, Pf(Half(E("vcmp%pph", KV, Hx, Wx, Ib).With(KfSae | KfPredicate)), Bad,
              E("vcmp%psh", KV, Hdq, Wsh, Ib).With(KfSae | KfPredicate))},
    {0xCE, Same66},
    {0xCF, Same66},
};
// The half-precision maps 5 and 6.
constexpr TKroPrefixedEntry HalfArith(const char* Ph, const char* Sh, std::uint64_t Kind) {
    return Pf(Half(E(Ph, Vx, Hx, Wx).With(Kind)), Bad, E(Sh, Vdq, Hdq, Wsh).With(Kind));
}
constexpr std::array<TKroOpcodeEntry, 2> MovShLoad = {E("vmovsh", Vdq, Mw), E("vmovsh", Vdq, Hdq, Udq)};
constexpr std::array<TKroOpcodeEntry, 2> MovShStore = {E("vmovsh", Mw, Vdq), E("vmovsh", Udq, Hdq, Vdq)};
constexpr std::array<TKroOpcodeEntry, 2> MovWLoad = {E("vmovw", Vdq, Mw), E("vmovw", Vdq, Rd)};
constexpr std::array<TKroOpcodeEntry, 2> MovWStore = {E("vmovw", Mw, Vdq), E("vmovw", Rd, Vdq)};
constexpr std::array<TKroOpcodeEntry, 2> CvtToPh5B = {Er("vcvtdq2ph", Vhx, Wx), Er("vcvtqq2ph", Vqx, Wx)};
constexpr std::array<TKroOpcodeEntry, 2> CvtUToPh7A = {Er("vcvtudq2ph", Vhx, Wx), Er("vcvtuqq2ph", Vqx, Wx)};

constexpr TSparse EvexList5[] = {
    {0x10, Pf(Bad, Bad, ModSel(MovShLoad.data()))},
    {0x11, Pf(Bad, Bad, ModSel(MovShStore.data()))},
    {0x1D, Pf(Er("vcvtss2sh", Vdq, Hdq, Wss), Er("vcvtps2phx", Vhx, Wx))},
    {0x2A, Pf(Bad, Bad, Er("vcvtsi2sh", Vdq, Hdq, Ey))},
    {0x2C, Pf(Bad, Bad, Sae("vcvttsh2si", Gy, Wsh))},
    {0x2D, Pf(Bad, Bad, Er("vcvtsh2si", Gy, Wsh))},
    {0x2E, Pf(Sae("vucomish", Vdq, Wsh))},
    {0x2F, Pf(Sae("vcomish", Vdq, Wsh))},
    {0x51, Pf(Half(Er("vsqrtph", Vx, Wx)), Bad, Er("vsqrtsh", Vdq, Hdq, Wsh))},
    {0x58, HalfArith("vaddph", "vaddsh", KfEr)},
    {0x59, HalfArith("vmulph", "vmulsh", KfEr)},
    {0x5A, Pf(Half(Sae("vcvtph2pd", Vx, Wqx)), Er("vcvtpd2ph", Vqx, Wx), Sae("vcvtsh2sd", Vdq, Hdq, Wsh),
              Er("vcvtsd2sh", Vdq, Hdq, Wsd))},
    {0x5B, Pf(WSel(CvtToPh5B.data()), Half(Er("vcvtph2dq", Vx, Whx)), Half(Sae("vcvttph2dq", Vx, Whx)))},
    {0x5C, HalfArith("vsubph", "vsubsh", KfEr)},
    {0x5D, HalfArith("vminph", "vminsh", KfSae)},
    {0x5E, HalfArith("vdivph", "vdivsh", KfEr)},
    {0x5F, HalfArith("vmaxph", "vmaxsh", KfSae)},
    {0x6E, Pf(Bad, ModSel(MovWLoad.data()))},
    {0x78, Pf(Half(Sae("vcvttph2udq", Vx, Whx)), Half(Sae("vcvttph2uqq", Vx, Wqx)), Sae("vcvttsh2usi", Gy, Wsh))},
    {0x79, Pf(Half(Er("vcvtph2udq", Vx, Whx)), Half(Er("vcvtph2uqq", Vx, Wqx)), Er("vcvtsh2usi", Gy, Wsh))},
    {0x7A, Pf(Bad, Half(Sae("vcvttph2qq", Vx, Wqx)), Bad, WSel(CvtUToPh7A.data()))},
    {0x7B, Pf(Bad, Half(Er("vcvtph2qq", Vx, Wqx)), Er("vcvtusi2sh", Vdq, Hdq, Ey))},
    {0x7C, Pf(Half(Sae("vcvttph2uw", Vx, Wx)), Half(Sae("vcvttph2w", Vx, Wx)))},
    {0x7D, Pf(Half(Er("vcvtph2uw", Vx, Wx)), Half(Er("vcvtph2w", Vx, Wx)), Half(Er("vcvtw2ph", Vx, Wx)),
              Half(Er("vcvtuw2ph", Vx, Wx)))},
    {0x7E, Pf(Bad, ModSel(MovWStore.data()))},
};

constexpr TKroPrefixedEntry HalfFma(const char* Name) {
    return P(Half(Er(Name, Vx, Hx, Wx)));
}
constexpr TKroPrefixedEntry HalfFmaScalar(const char* Name) {
    return P(Er(Name, Vdq, Hdq, Wsh));
}

constexpr TSparse EvexList6[] = {
    {0x13, Pf(Sae("vcvtsh2ss", Vdq, Hdq, Wsh), Half(Sae("vcvtph2psx", Vx, Whx)))},
    {0x2C, HalfFma("vscalefph")},
    {0x2D, HalfFmaScalar("vscalefsh")},
    {0x42, P(Half(Sae("vgetexpph", Vx, Wx)))},
    {0x43, P(Sae("vgetexpsh", Vdq, Hdq, Wsh))},
    {0x4C, P(Half(E("vrcpph", Vx, Wx)))},
    {0x4D, P(E("vrcpsh", Vdq, Hdq, Wsh))},
    {0x4E, P(Half(E("vrsqrtph", Vx, Wx)))},
    {0x4F, P(E("vrsqrtsh", Vdq, Hdq, Wsh))},
    {0x56, Pf(Bad, Bad, Er("vfmaddcph", Vx, Hx, Wx), Er("vfcmaddcph", Vx, Hx, Wx))},
    {0x57, Pf(Bad, Bad, Er("vfmaddcsh", Vdq, Hdq, Wd), Er("vfcmaddcsh", Vdq, Hdq, Wd))},
    {0x96, HalfFma("vfmaddsub132ph")},
    {0x97, HalfFma("vfmsubadd132ph")},
    {0x98, HalfFma("vfmadd132ph")},
    {0x99, HalfFmaScalar("vfmadd132sh")},
    {0x9A, HalfFma("vfmsub132ph")},
    {0x9B, HalfFmaScalar("vfmsub132sh")},
    {0x9C, HalfFma("vfnmadd132ph")},
    {0x9D, HalfFmaScalar("vfnmadd132sh")},
    {0x9E, HalfFma("vfnmsub132ph")},
    {0x9F, HalfFmaScalar("vfnmsub132sh")},
    {0xA6, HalfFma("vfmaddsub213ph")},
    {0xA7, HalfFma("vfmsubadd213ph")},
    {0xA8, HalfFma("vfmadd213ph")},
    {0xA9, HalfFmaScalar("vfmadd213sh")},
    {0xAA, HalfFma("vfmsub213ph")},
    {0xAB, HalfFmaScalar("vfmsub213sh")},
    {0xAC, HalfFma("vfnmadd213ph")},
    {0xAD, HalfFmaScalar("vfnmadd213sh")},
    {0xAE, HalfFma("vfnmsub213ph")},
    {0xAF, HalfFmaScalar("vfnmsub213sh")},
    {0xB6, HalfFma("vfmaddsub231ph")},
    {0xB7, HalfFma("vfmsubadd231ph")},
    {0xB8, HalfFma("vfmadd231ph")},
    {0xB9, HalfFmaScalar("vfmadd231sh")},
    {0xBA, HalfFma("vfmsub231ph")},
    {0xBB, HalfFmaScalar("vfmsub231sh")},
    {0xBC, HalfFma("vfnmadd231ph")},
    {0xBD, HalfFmaScalar("vfnmadd231sh")},
    {0xBE, HalfFma("vfnmsub231ph")},
    {0xBF, HalfFmaScalar("vfnmsub231sh")},
    {0xD6, Pf(Bad, Bad, Er("vfmulcph", Vx, Hx, Wx), Er("vfcmulcph", Vx, Hx, Wx))},
    {0xD7, Pf(Bad, Bad, Er("vfmulcsh", Vdq, Hdq, Wd), Er("vfcmulcsh", Vdq, Hdq, Wd))},
};
// clang-format on

constexpr TKroPrefixedMap NoMap{};
constexpr std::array<TKroPrefixedMap, 5> EvexMaps = {Build(EvexList1), Build(EvexList2), Build(EvexList3),
                                                     Build(EvexList5), Build(EvexList6)};

} // namespace

const TKroPrefixedMap& KroEvexMap(int Map) {
    if (Map >= 1 && Map <= 3)
        return EvexMaps[static_cast<std::size_t>(Map - 1)];
    if (Map == 5 || Map == 6)
        return EvexMaps[static_cast<std::size_t>(Map - 2)];
    return NoMap;
}
