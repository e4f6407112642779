#pragma once

#include "PyxSupportClasses.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TPyxLanguage;
class TPyxLangObjects;

// One entity's texts in one extra language of lang_db.dat.
class TPyxLangObject {
public:
    explicit TPyxLangObject(TPyxLanguage* ALanguage) : Language(ALanguage) {}
    virtual ~TPyxLangObject() = default;
    TPyxLangObject(const TPyxLangObject&) = delete;
    TPyxLangObject& operator=(const TPyxLangObject&) = delete;

    // One language record of the kind.
    virtual void LoadFromStream(TPyxFileStream& Stream) = 0;
    virtual void SaveToStream(TPyxFileStream& Stream) const = 0;

    TPyxLanguage* Language; // borrowed
};

// The list of an entity's language objects, one per loaded extra language in directory order.
class TPyxLangObjects {
public:
    virtual ~TPyxLangObjects() = default;
    virtual std::unique_ptr<TPyxLangObject> CreateLangObject(TPyxLanguage* Language) = 0;

    TPyxLangObject* Add(TPyxLanguage* Language);
    void Clear() { Items_.clear(); }
    int32_t Count() const { return static_cast<int32_t>(Items_.size()); }
    TPyxLangObject* Items(int32_t Index) const {
        return Index >= 0 && Index < Count() ? Items_[static_cast<size_t>(Index)].get() : nullptr;
    }

private:
    std::vector<std::unique_ptr<TPyxLangObject>> Items_;
};

// The base of every database entity: its position key ID, its persistent UniqueID (which also keys its texts in
// lang_db.dat) and its texts in the extra languages.
class TPyxObject {
public:
    TPyxObject() = default;
    virtual ~TPyxObject();
    TPyxObject(const TPyxObject&) = delete;
    TPyxObject& operator=(const TPyxObject&) = delete;

    // The display name; "No Name" for kinds without one.
    virtual std::u16string GetName() const;
    // Reads the record body after the record-type byte. Kinds read their own fields, then call this, which reads
    // the tail: int32 ID, int32 UniqueID.
    virtual void LoadFromStream(TPyxFileStream& Stream, int16_t Version);
    // Kinds write their record-type byte and own fields, then call this, which writes the tail.
    virtual void SaveToStream(TPyxFileStream& Stream, int16_t Version) const;
    // Creates the kind's list of language objects; kinds without texts have none.
    virtual void CreateLangObjects() {}
    // The default-language text record, held in the entity's own fields.
    virtual void LoadLangFromStream(TPyxFileStream& Stream);
    virtual void SaveLangToStream(TPyxFileStream& Stream) const;
    // The editor's search predicate.
    virtual bool Matches(const std::u16string& Text) const;
    // True for records that are read to keep the file position and then dropped (retired persons).
    virtual bool DiscardOnLoad() const { return false; }

    void AddLangObject(TPyxLanguage* Language);
    void LoadIntoLastLang(TPyxFileStream& Stream);

    // References by ID (nil is -1) and by UniqueID (nil is 0).
    // Inline: a save writes some ten million references, and the call around each cost more than the write.
    static void WriteID(const TPyxObject* Entity, TPyxFileStream& Stream) {
        Stream.WriteInt32(Entity ? Entity->ID : -1);
    }
    static void WriteUniqueID(const TPyxObject* Entity, TPyxFileStream& Stream) {
        Stream.WriteInt32(Entity ? Entity->UniqueID : 0);
    }

    int32_t ID = 0;
    int32_t UniqueID = 0;
    std::unique_ptr<TPyxLangObjects> LangObjects;
};

// A language object whose texts are the kind's text record Texts (a struct with LoadTexts/SaveTexts).
template <class Texts> class TPyxLangOf final : public TPyxLangObject, public Texts {
public:
    using TPyxLangObject::TPyxLangObject;
    void LoadFromStream(TPyxFileStream& Stream) override { Texts::LoadTexts(Stream); }
    void SaveToStream(TPyxFileStream& Stream) const override { Texts::SaveTexts(Stream); }
};

template <class Lang> class TPyxLangObjectsOf final : public TPyxLangObjects {
public:
    std::unique_ptr<TPyxLangObject> CreateLangObject(TPyxLanguage* Language) override {
        return std::make_unique<Lang>(Language);
    }
    Lang* Items(int32_t Index) const { return static_cast<Lang*>(TPyxLangObjects::Items(Index)); }
};

// The base of a translated kind: its default-language texts are the Texts record held in its own fields, and each
// extra language holds another Texts record.
template <class Texts> class TPyxTranslated : public TPyxObject, public Texts {
public:
    using TLang = TPyxLangOf<Texts>;
    using TLangs = TPyxLangObjectsOf<TLang>;

    void CreateLangObjects() override { LangObjects = std::make_unique<TLangs>(); }
    void LoadLangFromStream(TPyxFileStream& Stream) override { Texts::LoadTexts(Stream); }
    void SaveLangToStream(TPyxFileStream& Stream) const override { Texts::SaveTexts(Stream); }

    // The texts in extra language Index (0-based over the loaded extra languages), or nil.
    TLang* Lang(int32_t Index) const {
        return LangObjects ? static_cast<const TLangs&>(*LangObjects).Items(Index) : nullptr;
    }
};
