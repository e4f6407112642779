#pragma once

#include "PyxObjects.h"

// A sponsor: a record of nothing but its keys, carried through.
class TPyxSponsor final : public TPyxObject {
public:
    void SaveToStream(TPyxFileStream& Stream, int16_t Version) const override {
        Stream.WriteByte(0);
        TPyxObject::SaveToStream(Stream, Version);
    }
};

class TPyxSponsors final : public TPyxCollection<TPyxSponsor> {
public:
    TPyxSponsors() : TPyxCollection("Sponsors") {}
    const char* ClassName() const override { return "TPyxSponsors"; }
};
