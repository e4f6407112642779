#pragma once

#include "KroMapFileInlines.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One segment of a unit: a stretch of a module's code (or data) that one source file produced.
struct TMfSegment final {
    bool Valid = true;
    bool Code = true;
    std::uintptr_t Start = 0; // absolute
    std::int32_t Length = 0;
    std::string UnitName; // without path and extension
};

// One public symbol: a function (or a datum of a data segment) and its absolute address.
struct TMfPublic final {
    bool Valid = true;
    bool Code = true;
    std::string Name;
    std::uintptr_t Address = 0;
};

struct TMfLine final {
    std::int32_t LineNumber = 0;
    std::uintptr_t Address = 0; // absolute
};

// Where a module lies in memory; every offset a map source holds is made absolute against these.
struct TModuleLayout final {
    std::uintptr_t ModuleHandle = 0; // address of the module's first byte (its file header)
    std::uintptr_t CodeStart = 0;
    std::uintptr_t CodeEnd = 0;
    std::uintptr_t DataStart = 0;
    std::uintptr_t DataEnd = 0;
    std::uintptr_t EntryPoint = 0; // 0 = unknown
};

// The debug map of one module: which unit, function and source line an address of the module belongs to. Filled
// from the first source that works: the map embedded in the module file, the linker's binary debug information (a
// ".tds" file), the linker's text map (".map") or a packed map file (".kro") beside the module.
class TMapFile final {
public:
    // Where a public comes from decides the rules it is added by.
    enum class TSource { Packed, TextMap, BinaryDebugInfo };

    TMapFile() = default; // an empty, invalid map

    bool Valid() const { return IsValid; }
    const TModuleLayout& Layout() const { return ModuleLayout; }
    std::uintptr_t EntryPoint() const { return ModuleLayout.EntryPoint; }
    const std::string& ModuleFileName() const { return ModuleFile; }
    const std::string& SourceFileName() const { return SourceFile; }
    const std::vector<TMfSegment>& Segments() const { return SegmentList; }
    const std::vector<TMfPublic>& Publics() const { return PublicList; }
    const std::vector<TMfLine>& Lines() const { return LineList; }

    // The segment that holds the address (start <= address < start + length), or none.
    const TMfSegment* GetSegmentOfAddress(std::uintptr_t Address) const;
    // The public at or below the address and before the next one (the last public reaches to the code end).
    const TMfPublic* GetPublicOfAddress(std::uintptr_t Address) const;
    // The source line of the address, 0 when the map has none for it.
    std::int32_t GetLineOfAddress(std::uintptr_t Address) const;
    // The address of a public of the given unit (case-insensitive unit; name case-insensitive unless Exact), 0 = none.
    std::uintptr_t GetAddressOfPublic(std::string_view Unit, std::string_view Name, bool Code, bool Exact) const;
    // The name of the public at exactly this address, empty when none starts there (the disassembler's labels).
    std::string GetSymbolNameAt(std::uintptr_t Address) const;
    // The functions inlined where the address lies, innermost first, each with the unit and line at which the
    // address stands in it; the public, unit and line of the address are those of the outermost function. Empty
    // outside inlined code and for maps that do not describe it.
    std::vector<TMfInlineFrame> GetInlinedFramesOfAddress(std::uintptr_t Address) const;
    const TMapInlines& Inlines() const { return InlineCode; }

    // Filling, used by the map sources.
    void SetLayout(const TModuleLayout& Layout) { ModuleLayout = Layout; }
    void SetModuleFileName(std::string Name) { ModuleFile = std::move(Name); }
    void SetSourceFileName(std::string Name) { SourceFile = std::move(Name); }
    void SetValid(bool Value) { IsValid = Value; }
    void SetEntryPoint(std::uintptr_t Address) { ModuleLayout.EntryPoint = Address; }
    // Absolute address of a code or data offset of a source.
    std::uintptr_t Absolute(bool Code, std::int64_t Offset) const;
    // Puts the segment in its place among those of its kind (the linker's sources look segments up while they read).
    void AddSegment(bool Code, std::uintptr_t Start, std::int32_t Length, std::string_view UnitName);
    // Adds the segment behind the others; OrderSegments (or Finish) puts them in order. For a source that reads all
    // its segments before it looks any up (a packed map, a text map), so that any number of them, in any order, is
    // read in one pass.
    void AppendSegment(bool Code, std::uintptr_t Start, std::int32_t Length, std::string_view UnitName);
    void OrderSegments();
    void AddPublic(TSource Source, bool Code, std::string Name, std::uintptr_t Address);
    void AddLine(std::int32_t LineNumber, std::uintptr_t Address);
    TMapInlines& MutableInlines() { return InlineCode; }
    // Sorts the publics and lines by address (lookups search them) and keeps each segment from reaching into the
    // next one of its kind.
    void Finish(bool TrimSegments);
    // Forgets segments, publics, lines and inlined code (a damaged body leaves a valid but empty map).
    void Clear();
    // Room for what a source announces, after the source has checked the count against its bytes.
    void Reserve(std::size_t Segments, std::size_t Publics, std::size_t Lines);

private:
    // The segments of one kind: code segments come first, each kind ordered by start.
    std::pair<std::size_t, std::size_t> KindRange(bool Code) const;
    const TMfSegment* SegmentOfKind(bool Code, std::uintptr_t Address) const;

    std::vector<TMfSegment> SegmentList;
    std::size_t LastInserted = static_cast<std::size_t>(-1); // the binary source's current unit
    std::vector<TMfPublic> PublicList;
    std::vector<TMfLine> LineList;
    TMapInlines InlineCode;
    TModuleLayout ModuleLayout;
    bool IsValid = false;
    std::string ModuleFile;
    std::string SourceFile;
};
