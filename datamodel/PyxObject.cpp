#include "PyxObject.h"

TPyxLangObject* TPyxLangObjects::Add(TPyxLanguage* Language) {
    Items_.push_back(CreateLangObject(Language));
    return Items_.back().get();
}

TPyxObject::~TPyxObject() = default;

std::u16string TPyxObject::GetName() const {
    return u"No Name";
}

void TPyxObject::LoadFromStream(TPyxFileStream& Stream, int16_t /*Version*/) {
    ID = Stream.ReadInt32();
    UniqueID = Stream.ReadInt32();
}

void TPyxObject::SaveToStream(TPyxFileStream& Stream, int16_t /*Version*/) const {
    Stream.WriteInt32(ID);
    Stream.WriteInt32(UniqueID);
}

void TPyxObject::LoadLangFromStream(TPyxFileStream& /*Stream*/) {}

void TPyxObject::SaveLangToStream(TPyxFileStream& /*Stream*/) const {}

bool TPyxObject::Matches(const std::u16string& /*Text*/) const {
    return false;
}

void TPyxObject::AddLangObject(TPyxLanguage* Language) {
    if (LangObjects)
        LangObjects->Add(Language);
}

void TPyxObject::LoadIntoLastLang(TPyxFileStream& Stream) {
    if (LangObjects && LangObjects->Count() > 0)
        LangObjects->Items(LangObjects->Count() - 1)->LoadFromStream(Stream);
}
