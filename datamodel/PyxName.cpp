#include "PyxName.h"

#include "PyxNation.h"

void TPyxName::LoadFromStream(TPyxFileStream& Stream, int16_t Version) {
    Stream.ReadWideString(Text);
    UseCount = Stream.ReadInt16();
    NationKey = Stream.ReadInt32();
    TPyxObject::LoadFromStream(Stream, Version);
}

void TPyxName::SaveToStream(TPyxFileStream& Stream, int16_t Version) const {
    Stream.WriteByte(0);
    Stream.WriteWideString(Text);
    Stream.WriteInt16(UseCount);
    WriteID(Nation, Stream);
    TPyxObject::SaveToStream(Stream, Version);
}

int TPyxNames::Compare(const TPyxObject* A, const TPyxObject* B) const {
    const auto* NA = static_cast<const TPyxName*>(A);
    const auto* NB = static_cast<const TPyxName*>(B);
    int32_t KA = NA->Nation ? NA->Nation->ID : -1;
    int32_t KB = NB->Nation ? NB->Nation->ID : -1;
    if (KA != KB)
        return KA < KB ? -1 : 1;
    if (NA->UseCount != NB->UseCount)
        return NA->UseCount < NB->UseCount ? -1 : 1;
    return 0;
}

void TPyxNames::Sort() {
    // The base quicksort by Compare, run over keys gathered once: nation ID (none -1) in the high half, use count
    // in the low half, which orders exactly as Compare does.
    if (Count() > 1) {
        std::vector<int64_t> Keys(static_cast<size_t>(Count()));
        for (int32_t I = 0; I < Count(); ++I) {
            const TPyxName* N = Items(I);
            const int64_t Nation = N->Nation ? N->Nation->ID : -1;
            Keys[static_cast<size_t>(I)] = Nation * (int64_t{1} << 32) + N->UseCount;
        }
        SortByKeys(Keys);
    }
    RenumberByIndex();
}

void TPyxNames::ConvertIndexes(const TPyxNations& Nations) {
    LinkEach("Converting Name Indexes", [&](TPyxName* N) { N->Nation = Nations.FindByID(N->NationKey); });
}

TPyxName* TPyxNames::FindOrAdd(const std::u16string& Text, TPyxNation* Nation) {
    for (const auto& E : Items_) {
        auto* N = static_cast<TPyxName*>(E.get());
        if (N->Nation == Nation && N->Text == Text)
            return N;
    }
    auto N = std::make_unique<TPyxName>();
    N->Text = Text;
    N->Nation = Nation;
    // A provisional ID of its own keeps the ID index from pointing one of the loaded names at the new one; the
    // pool is renumbered before it is saved.
    N->ID = NextID();
    N->UniqueID = NextUniqueID();
    return static_cast<TPyxName*>(Add(std::move(N), true));
}

TPyxName* TPyxNames::Acquire(const std::u16string& Text, TPyxNation* Nation) {
    if (Text.empty())
        return nullptr;
    TPyxName* N = FindOrAdd(Text, Nation);
    N->IncUseCount();
    ++N->References;
    return N;
}

void TPyxNames::Release(TPyxName* Name) {
    if (!Name)
        return;
    Name->DecUseCount();
    --Name->References;
    if (Name->UseCount < 1 && Name->References < 1)
        Delete(Name);
}
