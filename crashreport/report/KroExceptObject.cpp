#include "KroExceptObject.h"

#include "KroDemangle.h"
#include "KroException.h"
#include "KroSafeRead.h"

#include <cstdint>
#include <cxxabi.h>
#include <exception>

namespace {

constexpr const char* UnknownText = "Unknown";
constexpr std::size_t MaxNameLength = 4096;
constexpr std::size_t MaxMessageLength = 64 * 1024;

// A zero-terminated text of unknown validity, read piece by piece so that a text ending just before an unmapped page
// is still read whole; empty when its first byte cannot be read. Cut at Limit bytes.
std::string SafeCString(const char* Text, std::size_t Limit) {
    std::string Result;
    if (Text == nullptr)
        return Result;
    char Piece[64];
    std::uintptr_t Address = reinterpret_cast<std::uintptr_t>(Text);
    while (Result.size() < Limit) {
        // Never read across a page end in one go: the next page may be the unmapped one.
        const std::size_t ToPageEnd = 4096 - (Address & 4095);
        const std::size_t Count = ToPageEnd < sizeof Piece ? ToPageEnd : sizeof Piece;
        if (!KroSafeRead(Address, Piece, Count))
            break;
        for (std::size_t I = 0; I < Count; ++I) {
            if (Piece[I] == '\0' || Result.size() >= Limit)
                return Result;
            Result.push_back(Piece[I]);
        }
        Address += Count;
    }
    return Result;
}

// A type_info we may call: its own vtable pointer and its name pointer are readable, and so is the name.
bool TypeReadable(const std::type_info* Type) {
    if (Type == nullptr)
        return false;
    const void* Words[2];
    if (!KroSafeRead(reinterpret_cast<std::uintptr_t>(Type), Words, sizeof Words) || Words[0] == nullptr)
        return false;
    char First;
    return KroSafeRead(reinterpret_cast<std::uintptr_t>(Words[1]), &First, 1);
}

// An object whose virtual functions we may call: its vtable pointer and the vtable's first slots are readable.
bool PolymorphicObjectReadable(const void* Object) {
    std::uintptr_t VTable = 0;
    if (!KroSafeRead(reinterpret_cast<std::uintptr_t>(Object), &VTable, sizeof VTable) || VTable == 0)
        return false;
    std::uintptr_t Slots[4];
    return KroSafeRead(VTable - 2 * sizeof(std::uintptr_t), Slots, sizeof Slots);
}

std::string Demangled(const std::type_info& Type) {
    const std::string Mangled = SafeCString(Type.name(), MaxNameLength);
    if (Mangled.empty())
        return Mangled;
    std::string Readable;
    return KroDemangleType(Mangled.c_str(), Readable) ? Readable : Mangled;
}

// Walks the class and its bases (depth first, at most a few hundred classes, which no real hierarchy reaches).
bool ClassOrBaseNamed(const std::type_info& Type, std::string_view Name, int& Budget) {
    if (--Budget < 0 || !TypeReadable(&Type))
        return false;
    if (Demangled(Type) == Name)
        return true;
    if (const auto* Single = dynamic_cast<const abi::__si_class_type_info*>(&Type))
        return Single->__base_type != nullptr && ClassOrBaseNamed(*Single->__base_type, Name, Budget);
    if (const auto* Multiple = dynamic_cast<const abi::__vmi_class_type_info*>(&Type)) {
        for (unsigned I = 0; I < Multiple->__base_count && I < 64; ++I) {
            const abi::__class_type_info* Base = Multiple->__base_info[I].__base_type;
            if (Base != nullptr && ClassOrBaseNamed(*Base, Name, Budget))
                return true;
        }
    }
    return false;
}

// The object as a T when its dynamic type is T or derives from it publicly and unambiguously, as a handler for T
// would catch it; nullptr otherwise.
template <typename T> const T* CaughtAs(const TExceptObject& Except) {
    void* Adjusted = const_cast<void*>(Except.Object);
    if (!typeid(T).__do_catch(Except.Type, &Adjusted, 1))
        return nullptr;
    return static_cast<const T*>(Adjusted);
}

} // namespace

bool IsClassNamed(const TExceptObject& Except, std::string_view Name) {
    if (Except.Type == nullptr)
        return false;
    int Budget = 256;
    return ClassOrBaseNamed(*Except.Type, Name, Budget);
}

std::string ExceptClassText(const TExceptObject& Except) {
    if (!TypeReadable(Except.Type))
        return UnknownText;
    std::string Name = Demangled(*Except.Type);
    return Name.empty() ? UnknownText : Name;
}

std::string ExceptMessageText(const TExceptObject& Except) {
    if (Except.Empty() || !TypeReadable(Except.Type))
        return UnknownText;
    std::string Message;
    if (*Except.Type == typeid(KroException)) {
        const auto* Kro = static_cast<const KroException*>(Except.Object);
        // The object may be gone: read its text only when the object itself can be read, and the text piece by piece.
        char Probe[sizeof(KroException)];
        if (KroSafeRead(reinterpret_cast<std::uintptr_t>(Kro), Probe, sizeof Probe) &&
            Kro->Message.size() <= MaxMessageLength)
            Message = SafeCString(Kro->Message.data(), Kro->Message.size());
    } else if (IsClassNamed(Except, "std::exception")) {
        // Finding the std::exception inside the object may read the object's own tables (virtual bases): only a
        // readable object is asked, and only a readable one answers.
        const std::exception* Std =
            PolymorphicObjectReadable(Except.Object) ? CaughtAs<std::exception>(Except) : nullptr;
        if (Std != nullptr && PolymorphicObjectReadable(Std))
            Message = SafeCString(Std->what(), MaxMessageLength);
        else if (Std == nullptr && PolymorphicObjectReadable(Except.Object))
            Message = ExceptClassText(Except); // derives from std::exception more than once: no one message
    } else {
        Message = ExceptClassText(Except);
    }
    return Message.empty() ? UnknownText : Message;
}
