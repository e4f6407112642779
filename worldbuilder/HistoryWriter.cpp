#include "TableWriter.h"
#include "Writers.h"

namespace wb {

// Offsets into pl_hist_dt.dat count from the end of its 12-byte header. Each chain is written contiguously, so an
// entry's next offset is the position right after its own 4-byte next field.
THistoryImages HistoryFiles(const THistoryFiles& Histories) {
    THistoryImages Images;
    WriteHeader(Images.Index, Histories.IndexHeader, Histories.IndexVersion);
    WriteHeader(Images.Id, Histories.IdHeader, Histories.IdVersion);
    WriteHeader(Images.Data, Histories.DataHeader, Histories.DataVersion);

    const auto& List = Histories.Histories;
    Images.Index.Mark("Count");
    Images.Index.Bytes.I32(static_cast<int32_t>(List.size()));
    for (std::size_t Slot = 0; Slot < List.size(); ++Slot) {
        Images.Index.Mark(IndexedName("Index", Slot));
        Images.Index.Bytes.I32(List[Slot].PersonUniqueID);
        Images.Index.Bytes.I32(static_cast<int32_t>(Slot));

        TFileImage& Data = Images.Data;
        const std::string SlotName = IndexedName("History", Slot);
        Data.Mark(SlotName);
        const auto First = static_cast<int32_t>(Data.Size() - 12);
        const auto& Entries = List[Slot].Entries;
        for (std::size_t I = 0; I < Entries.size(); ++I) {
            Data.Mark(IndexedName(SlotName, I));
            WriteHistoryEntry(Data.Bytes, Entries[I]);
            Data.Bytes.I32(I + 1 == Entries.size() ? -1 : static_cast<int32_t>(Data.Size() - 8));
        }
        const auto Last = static_cast<int32_t>(Data.Size()) - 25;

        Images.Id.Mark(IndexedName("Slot", Slot));
        Images.Id.Bytes.I32(First);
        Images.Id.Bytes.I32(Last);
    }
    return Images;
}

} // namespace wb
