// The instructions that exist only with a VEX prefix, or are named or shaped differently there. Every other VEX
// instruction is its legacy twin of the same map and mandatory prefix with a "v" in front.

#include "KroDisAsmOpcodes.h"

namespace {

using namespace KroOp;

constexpr std::uint64_t Vex = KfVexOnly;

// Mask register instructions: the name's size letter follows the prefix and VEX.W.
constexpr TKroPrefixedEntry MaskOp(const char* NoPrefix, const char* P66, TKroArg A, TKroArg B, TKroArg C = {}) {
    return Pf(I(NoPrefix, A, B, C).With(Vex), I(P66, A, B, C).With(Vex));
}

// The mask moves to and from memory move as many bytes as the mask's size letter says.
constexpr std::array<TKroOpcodeEntry, 2> KmovLoadWq = {I("kmovw", Kq, KMw).With(Vex), I("kmovq", Kq, KMq).With(Vex)};
constexpr std::array<TKroOpcodeEntry, 2> KmovLoadBd = {I("kmovb", Kq, KMb).With(Vex), I("kmovd", Kq, KMd).With(Vex)};
constexpr std::array<TKroOpcodeEntry, 2> KmovStoreWq = {I("kmovw", Mw, Kq).With(Vex), I("kmovq", Mq, Kq).With(Vex)};
constexpr std::array<TKroOpcodeEntry, 2> KmovStoreBd = {I("kmovb", Mb, Kq).With(Vex), I("kmovd", Md, Kq).With(Vex)};

constexpr std::array<TKroOpcodeEntry, 2> VZero = {I("vzeroupper").With(Vex), I("vzeroall").With(Vex)};

constexpr TSparse VexList1[] = {
    {0x41, MaskOp("kand{w|q}", "kand{b|d}", Kq, KHx, KRq)},
    {0x42, MaskOp("kandn{w|q}", "kandn{b|d}", Kq, KHx, KRq)},
    {0x44, MaskOp("knot{w|q}", "knot{b|d}", Kq, KRq)},
    {0x45, MaskOp("kor{w|q}", "kor{b|d}", Kq, KHx, KRq)},
    {0x46, MaskOp("kxnor{w|q}", "kxnor{b|d}", Kq, KHx, KRq)},
    {0x47, MaskOp("kxor{w|q}", "kxor{b|d}", Kq, KHx, KRq)},
    {0x4A, MaskOp("kadd{w|q}", "kadd{b|d}", Kq, KHx, KRq)},
    {0x4B, MaskOp("kunpck{wd|dq}", "kunpckbw", Kq, KHx, KRq)},
    {0x77, All(LSel(VZero.data()))},
    {0x90, Pf(WSel(KmovLoadWq.data()), WSel(KmovLoadBd.data()))},
    {0x91, Pf(WSel(KmovStoreWq.data()), WSel(KmovStoreBd.data()))},
    {0x92, Pf(I("kmovw", Kq, Rd).With(Vex), I("kmovb", Kq, Rd).With(Vex), Bad, I("kmov<d|q>", Kq, Ry).With(Vex))},
    {0x93, Pf(I("kmovw", Gd, KRq).With(Vex), I("kmovb", Gd, KRq).With(Vex), Bad, I("kmov<d|q>", Gy, KRq).With(Vex))},
    {0x98, MaskOp("kortest{w|q}", "kortest{b|d}", Kq, KRq)},
    {0x99, MaskOp("ktest{w|q}", "ktest{b|d}", Kq, KRq)},
};

// An instruction of the 66 forms of the VEX maps: three vector operands, or the operands given.
constexpr TKroPrefixedEntry V66(const char* Name) {
    return Pf(Bad, I(Name, Vx, Hx, Wx).With(Vex));
}
constexpr TKroPrefixedEntry V66(const char* Name, TKroArg A, TKroArg B, TKroArg C = {}, TKroArg D = {}) {
    return Pf(Bad, I(Name, A, B, C, D).With(Vex));
}

// The fused multiply-adds: ps/pd, or ss/sd on the low element, by VEX.W.
constexpr TKroPrefixedEntry Fma(const char* Name) {
    return V66(Name);
}
constexpr TKroPrefixedEntry FmaScalar(const char* Name) {
    return V66(Name, Vdq, Hdq, Wws);
}

constexpr std::array<TKroOpcodeEntry, 16> Group17 = {
    Bad, I("blsr", By, Ey).With(Vex), I("blsmsk", By, Ey).With(Vex), I("blsi", By, Ey).With(Vex), Bad, Bad, Bad, Bad,
    Bad, I("blsr", By, Ey).With(Vex), I("blsmsk", By, Ey).With(Vex), I("blsi", By, Ey).With(Vex), Bad, Bad, Bad, Bad};

// The tile instructions.
constexpr std::array<TKroOpcodeEntry, 8> TileRelease = {I("tilerelease").With(Vex), Bad, Bad, Bad, Bad, Bad, Bad, Bad};
constexpr std::array<TKroOpcodeEntry, 16> TileConfigLoad = {
    I("ldtilecfg", Mu).With(Vex), Bad, Bad, Bad, Bad, Bad, Bad, Bad,
    RmSel(TileRelease.data()),    Bad, Bad, Bad, Bad, Bad, Bad, Bad};
constexpr std::array<TKroOpcodeEntry, 16> TileConfigStore = {
    I("sttilecfg", Mu).With(Vex), Bad, Bad, Bad, Bad, Bad, Bad, Bad, Bad, Bad, Bad, Bad, Bad, Bad, Bad, Bad};
constexpr std::array<TKroOpcodeEntry, 2> TileZero = {Bad, I("tilezero", {T, u}).With(Vex)};
constexpr TKroOpcodeEntry TileOp(const char* Name) {
    return I(Name, {T, u}, {TR, u}, {TH, u}).With(Vex);
}

// Gathers: the data, the memory with its vector index, the mask. With qword indexes and dword data the data and
// the mask are half as wide as the index.
constexpr std::array<TKroOpcodeEntry, 2> GatherD = {I("vpgatherdd", Vx, VsibXd, Hx).With(Vex),
                                                    I("vpgatherdq", Vx, VsibHq, Hx).With(Vex)};
constexpr std::array<TKroOpcodeEntry, 2> GatherQ = {I("vpgatherqd", Vhx, VsibXd, Hhx).With(Vex),
                                                    I("vpgatherqq", Vx, VsibXq, Hx).With(Vex)};
constexpr std::array<TKroOpcodeEntry, 2> GatherDp = {I("vgatherdps", Vx, VsibXd, Hx).With(Vex),
                                                     I("vgatherdpd", Vx, VsibHq, Hx).With(Vex)};
constexpr std::array<TKroOpcodeEntry, 2> GatherQp = {I("vgatherqps", Vhx, VsibXd, Hhx).With(Vex),
                                                     I("vgatherqpd", Vx, VsibXq, Hx).With(Vex)};

// The dot products of bytes, signed and unsigned by the prefix.
constexpr TKroOpcodeEntry Dot(const char* Name) {
    return I(Name, Vx, Hx, Wx).With(Vex);
}

// CMPccXADD: the condition names as the manuals spell them for this instruction.
constexpr TKroPrefixedEntry CmpXadd(const char* Name) {
    return Pf(Bad, I(Name, {M, y}, Gy, By).With(Vex));
}

constexpr TSparse VexList2[] = {
    {0x0C, V66("vpermilps")},
    {0x0D, V66("vpermilpd")},
    {0x0E, V66("vtestps", Vx, Wx)},
    {0x0F, V66("vtestpd", Vx, Wx)},
    {0x13, V66("vcvtph2ps", Vx, Whx)},
    {0x16, V66("vpermps")},
    {0x18, V66("vbroadcastss", Vx, Wd)},
    {0x19, V66("vbroadcastsd", Vqq, Wq)},
    {0x1A, V66("vbroadcastf128", Vqq, Mdq)},
    {0x2C, V66("vmaskmovps", Vx, Hx, Mx)},
    {0x2D, V66("vmaskmovpd", Vx, Hx, Mx)},
    {0x2E, V66("vmaskmovps", Mx, Hx, Vx)},
    {0x2F, V66("vmaskmovpd", Mx, Hx, Vx)},
    {0x36, V66("vpermd")},
    {0x45, V66("vpsrlv{d|q}")},
    {0x46, V66("vpsravd")},
    {0x47, V66("vpsllv{d|q}")},
    {0x49, Pf(Grp(TileConfigLoad.data()), Grp(TileConfigStore.data()), Bad, ModSel(TileZero.data()))},
    {0x4B, Pf(Bad, I("tileloaddt1", {T, u}, Mu).With(Vex), I("tilestored", Mu, {T, u}).With(Vex),
              I("tileloadd", {T, u}, Mu).With(Vex))},
    {0x50, Pf(Dot("vpdpbuud"), Dot("vpdpbusd"), Dot("vpdpbsud"), Dot("vpdpbssd"))},
    {0x51, Pf(Dot("vpdpbuuds"), Dot("vpdpbusds"), Dot("vpdpbsuds"), Dot("vpdpbssds"))},
    {0x52, V66("vpdpwssd")},
    {0x53, V66("vpdpwssds")},
    {0x58, V66("vpbroadcastd", Vx, Wd)},
    {0x59, V66("vpbroadcastq", Vx, Wq)},
    {0x5A, V66("vbroadcasti128", Vqq, Mdq)},
    {0x5C, Pf(Bad, Bad, TileOp("tdpbf16ps"), TileOp("tdpfp16ps"))},
    {0x5E, Pf(TileOp("tdpbuud"), TileOp("tdpbusd"), TileOp("tdpbsud"), TileOp("tdpbssd"))},
    {0x72, Pf(Bad, Bad, I("vcvtneps2bf16", Vdq, Wx).With(Vex))},
    {0x78, V66("vpbroadcastb", Vx, Wb)},
    {0x79, V66("vpbroadcastw", Vx, Ww)},
    {0x8C, V66("vpmaskmov{d|q}", Vx, Hx, Mx)},
    {0x8E, V66("vpmaskmov{d|q}", Mx, Hx, Vx)},
    {0x90, Pf(Bad, WSel(GatherD.data()))},
    {0x91, Pf(Bad, WSel(GatherQ.data()))},
    {0x92, Pf(Bad, WSel(GatherDp.data()))},
    {0x93, Pf(Bad, WSel(GatherQp.data()))},
    {0x96, Fma("vfmaddsub132{ps|pd}")},
    {0x97, Fma("vfmsubadd132{ps|pd}")},
    {0x98, Fma("vfmadd132{ps|pd}")},
    {0x99, FmaScalar("vfmadd132{ss|sd}")},
    {0x9A, Fma("vfmsub132{ps|pd}")},
    {0x9B, FmaScalar("vfmsub132{ss|sd}")},
    {0x9C, Fma("vfnmadd132{ps|pd}")},
    {0x9D, FmaScalar("vfnmadd132{ss|sd}")},
    {0x9E, Fma("vfnmsub132{ps|pd}")},
    {0x9F, FmaScalar("vfnmsub132{ss|sd}")},
    {0xA6, Fma("vfmaddsub213{ps|pd}")},
    {0xA7, Fma("vfmsubadd213{ps|pd}")},
    {0xA8, Fma("vfmadd213{ps|pd}")},
    {0xA9, FmaScalar("vfmadd213{ss|sd}")},
    {0xAA, Fma("vfmsub213{ps|pd}")},
    {0xAB, FmaScalar("vfmsub213{ss|sd}")},
    {0xAC, Fma("vfnmadd213{ps|pd}")},
    {0xAD, FmaScalar("vfnmadd213{ss|sd}")},
    {0xAE, Fma("vfnmsub213{ps|pd}")},
    {0xAF, FmaScalar("vfnmsub213{ss|sd}")},
    {0xB0, Pf(I("vcvtneoph2ps", Vx, Mx).With(Vex), I("vcvtneeph2ps", Vx, Mx).With(Vex),
              I("vcvtneebf162ps", Vx, Mx).With(Vex), I("vcvtneobf162ps", Vx, Mx).With(Vex))},
    {0xB1, Pf(Bad, I("vbcstnesh2ps", Vx, Mw).With(Vex), I("vbcstnebf162ps", Vx, Mw).With(Vex))},
    {0xB4, V66("vpmadd52luq")},
    {0xB5, V66("vpmadd52huq")},
    {0xB6, Fma("vfmaddsub231{ps|pd}")},
    {0xB7, Fma("vfmsubadd231{ps|pd}")},
    {0xB8, Fma("vfmadd231{ps|pd}")},
    {0xB9, FmaScalar("vfmadd231{ss|sd}")},
    {0xBA, Fma("vfmsub231{ps|pd}")},
    {0xBB, FmaScalar("vfmsub231{ss|sd}")},
    {0xBC, Fma("vfnmadd231{ps|pd}")},
    {0xBD, FmaScalar("vfnmadd231{ss|sd}")},
    {0xBE, Fma("vfnmsub231{ps|pd}")},
    {0xBF, FmaScalar("vfnmsub231{ss|sd}")},
    {0xE0, CmpXadd("cmpoxadd")},
    {0xE1, CmpXadd("cmpnoxadd")},
    {0xE2, CmpXadd("cmpbxadd")},
    {0xE3, CmpXadd("cmpnbxadd")},
    {0xE4, CmpXadd("cmpzxadd")},
    {0xE5, CmpXadd("cmpnzxadd")},
    {0xE6, CmpXadd("cmpbexadd")},
    {0xE7, CmpXadd("cmpnbexadd")},
    {0xE8, CmpXadd("cmpsxadd")},
    {0xE9, CmpXadd("cmpnsxadd")},
    {0xEA, CmpXadd("cmppxadd")},
    {0xEB, CmpXadd("cmpnpxadd")},
    {0xEC, CmpXadd("cmplxadd")},
    {0xED, CmpXadd("cmpnlxadd")},
    {0xEE, CmpXadd("cmplexadd")},
    {0xEF, CmpXadd("cmpnlexadd")},
    {0xF2, Pf(I("andn", Gy, By, Ey).With(Vex))},
    {0xF3, Pf(Grp(Group17.data()))},
    {0xF5, Pf(I("bzhi", Gy, Ey, By).With(Vex), Bad, I("pext", Gy, By, Ey).With(Vex), I("pdep", Gy, By, Ey).With(Vex))},
    {0xF6, Pf(Bad, Bad, Bad, I("mulx", Gy, By, Ey).With(Vex).Clobbering(KcDX))},
    {0xF7, Pf(I("bextr", Gy, Ey, By).With(Vex), I("shlx", Gy, Ey, By).With(Vex), I("sarx", Gy, Ey, By).With(Vex),
              I("shrx", Gy, Ey, By).With(Vex))},
};

constexpr TKroPrefixedEntry V66I(const char* Name) {
    return Pf(Bad, I(Name, Vx, Hx, Wx, Ib).With(Vex));
}
constexpr TKroPrefixedEntry V66I(const char* Name, TKroArg A, TKroArg B, TKroArg C = {}) {
    return Pf(Bad, I(Name, A, B, C, Ib).With(Vex));
}

// AMD's four-operand forms: VEX.W says whether the third source comes from r/m or from the immediate.
constexpr std::array<TKroOpcodeEntry, 2> Fma4Forms(const char* Name, TKroArg R, TKroArg L) {
    return {I(Name, Vx, Hx, R, L).With(Vex), I(Name, Vx, Hx, L, R).With(Vex)};
}
// The scalar ones work on the low element of xmm registers whatever VEX.L says.
constexpr std::array<TKroOpcodeEntry, 2> Fma4Scalar(const char* Name, TKroArg R) {
    return {I(Name, Vdq, Hdq, R, {L, dq}).With(Vex), I(Name, Vdq, Hdq, {L, dq}, R).With(Vex)};
}
constexpr auto FmaddSubPs = Fma4Forms("vfmaddsubps", Wx, Lx);
constexpr auto FmaddSubPd = Fma4Forms("vfmaddsubpd", Wx, Lx);
constexpr auto FmsubAddPs = Fma4Forms("vfmsubaddps", Wx, Lx);
constexpr auto FmsubAddPd = Fma4Forms("vfmsubaddpd", Wx, Lx);
constexpr auto FmaddPs = Fma4Forms("vfmaddps", Wx, Lx);
constexpr auto FmaddPd = Fma4Forms("vfmaddpd", Wx, Lx);
constexpr auto FmaddSs = Fma4Scalar("vfmaddss", Wss);
constexpr auto FmaddSd = Fma4Scalar("vfmaddsd", Wsd);
constexpr auto FmsubPs = Fma4Forms("vfmsubps", Wx, Lx);
constexpr auto FmsubPd = Fma4Forms("vfmsubpd", Wx, Lx);
constexpr auto FmsubSs = Fma4Scalar("vfmsubss", Wss);
constexpr auto FmsubSd = Fma4Scalar("vfmsubsd", Wsd);
constexpr auto FnmaddPs = Fma4Forms("vfnmaddps", Wx, Lx);
constexpr auto FnmaddPd = Fma4Forms("vfnmaddpd", Wx, Lx);
constexpr auto FnmaddSs = Fma4Scalar("vfnmaddss", Wss);
constexpr auto FnmaddSd = Fma4Scalar("vfnmaddsd", Wsd);
constexpr auto FnmsubPs = Fma4Forms("vfnmsubps", Wx, Lx);
constexpr auto FnmsubPd = Fma4Forms("vfnmsubpd", Wx, Lx);
constexpr auto FnmsubSs = Fma4Scalar("vfnmsubss", Wss);
constexpr auto FnmsubSd = Fma4Scalar("vfnmsubsd", Wsd);
constexpr TKroPrefixedEntry Fma4(const std::array<TKroOpcodeEntry, 2>& Forms) {
    return Pf(Bad, WSel(Forms.data()));
}
constexpr std::array<TKroOpcodeEntry, 2> PermIl2Ps = {I("vpermil2ps", Vx, Hx, Wx, Lx, Imm4).With(Vex),
                                                      I("vpermil2ps", Vx, Hx, Lx, Wx, Imm4).With(Vex)};
constexpr std::array<TKroOpcodeEntry, 2> PermIl2Pd = {I("vpermil2pd", Vx, Hx, Wx, Lx, Imm4).With(Vex),
                                                      I("vpermil2pd", Vx, Hx, Lx, Wx, Imm4).With(Vex)};

constexpr TSparse VexList3[] = {
    {0x00, V66I("vpermq", Vqq, Wqq)},
    {0x01, V66I("vpermpd", Vqq, Wqq)},
    {0x02, V66I("vpblendd")},
    {0x04, V66I("vpermilps", Vx, Wx)},
    {0x05, V66I("vpermilpd", Vx, Wx)},
    {0x06, V66I("vperm2f128", Vqq, Hqq, Wqq)},
    {0x18, V66I("vinsertf128", Vqq, Hqq, Wdq)},
    {0x19, V66I("vextractf128", Wdq, Vqq)},
    {0x1D, V66I("vcvtps2ph", Whx, Vx)},
    {0x30, Pf(Bad, I("kshiftr{b|w}", Kq, KRq, Ib).With(Vex))},
    {0x31, Pf(Bad, I("kshiftr{d|q}", Kq, KRq, Ib).With(Vex))},
    {0x32, Pf(Bad, I("kshiftl{b|w}", Kq, KRq, Ib).With(Vex))},
    {0x33, Pf(Bad, I("kshiftl{d|q}", Kq, KRq, Ib).With(Vex))},
    {0x38, V66I("vinserti128", Vqq, Hqq, Wdq)},
    {0x39, V66I("vextracti128", Wdq, Vqq)},
    {0x46, V66I("vperm2i128", Vqq, Hqq, Wqq)},
    {0x48, Pf(Bad, WSel(PermIl2Ps.data()))},
    {0x49, Pf(Bad, WSel(PermIl2Pd.data()))},
    {0x4A, Pf(Bad, I("vblendvps", Vx, Hx, Wx, Lx).With(Vex))},
    {0x4B, Pf(Bad, I("vblendvpd", Vx, Hx, Wx, Lx).With(Vex))},
    {0x4C, Pf(Bad, I("vpblendvb", Vx, Hx, Wx, Lx).With(Vex))},
    {0x5C, Fma4(FmaddSubPs)},
    {0x5D, Fma4(FmaddSubPd)},
    {0x5E, Fma4(FmsubAddPs)},
    {0x5F, Fma4(FmsubAddPd)},
    {0x68, Fma4(FmaddPs)},
    {0x69, Fma4(FmaddPd)},
    {0x6A, Fma4(FmaddSs)},
    {0x6B, Fma4(FmaddSd)},
    {0x6C, Fma4(FmsubPs)},
    {0x6D, Fma4(FmsubPd)},
    {0x6E, Fma4(FmsubSs)},
    {0x6F, Fma4(FmsubSd)},
    {0x78, Fma4(FnmaddPs)},
    {0x79, Fma4(FnmaddPd)},
    {0x7A, Fma4(FnmaddSs)},
    {0x7B, Fma4(FnmaddSd)},
    {0x7C, Fma4(FnmsubPs)},
    {0x7D, Fma4(FnmsubPd)},
    {0x7E, Fma4(FnmsubSs)},
    {0x7F, Fma4(FnmsubSd)},
    {0xF0, Pf(Bad, Bad, Bad, I("rorx", Gy, Ey, Ib).With(Vex))},
};

constexpr std::array<TKroPrefixedMap, 3> VexMaps = {Build(VexList1), Build(VexList2), Build(VexList3)};

} // namespace

const TKroPrefixedMap& KroVexMap(int Map) {
    return VexMaps[static_cast<std::size_t>((Map - 1) % 3)];
}
