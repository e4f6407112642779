#include "TableWriter.h"
#include "Writers.h"

namespace wb {

const std::vector<std::string>& LangBlockTables() {
    static const std::vector<std::string> Tables = {"Cities",       "Clubs",   "Continents",   "Injuries",
                                                    "Nations",      "Awards",  "Stadiums",     "Stages",
                                                    "Competitions", "Regions", "Player Types", "Media"};
    return Tables;
}

namespace {

class TLangBlockWriter final {
public:
    TLangBlockWriter(TFileImage& File, const TWorld& World, std::size_t Position)
        : File_(File), World_(World), Position_(Position), Language_(World.LangDirectory[Position]),
          Prefix_(IndexedName("Block", Position) + ".") {}

    void Write() {
        File_.Mark(IndexedName("Block", Position_));
        Table("Cities", World_.Cities);
        Table("Clubs", World_.Clubs);
        Table("Continents", World_.Continents);
        Table("Injuries", World_.Injuries);
        Table("Nations", World_.Nations);
        Table("Awards", World_.Awards);
        Table("Stadiums", World_.Stadiums);
        Table("Stages", World_.Stages);
        Table("Competitions", World_.Competitions);
        Regions();
        Table("Player Types", World_.PlayerTypes);
        Table("Media", World_.Medias);
    }

private:
    std::vector<const TLangExtraRecord*> Extras(const std::string& Name) const {
        std::vector<const TLangExtraRecord*> Result;
        for (const auto& Extra : World_.LangExtraRecords)
            if (Extra.LanguageUniqueID == Language_ && Extra.Table == Name)
                Result.push_back(&Extra);
        return Result;
    }

    void WriteExtras(const std::vector<const TLangExtraRecord*>& Extras) {
        for (const auto* Extra : Extras) {
            File_.Bytes.I32(Extra->UniqueID);
            File_.Bytes.Raw(Extra->Bytes);
        }
    }

    template <class TEntity> void Table(const std::string& Name, const std::vector<TEntity>& Items) {
        const auto ExtraRecords = Extras(Name);
        File_.Mark(Prefix_ + Name);
        File_.Bytes.I32(static_cast<int32_t>(Items.size() + ExtraRecords.size()));
        for (std::size_t I = 0; I < Items.size(); ++I) {
            File_.Mark(IndexedName(Prefix_ + Name, I));
            File_.Bytes.I32(Items[I].UniqueID);
            const auto It = Items[I].Texts.find(Language_);
            if (It != Items[I].Texts.end())
                WriteLangRecord(File_.Bytes, It->second);
            else
                WriteLangRecord(File_.Bytes, typename decltype(Items[I].Texts)::mapped_type{});
        }
        WriteExtras(ExtraRecords);
    }

    // A region's language record is empty; a saved file has no region entries at all.
    void Regions() {
        const auto ExtraRecords = Extras("Regions");
        const std::size_t Own = World_.WriteRegionLangRecords ? World_.Regions.size() : 0;
        File_.Mark(Prefix_ + "Regions");
        File_.Bytes.I32(static_cast<int32_t>(Own + ExtraRecords.size()));
        for (std::size_t I = 0; I < Own; ++I) {
            File_.Mark(IndexedName(Prefix_ + "Regions", I));
            File_.Bytes.I32(World_.Regions[I].UniqueID);
        }
        WriteExtras(ExtraRecords);
    }

    TFileImage& File_;
    const TWorld& World_;
    std::size_t Position_;
    int32_t Language_;
    std::string Prefix_;
};

} // namespace

TFileImage LangFile(const TWorld& World) {
    TFileImage File;
    WriteHeader(File, World.LangHeader, World.LangVersion);
    const std::size_t Count = World.LangDirectory.size();
    File.Mark("Directory");
    File.Bytes.U8(static_cast<uint8_t>(Count));
    for (std::size_t I = 0; I < Count; ++I) {
        File.Mark(IndexedName("Directory", I));
        File.Bytes.I32(World.LangDirectory[I]);
        File.Bytes.I32(0); // the block offset, known once the block is placed
    }
    // Blocks follow one another; each offset counts from the end of the header.
    for (std::size_t I = 0; I < Count; ++I) {
        File.Bytes.PatchI32(File.At(IndexedName("Directory", I)) + 4, static_cast<int32_t>(File.Size() - 12));
        TLangBlockWriter(File, World, I).Write();
    }
    return File;
}

std::vector<int32_t> LangBlockOffsets(const TWorld& World) {
    const TFileImage File = LangFile(World);
    std::vector<int32_t> Offsets;
    for (std::size_t I = 0; I < World.LangDirectory.size(); ++I)
        Offsets.push_back(ReadI32(File.Data(), File.At(IndexedName("Directory", I)) + 4));
    return Offsets;
}

void AlignLangFileOffsets(TWorld& World) {
    const auto Offsets = LangBlockOffsets(World);
    for (std::size_t I = 0; I < Offsets.size(); ++I)
        for (auto& Language : World.Languages)
            if (Language.UniqueID == World.LangDirectory[I])
                Language.LangFileOffset = Offsets[I];
}

} // namespace wb
