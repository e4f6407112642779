#pragma once

#include "KroDisAsmReader.h"

// Who names an address for the disassembler's comments: the module's exports and the debug map plug in here. Each
// returns true with the name of the symbol that starts exactly at the address, and the module's file name when the
// module is not the main program.
using TKroNameResolver = bool (*)(std::uint64_t Address, std::string& Name, std::string& Module);

// Installs (or, with nullptr, removes) the resolvers; exports are asked first, then the debug map.
void KroSetExportNameResolver(TKroNameResolver Resolver) noexcept;
void KroSetSymbolNameResolver(TKroNameResolver Resolver) noexcept;

// The memory of this process: reads go through the safe read, the code range is the mapping that holds an
// address, names come from the installed resolvers.
class TKroLiveCodeReader final : public TKroCodeReader {
public:
    bool Read(std::uint64_t Address, void* Dest, std::size_t Count) const override;
    bool CodeRange(std::uint64_t Address, std::uint64_t& Begin, std::uint64_t& End) const override;
    bool NameOf(std::uint64_t Address, std::string& Name, std::string& Module) const override;
};
