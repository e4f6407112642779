#include "PyxPersonLanguage.h"

#include "PyxLanguage.h"
#include "PyxPeople.h"

std::unique_ptr<TPyxPersonLanguage> TPyxPersonLanguage::Clone() const {
    auto L = std::make_unique<TPyxPersonLanguage>();
    L->Person = Person;
    L->Language = Language;
    L->Level = Level;
    return L;
}

void TPyxPersonLanguage::LoadFromStream(TPyxFileStream& Stream) {
    PersonKey = Stream.ReadInt32();
    LanguageKey = Stream.ReadInt32();
    Level = Stream.ReadByte();
}

void TPyxPersonLanguage::SaveToStream(TPyxFileStream& Stream) const {
    TPyxObject::WriteID(Person, Stream);
    TPyxObject::WriteID(Language, Stream);
    Stream.WriteByte(Level);
}

std::unique_ptr<TPyxPersonLanguage> TPyxPersonLanguageList::ReadItem(TPyxFileStream& Stream, int16_t /*Version*/) {
    auto L = std::make_unique<TPyxPersonLanguage>();
    L->LoadFromStream(Stream);
    return L;
}

void TPyxPersonLanguageList::WriteItem(TPyxFileStream& Stream, int32_t Index, int16_t /*Version*/) const {
    Items(Index)->SaveToStream(Stream);
}

void TPyxPersonLanguageList::ConvertIndexes(const TPyxPeople& People, const TPyxLanguages& Languages) {
    DoStatus("Converting Person Language Indexes");
    auto Loaded = std::move(Items_);
    Items_.clear();
    const int64_t Total = static_cast<int64_t>(Loaded.size());
    for (int64_t I = 0; I < Total; ++I) {
        auto& L = Loaded[static_cast<size_t>(I)];
        L->Person = People.FindByID(L->PersonKey);
        if (L->Person) {
            L->Language = Languages.FindByID(L->LanguageKey);
            L->Person->Languages.Add(std::move(L));
        }
        DoProgress(I, Total);
    }
}
