#include "KroDemangle.h"

#include <cstdlib>
#include <cxxabi.h>
#include <memory>

namespace {

bool Demangle(const char* Name, std::string& Readable) {
    int Status = 0;
    const std::unique_ptr<char, decltype(&std::free)> Text(abi::__cxa_demangle(Name, nullptr, nullptr, &Status),
                                                           &std::free);
    if (Status != 0 || Text == nullptr)
        return false;
    Readable = Text.get();
    return true;
}

} // namespace

bool KroDemangleSymbol(const std::string& Symbol, std::string& Readable) {
    // Only "_Z" names are mangled symbols: a plain C name may read as the mangling of a type ("i" is "int").
    return Symbol.size() > 2 && Symbol[0] == '_' && Symbol[1] == 'Z' && Demangle(Symbol.c_str(), Readable);
}

std::string KroReadableSymbol(const std::string& Symbol) {
    std::string Readable;
    return KroDemangleSymbol(Symbol, Readable) ? Readable : Symbol;
}

bool KroDemangleType(const char* TypeName, std::string& Readable) {
    return TypeName != nullptr && *TypeName != '\0' && Demangle(TypeName, Readable);
}
