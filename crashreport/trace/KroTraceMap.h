#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A function the compiler inlined where an address lies: its name, and the unit and line at which the address
// stands in it.
struct TTraceInlined {
    std::string FunctionName;
    std::string UnitName;
    std::int32_t Line = 0;
};

// What the stack tracer asks of a module's debug map: the function (public symbol), unit and source line of an
// address, the functions inlined there, and the module's entry point.
class TTraceMap {
public:
    virtual ~TTraceMap() = default;
    virtual std::uintptr_t EntryPoint() const = 0;
    // The public symbol that holds Address: its name and start; false when there is none.
    virtual bool PublicOf(std::uintptr_t Address, std::string& Name, std::uintptr_t& Start) const = 0;
    // The unit (source file without folder and extension) of Address, empty when unknown.
    virtual std::string UnitOf(std::uintptr_t Address) const = 0;
    // The source line of Address, 0 when unknown.
    virtual std::int32_t LineOf(std::uintptr_t Address) const = 0;
    // The functions inlined where Address lies, innermost first; the public, unit and line above are those of the
    // outermost function, which holds them. Empty outside inlined code.
    virtual std::vector<TTraceInlined> InlinedAt(std::uintptr_t Address) const = 0;
};

// The debug map of the module whose ELF header lies at ModuleHandle, read from its file Path; null when the module
// carries none (or this build reads none).
std::unique_ptr<TTraceMap> LoadTraceMap(std::uintptr_t ModuleHandle, const std::string& Path);
