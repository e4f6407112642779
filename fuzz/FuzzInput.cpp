#include "FuzzInput.h"

#include <algorithm>

namespace pyxfuzz {

const std::array<const char*, 6> FileNames = {"server_db.dat",     "people_db.dat",  "lang_db.dat",
                                              "pl_hist_index.dat", "pl_hist_id.dat", "pl_hist_dt.dat"};

TFileSet SplitInput(const uint8_t* Data, size_t Size) {
    TFileSet Files;
    size_t Pos = 0;
    for (auto& File : Files) {
        if (Size - Pos < 4)
            break;
        const uint32_t Length = static_cast<uint32_t>(Data[Pos]) | static_cast<uint32_t>(Data[Pos + 1]) << 8 |
                                static_cast<uint32_t>(Data[Pos + 2]) << 16 | static_cast<uint32_t>(Data[Pos + 3]) << 24;
        Pos += 4;
        if (Length == AbsentFile)
            continue;
        const size_t Take = std::min<size_t>(Length, Size - Pos);
        File.emplace(Data + Pos, Data + Pos + Take);
        Pos += Take;
    }
    return Files;
}

std::vector<uint8_t> JoinInput(const TFileSet& Files) {
    std::vector<uint8_t> Out;
    for (const auto& File : Files) {
        const uint32_t Length = File ? static_cast<uint32_t>(File->size()) : AbsentFile;
        for (int Shift = 0; Shift < 32; Shift += 8)
            Out.push_back(static_cast<uint8_t>(Length >> Shift));
        if (File)
            Out.insert(Out.end(), File->begin(), File->end());
    }
    return Out;
}

TPyxMemoryFolder ToFolder(const TFileSet& Files) {
    TPyxMemoryFolder Folder;
    for (size_t I = 0; I < Files.size(); ++I)
        if (Files[I])
            Folder.Files[FileNames[I]] = *Files[I];
    return Folder;
}

} // namespace pyxfuzz
