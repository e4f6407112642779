// The instructions that exist only with a VEX or EVEX prefix, or are named differently there. Every other VEX
// instruction is its legacy twin with a "v" in front.

#include "KroDisAsmOpcodes.h"

namespace {

using namespace KroOp;

constexpr std::uint32_t Vex = KfVexOnly;

// Mask register instructions: the name's size letter follows the prefix and VEX.W.
constexpr TKroPrefixedEntry MaskOp(const char* NoPrefix, const char* P66, TKroArg A, TKroArg B, TKroArg C = {}) {
    return Pf(I(NoPrefix, A, B, C).With(Vex), I(P66, A, B, C).With(Vex));
}

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
    {0x90, MaskOp("kmov{w|q}", "kmov{b|d}", Kq, KMq)},
    {0x91, MaskOp("kmov{w|q}", "kmov{b|d}", Mq, Kq)},
    {0x92, Pf(I("kmovw", Kq, Rd).With(Vex), I("kmovb", Kq, Rd).With(Vex), Bad, I("kmov{d|q}", Kq, Ry).With(Vex))},
    {0x93, Pf(I("kmovw", Gd, KRq).With(Vex), I("kmovb", Gd, KRq).With(Vex), Bad, I("kmov{d|q}", Gy, KRq).With(Vex))},
    {0x98, MaskOp("kortest{w|q}", "kortest{b|d}", Kq, KRq)},
    {0x99, MaskOp("ktest{w|q}", "ktest{b|d}", Kq, KRq)},
};

// An instruction of the 66 forms of the VEX maps.
constexpr TKroPrefixedEntry V66(const char* Name, TKroArg A = Vx, TKroArg B = Hx, TKroArg C = Wx, TKroArg D = {}) {
    return Pf(Bad, I(Name, A, B, C, D).With(Vex));
}

// The fused multiply-adds: one opcode per operation and operand order, ps/pd or ss/sd by VEX.W.
constexpr TKroPrefixedEntry Fma(const char* Name) {
    return V66(Name);
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
    {0x50, V66("vpdpbusd")},
    {0x51, V66("vpdpbusds")},
    {0x52, V66("vpdpwssd")},
    {0x53, V66("vpdpwssds")},
    {0x58, V66("vpbroadcastd", Vx, Wd)},
    {0x59, V66("vpbroadcastq", Vx, Wq)},
    {0x5A, V66("vbroadcasti128", Vqq, Mdq)},
    {0x5C, Pf(Bad, Bad, I("tdpbf16ps", {T, u}, {TR, u}, {TH, u}).With(Vex))},
    {0x5E, Pf(I("tdpbuud", {T, u}, {TR, u}, {TH, u}).With(Vex), I("tdpbusd", {T, u}, {TR, u}, {TH, u}).With(Vex),
              I("tdpbsud", {T, u}, {TR, u}, {TH, u}).With(Vex), I("tdpbssd", {T, u}, {TR, u}, {TH, u}).With(Vex))},
    {0x78, V66("vpbroadcastb", Vx, Wb)},
    {0x79, V66("vpbroadcastw", Vx, Ww)},
    {0x8C, V66("vpmaskmov{d|q}", Vx, Hx, Mx)},
    {0x8E, V66("vpmaskmov{d|q}", Mx, Hx, Vx)},
    {0x90, V66("vpgatherd{d|q}", Vx, Mx, Hx)},
    {0x91, V66("vpgatherq{d|q}", Vx, Mx, Hx)},
    {0x92, V66("vgatherd{ps|pd}", Vx, Mx, Hx)},
    {0x93, V66("vgatherq{ps|pd}", Vx, Mx, Hx)},
    {0x96, Fma("vfmaddsub132{ps|pd}")},
    {0x97, Fma("vfmsubadd132{ps|pd}")},
    {0x98, Fma("vfmadd132{ps|pd}")},
    {0x99, Fma("vfmadd132{ss|sd}")},
    {0x9A, Fma("vfmsub132{ps|pd}")},
    {0x9B, Fma("vfmsub132{ss|sd}")},
    {0x9C, Fma("vfnmadd132{ps|pd}")},
    {0x9D, Fma("vfnmadd132{ss|sd}")},
    {0x9E, Fma("vfnmsub132{ps|pd}")},
    {0x9F, Fma("vfnmsub132{ss|sd}")},
    {0xA6, Fma("vfmaddsub213{ps|pd}")},
    {0xA7, Fma("vfmsubadd213{ps|pd}")},
    {0xA8, Fma("vfmadd213{ps|pd}")},
    {0xA9, Fma("vfmadd213{ss|sd}")},
    {0xAA, Fma("vfmsub213{ps|pd}")},
    {0xAB, Fma("vfmsub213{ss|sd}")},
    {0xAC, Fma("vfnmadd213{ps|pd}")},
    {0xAD, Fma("vfnmadd213{ss|sd}")},
    {0xAE, Fma("vfnmsub213{ps|pd}")},
    {0xAF, Fma("vfnmsub213{ss|sd}")},
    {0xB6, Fma("vfmaddsub231{ps|pd}")},
    {0xB7, Fma("vfmsubadd231{ps|pd}")},
    {0xB8, Fma("vfmadd231{ps|pd}")},
    {0xB9, Fma("vfmadd231{ss|sd}")},
    {0xBA, Fma("vfmsub231{ps|pd}")},
    {0xBB, Fma("vfmsub231{ss|sd}")},
    {0xBC, Fma("vfnmadd231{ps|pd}")},
    {0xBD, Fma("vfnmadd231{ss|sd}")},
    {0xBE, Fma("vfnmsub231{ps|pd}")},
    {0xBF, Fma("vfnmsub231{ss|sd}")},
    {0xF2, Pf(I("andn", Gy, By, Ey).With(Vex))},
    {0xF3, Pf(Grp(Group17.data()))},
    {0xF5, Pf(I("bzhi", Gy, Ey, By).With(Vex), Bad, I("pext", Gy, By, Ey).With(Vex), I("pdep", Gy, By, Ey).With(Vex))},
    {0xF6, Pf(Bad, Bad, Bad, I("mulx", Gy, By, Ey).With(Vex).Clobbering(KcDX))},
    {0xF7, Pf(I("bextr", Gy, Ey, By).With(Vex), I("shlx", Gy, Ey, By).With(Vex), I("sarx", Gy, Ey, By).With(Vex),
              I("shrx", Gy, Ey, By).With(Vex))},
};

constexpr TKroPrefixedEntry V66I(const char* Name, TKroArg A = Vx, TKroArg B = Hx, TKroArg C = Wx) {
    return Pf(Bad, I(Name, A, B, C, Ib).With(Vex));
}

constexpr TSparse VexList3[] = {
    {0x00, V66I("vpermq", Vqq, Wqq, {})},
    {0x01, V66I("vpermpd", Vqq, Wqq, {})},
    {0x02, V66I("vpblendd")},
    {0x04, V66I("vpermilps", Vx, Wx, {})},
    {0x05, V66I("vpermilpd", Vx, Wx, {})},
    {0x06, V66I("vperm2f128", Vqq, Hqq, Wqq)},
    {0x18, V66I("vinsertf128", Vqq, Hqq, Wdq)},
    {0x19, V66I("vextractf128", Wdq, Vqq, {})},
    {0x1D, V66I("vcvtps2ph", Whx, Vx, {})},
    {0x30, Pf(Bad, I("kshiftr{b|w}", Kq, KRq, Ib).With(Vex))},
    {0x31, Pf(Bad, I("kshiftr{d|q}", Kq, KRq, Ib).With(Vex))},
    {0x32, Pf(Bad, I("kshiftl{b|w}", Kq, KRq, Ib).With(Vex))},
    {0x33, Pf(Bad, I("kshiftl{d|q}", Kq, KRq, Ib).With(Vex))},
    {0x38, V66I("vinserti128", Vqq, Hqq, Wdq)},
    {0x39, V66I("vextracti128", Wdq, Vqq, {})},
    {0x46, V66I("vperm2i128", Vqq, Hqq, Wqq)},
    {0x4A, Pf(Bad, I("vblendvps", Vx, Hx, Wx, Lx).With(Vex))},
    {0x4B, Pf(Bad, I("vblendvpd", Vx, Hx, Wx, Lx).With(Vex))},
    {0x4C, Pf(Bad, I("vpblendvb", Vx, Hx, Wx, Lx).With(Vex))},
    {0xF0, Pf(Bad, Bad, Bad, I("rorx", Gy, Ey, Ib).With(Vex))},
};

// EVEX: where the name differs from the VEX one (element sizes by EVEX.W), and the EVEX-only instructions.
constexpr std::uint32_t Evex = KfVexOnly | KfEvexOnly;

constexpr TKroPrefixedEntry E66(const char* Name, TKroArg A = Vx, TKroArg B = Hx, TKroArg C = Wx, TKroArg D = {}) {
    return Pf(Bad, I(Name, A, B, C, D).With(Evex));
}
constexpr TKroPrefixedEntry E66I(const char* Name, TKroArg A = Vx, TKroArg B = Hx, TKroArg C = Wx) {
    return Pf(Bad, I(Name, A, B, C, Ib).With(Evex));
}
constexpr TKroArg KV{K, q};

constexpr TSparse EvexList1[] = {
    {0x6F, Pf(Bad, I("vmovdqa{32|64}", Vx, Wx).With(Evex), I("vmovdqu{32|64}", Vx, Wx).With(Evex),
              I("vmovdqu{8|16}", Vx, Wx).With(Evex))},
    {0x7F, Pf(Bad, I("vmovdqa{32|64}", Wx, Vx).With(Evex), I("vmovdqu{32|64}", Wx, Vx).With(Evex),
              I("vmovdqu{8|16}", Wx, Vx).With(Evex))},
    {0x74, E66("vpcmpeqb", KV, Hx, Wx)},
    {0x75, E66("vpcmpeqw", KV, Hx, Wx)},
    {0x76, E66("vpcmpeqd", KV, Hx, Wx)},
    {0x64, E66("vpcmpgtb", KV, Hx, Wx)},
    {0x65, E66("vpcmpgtw", KV, Hx, Wx)},
    {0x66, E66("vpcmpgtd", KV, Hx, Wx)},
    {0xDB, E66("vpand{d|q}")},
    {0xDF, E66("vpandn{d|q}")},
    {0xEB, E66("vpor{d|q}")},
    {0xEF, E66("vpxor{d|q}")},
};

constexpr TSparse EvexList2[] = {
    {0x26, Pf(Bad, I("vptestm{b|w}", KV, Hx, Wx).With(Evex), I("vptestnm{b|w}", KV, Hx, Wx).With(Evex))},
    {0x27, Pf(Bad, I("vptestm{d|q}", KV, Hx, Wx).With(Evex), I("vptestnm{d|q}", KV, Hx, Wx).With(Evex))},
    {0x28, Pf(Bad, I("vpmuldq").With(Evex), I("vpmovm2{b|w}", Vx, KRq).With(Evex))},
    {0x29, Pf(Bad, I("vpcmpeqq", KV, Hx, Wx).With(Evex), I("vpmov{b|w}2m", KV, Ux).With(Evex))},
    {0x37, E66("vpcmpgtq", KV, Hx, Wx)},
    {0x38, Pf(Bad, I("vpminsb").With(Evex), I("vpmovm2{d|q}", Vx, KRq).With(Evex))},
    {0x39, Pf(Bad, I("vpmins{d|q}").With(Evex), I("vpmov{d|q}2m", KV, Ux).With(Evex))},
    {0x3B, E66("vpminu{d|q}")},
    {0x3D, E66("vpmaxs{d|q}")},
    {0x3F, E66("vpmaxu{d|q}")},
    {0x36, E66("vperm{d|q}")},
    {0x16, E66("vpermp{s|d}")},
    {0x8D, E66("vperm{b|w}")},
    {0x1F, E66("vpabsq", Vx, Wx)},
    {0x44, E66("vplzcnt{d|q}", Vx, Wx)},
    {0xC4, E66("vpconflict{d|q}", Vx, Wx)},
    {0x4C, E66("vrcp14p{s|d}", Vx, Wx)},
    {0x4E, E66("vrsqrt14p{s|d}", Vx, Wx)},
    {0x62, E66("vpexpand{b|w}", Vx, Wx)},
    {0x63, E66("vpcompress{b|w}", Wx, Vx)},
    {0x64, E66("vpblendm{d|q}")},
    {0x65, E66("vblendmp{s|d}")},
    {0x66, E66("vpblendm{b|w}")},
    {0x75, E66("vpermi2{b|w}")},
    {0x76, E66("vpermi2{d|q}")},
    {0x77, E66("vpermi2p{s|d}")},
    {0x7A, E66("vpbroadcastb", Vx, Rd)},
    {0x7B, E66("vpbroadcastw", Vx, Rd)},
    {0x7C, E66("vpbroadcast{d|q}", Vx, Ry)},
    {0x7D, E66("vpermt2{b|w}")},
    {0x7E, E66("vpermt2{d|q}")},
    {0x7F, E66("vpermt2p{s|d}")},
    {0x88, E66("vexpandp{s|d}", Vx, Wx)},
    {0x89, E66("vpexpand{d|q}", Vx, Wx)},
    {0x8A, E66("vcompressp{s|d}", Wx, Vx)},
    {0x8B, E66("vpcompress{d|q}", Wx, Vx)},
};

constexpr TSparse EvexList3[] = {
    {0x03, E66I("valign{d|q}")},
    {0x18, E66I("vinsertf{32x4|64x2}", Vx, Hx, Wdq)},
    {0x19, E66I("vextractf{32x4|64x2}", Wdq, Vx, {})},
    {0x1A, E66I("vinsertf{32x8|64x4}", Vx, Hx, Wqq)},
    {0x1B, E66I("vextractf{32x8|64x4}", Wqq, Vx, {})},
    {0x1E, Pf(Bad, I("vpcmp%iu{d|q}", KV, Hx, Wx, Ib).With(Evex | KfPredicate))},
    {0x1F, Pf(Bad, I("vpcmp%i{d|q}", KV, Hx, Wx, Ib).With(Evex | KfPredicate))},
    {0x23, E66I("vshuff{32x4|64x2}")},
    {0x25, E66I("vpternlog{d|q}")},
    {0x38, E66I("vinserti{32x4|64x2}", Vx, Hx, Wdq)},
    {0x39, E66I("vextracti{32x4|64x2}", Wdq, Vx, {})},
    {0x3A, E66I("vinserti{32x8|64x4}", Vx, Hx, Wqq)},
    {0x3B, E66I("vextracti{32x8|64x4}", Wqq, Vx, {})},
    {0x3E, Pf(Bad, I("vpcmp%iu{b|w}", KV, Hx, Wx, Ib).With(Evex | KfPredicate))},
    {0x3F, Pf(Bad, I("vpcmp%i{b|w}", KV, Hx, Wx, Ib).With(Evex | KfPredicate))},
    {0x43, E66I("vshufi{32x4|64x2}")},
};

// AMD's XOP space (maps 8, 9 and 10): the forms are the same whatever the pp bits say.
constexpr TKroPrefixedEntry X(const char* Name, TKroArg A = Vx, TKroArg B = Hx, TKroArg C = Wx, TKroArg D = {}) {
    return All(I(Name, A, B, C, D).With(Vex));
}
constexpr TKroPrefixedEntry X4(const char* Name) {
    return X(Name, Vx, Hx, Wx, Lx);
}
constexpr TKroPrefixedEntry XI(const char* Name) {
    return X(Name, Vx, Wx, Hx, Ib);
}

constexpr TSparse XopList8[] = {
    {0x85, X4("vpmacssww")},
    {0x86, X4("vpmacsswd")},
    {0x87, X4("vpmacssdql")},
    {0x8E, X4("vpmacssdd")},
    {0x8F, X4("vpmacssdqh")},
    {0x95, X4("vpmacsww")},
    {0x96, X4("vpmacswd")},
    {0x97, X4("vpmacsdql")},
    {0x9E, X4("vpmacsdd")},
    {0x9F, X4("vpmacsdqh")},
    {0xA2, X4("vpcmov")},
    {0xA3, X4("vpperm")},
    {0xA6, X4("vpmadcsswd")},
    {0xB6, X4("vpmadcswd")},
    {0xC0, X("vprotb", Vx, Wx, Ib)},
    {0xC1, X("vprotw", Vx, Wx, Ib)},
    {0xC2, X("vprotd", Vx, Wx, Ib)},
    {0xC3, X("vprotq", Vx, Wx, Ib)},
    {0xCC, XI("vpcomb")},
    {0xCD, XI("vpcomw")},
    {0xCE, XI("vpcomd")},
    {0xCF, XI("vpcomq")},
    {0xEC, XI("vpcomub")},
    {0xED, XI("vpcomuw")},
    {0xEE, XI("vpcomud")},
    {0xEF, XI("vpcomuq")},
};

constexpr std::array<TKroOpcodeEntry, 16> Tbm1 = {Bad,
                                                  I("blcfill", By, Ey).With(Vex),
                                                  I("blsfill", By, Ey).With(Vex),
                                                  I("blcs", By, Ey).With(Vex),
                                                  I("tzmsk", By, Ey).With(Vex),
                                                  I("blcic", By, Ey).With(Vex),
                                                  I("blsic", By, Ey).With(Vex),
                                                  I("t1mskc", By, Ey).With(Vex),
                                                  Bad,
                                                  I("blcfill", By, Ey).With(Vex),
                                                  I("blsfill", By, Ey).With(Vex),
                                                  I("blcs", By, Ey).With(Vex),
                                                  I("tzmsk", By, Ey).With(Vex),
                                                  I("blcic", By, Ey).With(Vex),
                                                  I("blsic", By, Ey).With(Vex),
                                                  I("t1mskc", By, Ey).With(Vex)};
constexpr std::array<TKroOpcodeEntry, 16> Tbm2 = {
    Bad, I("blcmsk", By, Ey).With(Vex), Bad, Bad, Bad, Bad, I("blci", By, Ey).With(Vex), Bad,
    Bad, I("blcmsk", By, Ey).With(Vex), Bad, Bad, Bad, Bad, I("blci", By, Ey).With(Vex), Bad};
constexpr std::array<TKroOpcodeEntry, 16> LwpControl = {
    Bad, Bad, Bad, Bad, Bad, Bad, Bad, Bad, I("llwpcb", Ry).With(Vex | KfNoWrite), I("slwpcb", Ry).With(Vex),
    Bad, Bad, Bad, Bad, Bad, Bad};

constexpr TSparse XopList9[] = {
    {0x01, All(Grp(Tbm1.data()))},   {0x02, All(Grp(Tbm2.data()))},   {0x12, All(Grp(LwpControl.data()))},
    {0x80, X("vfrczps", Vx, Wx)},    {0x81, X("vfrczpd", Vx, Wx)},    {0x82, X("vfrczss", Vx, Wx)},
    {0x83, X("vfrczsd", Vx, Wx)},    {0x90, X("vprotb", Vx, Wx, Hx)}, {0x91, X("vprotw", Vx, Wx, Hx)},
    {0x92, X("vprotd", Vx, Wx, Hx)}, {0x93, X("vprotq", Vx, Wx, Hx)}, {0x94, X("vpshlb", Vx, Wx, Hx)},
    {0x95, X("vpshlw", Vx, Wx, Hx)}, {0x96, X("vpshld", Vx, Wx, Hx)}, {0x97, X("vpshlq", Vx, Wx, Hx)},
    {0x98, X("vpshab", Vx, Wx, Hx)}, {0x99, X("vpshaw", Vx, Wx, Hx)}, {0x9A, X("vpshad", Vx, Wx, Hx)},
    {0x9B, X("vpshaq", Vx, Wx, Hx)}, {0xC1, X("vphaddbw", Vx, Wx)},   {0xC2, X("vphaddbd", Vx, Wx)},
    {0xC3, X("vphaddbq", Vx, Wx)},   {0xC6, X("vphaddwd", Vx, Wx)},   {0xC7, X("vphaddwq", Vx, Wx)},
    {0xCB, X("vphadddq", Vx, Wx)},   {0xD1, X("vphaddubw", Vx, Wx)},  {0xD2, X("vphaddubd", Vx, Wx)},
    {0xD3, X("vphaddubq", Vx, Wx)},  {0xD6, X("vphadduwd", Vx, Wx)},  {0xD7, X("vphadduwq", Vx, Wx)},
    {0xDB, X("vphaddudq", Vx, Wx)},  {0xE1, X("vphsubbw", Vx, Wx)},   {0xE2, X("vphsubwd", Vx, Wx)},
    {0xE3, X("vphsubdq", Vx, Wx)},
};

constexpr std::array<TKroOpcodeEntry, 16> LwpInsert = {
    I("lwpins", By, Ed, Id).With(Vex), I("lwpval", By, Ed, Id).With(Vex), Bad, Bad, Bad, Bad, Bad, Bad,
    I("lwpins", By, Ed, Id).With(Vex), I("lwpval", By, Ed, Id).With(Vex), Bad, Bad, Bad, Bad, Bad, Bad};

constexpr TSparse XopList10[] = {
    {0x10, All(I("bextr", Gy, Ey, Id).With(Vex))},
    {0x12, All(Grp(LwpInsert.data()))},
};

constexpr std::array<TKroPrefixedMap, 3> XopMaps = {Build(XopList8), Build(XopList9), Build(XopList10)};

constexpr std::array<TKroPrefixedMap, 3> VexMaps = {Build(VexList1), Build(VexList2), Build(VexList3)};
constexpr std::array<TKroPrefixedMap, 3> EvexMaps = {Build(EvexList1), Build(EvexList2), Build(EvexList3)};

} // namespace

const TKroPrefixedMap& KroVexMap(int Map) {
    return VexMaps[static_cast<std::size_t>((Map - 1) % 3)];
}
const TKroPrefixedMap& KroEvexMap(int Map) {
    return EvexMaps[static_cast<std::size_t>((Map - 1) % 3)];
}
const TKroPrefixedMap& KroXopMap(int Map) {
    return XopMaps[static_cast<std::size_t>((Map - 8) % 3)];
}
