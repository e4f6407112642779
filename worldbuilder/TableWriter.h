#pragma once

#include "FileImage.h"
#include "Records.h"

namespace wb {

// int32 count, then each record, marking the table and every record in the image.
template <class T>
void WriteTable(TFileImage& File, const std::string& Name, const std::vector<T>& Items, int16_t Version) {
    File.Mark(Name);
    File.Bytes.I32(static_cast<int32_t>(Items.size()));
    for (std::size_t I = 0; I < Items.size(); ++I) {
        File.Mark(IndexedName(Name, I));
        WriteRecord(File.Bytes, Items[I], Version);
    }
}

inline void WriteHeader(TFileImage& File, const std::optional<THeader>& Raw, int16_t Version) {
    File.Mark("Header");
    File.Bytes.Raw(Raw ? *Raw : MakeHeader(Version));
}

} // namespace wb
