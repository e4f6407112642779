#include "KroThreadCreator.h"

#include "KroMapFileCache.h"

#include <memory>
#include <string>
#include <string_view>

namespace {

// Whether a function name (as the debug map gives it: demangled, a template instance's with its return type first)
// names the C++ library's own code: a function of namespace std or __gnu_cxx.
bool IsCppLibraryFunctionName(std::string_view Name) noexcept {
    // The qualified name is what stands before the parameter list, after the return type (a blank outside any
    // template's brackets); "operator()" and the like keep their own brackets.
    int Depth = 0;
    std::size_t Start = 0;
    std::size_t End = Name.size();
    for (std::size_t I = 0; I < Name.size(); ++I) {
        const char C = Name[I];
        if (C == '<')
            ++Depth;
        else if (C == '>' && Depth > 0)
            --Depth;
        else if (C == ' ' && Depth == 0)
            Start = I + 1;
        else if (C == '(' && Depth == 0 && !Name.substr(Start, I - Start).ends_with("operator")) {
            End = I;
            break;
        }
    }
    const std::string_view Qualified = Name.substr(Start, End - Start);
    return Qualified.starts_with("std::") || Qualified.starts_with("__gnu_cxx::");
}

// Whether the program's debug map puts Address in a function of the C++ library; false when it cannot tell.
bool InCppLibraryCode(std::uintptr_t Address) {
    const std::shared_ptr<const TMapFile> Map = GetMapFileOfAddress(Address);
    if (Map == nullptr || !Map->Valid())
        return false;
    const TMfPublic* Public = Map->GetPublicOfAddress(Address);
    return Public != nullptr && IsCppLibraryFunctionName(Public->Name);
}

} // namespace

std::uintptr_t ThreadCreatorCall(const TThreadInfo& Info) {
    if (Info.CreatorAddress == 0)
        return 0;
    if (!InCppLibraryCode(Info.CreatorAddress))
        return Info.CreatorAddress;
    for (const std::uintptr_t Outer : Info.OuterCreatorCalls)
        if (Outer != 0 && !InCppLibraryCode(Outer))
            return Outer;
    return Info.CreatorAddress;
}
