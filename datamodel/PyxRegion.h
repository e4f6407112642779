#pragma once

#include "PyxObjects.h"

// The regions' language record is empty: a region's name comes from its ID.
struct TPyxRegionTexts {
    void LoadTexts(TPyxFileStream&) {}
    void SaveTexts(TPyxFileStream&) const {}
};

// One of the fourteen fixed regions of the world; its record holds nothing but its keys.
class TPyxRegion final : public TPyxTranslated<TPyxRegionTexts> {
public:
    std::u16string GetName() const override { return Name; }
    void LoadFromStream(TPyxFileStream& Stream, int16_t Version) override;
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const override;

    // Set from the ID after loading; never stored.
    std::u16string Name;
};

class TPyxRegions final : public TPyxCollection<TPyxRegion> {
public:
    TPyxRegions() : TPyxCollection("Regions") {}
    const char* ClassName() const override { return "TPyxRegions"; }
    // The regions' language table is always written empty.
    void SaveLangToStream(TPyxFileStream& Stream, int LangIndex) const override;
};
