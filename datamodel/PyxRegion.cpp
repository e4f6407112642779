#include "PyxRegion.h"

namespace {

const char16_t* const RegionNames[] = {u"Africa",          u"Asia",           u"Caribbean",   u"Central America",
                                       u"Central Europe",  u"Eastern Europe", u"Middle East", u"North Africa",
                                       u"North America",   u"Oceania",        u"Scandinavia", u"South America",
                                       u"Southern Europe", u"UK & Ireland"};

} // namespace

void TPyxRegion::LoadFromStream(TPyxFileStream& Stream, int16_t Version) {
    TPyxObject::LoadFromStream(Stream, Version);
    auto Index = static_cast<uint32_t>(ID);
    Name = Index < std::size(RegionNames) ? RegionNames[Index] : u"";
}

void TPyxRegion::SaveToStream(TPyxFileStream& Stream, int16_t Version) const {
    Stream.WriteByte(0);
    TPyxObject::SaveToStream(Stream, Version);
}

void TPyxRegions::SaveLangToStream(TPyxFileStream& Stream, int /*LangIndex*/) const {
    Stream.WriteInt32(0);
}
