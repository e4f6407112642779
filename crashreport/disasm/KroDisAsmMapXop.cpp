// AMD's XOP space (maps 8, 9 and 10): the forms are the same whatever the pp bits say.

#include "KroDisAsmOpcodes.h"

namespace {

using namespace KroOp;

constexpr std::uint64_t Vex = KfVexOnly;

constexpr TKroPrefixedEntry X(const char* Name, TKroArg A, TKroArg B, TKroArg C = {}, TKroArg D = {}) {
    return All(I(Name, A, B, C, D).With(Vex));
}
// Multiply-accumulates: the addend comes from the immediate's register.
constexpr TKroPrefixedEntry X4(const char* Name) {
    return X(Name, Vx, Hx, Wx, Lx);
}
// Compares: the immediate names the condition ("vpcomltb").
constexpr TKroPrefixedEntry Compare(const char* Name) {
    return All(I(Name, Vx, Hx, Wx, Ib).With(Vex | KfPredicate));
}

// XOP.W says which source comes from r/m and which from vvvv (or from the immediate).
constexpr std::array<TKroOpcodeEntry, 2> ByW(const char* Name, TKroArg First, TKroArg Second) {
    return {I(Name, Vx, Second, First).With(Vex), I(Name, Vx, First, Second).With(Vex)};
}
constexpr std::array<TKroOpcodeEntry, 2> SelectForms(const char* Name) {
    return {I(Name, Vx, Hx, Wx, Lx).With(Vex), I(Name, Vx, Hx, Lx, Wx).With(Vex)};
}
constexpr auto Cmov = SelectForms("vpcmov");
constexpr auto Perm = SelectForms("vpperm");
constexpr auto RotB = ByW("vprotb", Hx, Wx);
constexpr auto RotW = ByW("vprotw", Hx, Wx);
constexpr auto RotD = ByW("vprotd", Hx, Wx);
constexpr auto RotQ = ByW("vprotq", Hx, Wx);
constexpr auto ShlB = ByW("vpshlb", Hx, Wx);
constexpr auto ShlW = ByW("vpshlw", Hx, Wx);
constexpr auto ShlD = ByW("vpshld", Hx, Wx);
constexpr auto ShlQ = ByW("vpshlq", Hx, Wx);
constexpr auto ShaB = ByW("vpshab", Hx, Wx);
constexpr auto ShaW = ByW("vpshaw", Hx, Wx);
constexpr auto ShaD = ByW("vpshad", Hx, Wx);
constexpr auto ShaQ = ByW("vpshaq", Hx, Wx);
constexpr TKroPrefixedEntry ByWEntry(const std::array<TKroOpcodeEntry, 2>& Forms) {
    return All(WSel(Forms.data()));
}

constexpr TSparse XopList8[] = {
    {0x85, X4("vpmacssww")},         {0x86, X4("vpmacsswd")},         {0x87, X4("vpmacssdql")},
    {0x8E, X4("vpmacssdd")},         {0x8F, X4("vpmacssdqh")},        {0x95, X4("vpmacsww")},
    {0x96, X4("vpmacswd")},          {0x97, X4("vpmacsdql")},         {0x9E, X4("vpmacsdd")},
    {0x9F, X4("vpmacsdqh")},         {0xA2, ByWEntry(Cmov)},          {0xA3, ByWEntry(Perm)},
    {0xA6, X4("vpmadcsswd")},        {0xB6, X4("vpmadcswd")},         {0xC0, X("vprotb", Vx, Wx, Ib)},
    {0xC1, X("vprotw", Vx, Wx, Ib)}, {0xC2, X("vprotd", Vx, Wx, Ib)}, {0xC3, X("vprotq", Vx, Wx, Ib)},
    {0xCC, Compare("vpcom%xb")},     {0xCD, Compare("vpcom%xw")},     {0xCE, Compare("vpcom%xd")},
    {0xCF, Compare("vpcom%xq")},     {0xEC, Compare("vpcom%xub")},    {0xED, Compare("vpcom%xuw")},
    {0xEE, Compare("vpcom%xud")},    {0xEF, Compare("vpcom%xuq")},
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
    {0x01, All(Grp(Tbm1.data()))},  {0x02, All(Grp(Tbm2.data()))},  {0x12, All(Grp(LwpControl.data()))},
    {0x80, X("vfrczps", Vx, Wx)},   {0x81, X("vfrczpd", Vx, Wx)},   {0x82, X("vfrczss", Vdq, Wss)},
    {0x83, X("vfrczsd", Vdq, Wsd)}, {0x90, ByWEntry(RotB)},         {0x91, ByWEntry(RotW)},
    {0x92, ByWEntry(RotD)},         {0x93, ByWEntry(RotQ)},         {0x94, ByWEntry(ShlB)},
    {0x95, ByWEntry(ShlW)},         {0x96, ByWEntry(ShlD)},         {0x97, ByWEntry(ShlQ)},
    {0x98, ByWEntry(ShaB)},         {0x99, ByWEntry(ShaW)},         {0x9A, ByWEntry(ShaD)},
    {0x9B, ByWEntry(ShaQ)},         {0xC1, X("vphaddbw", Vx, Wx)},  {0xC2, X("vphaddbd", Vx, Wx)},
    {0xC3, X("vphaddbq", Vx, Wx)},  {0xC6, X("vphaddwd", Vx, Wx)},  {0xC7, X("vphaddwq", Vx, Wx)},
    {0xCB, X("vphadddq", Vx, Wx)},  {0xD1, X("vphaddubw", Vx, Wx)}, {0xD2, X("vphaddubd", Vx, Wx)},
    {0xD3, X("vphaddubq", Vx, Wx)}, {0xD6, X("vphadduwd", Vx, Wx)}, {0xD7, X("vphadduwq", Vx, Wx)},
    {0xDB, X("vphaddudq", Vx, Wx)}, {0xE1, X("vphsubbw", Vx, Wx)},  {0xE2, X("vphsubwd", Vx, Wx)},
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

} // namespace

const TKroPrefixedMap& KroXopMap(int Map) {
    return XopMaps[static_cast<std::size_t>((Map - 8) % 3)];
}
