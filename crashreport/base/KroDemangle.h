#pragma once

#include <string>

// The C++ runtime's demangler, the one place the reporter and its tools call it.

// The readable form of a mangled C++ symbol ("_ZN3Kro3RunEi" gives "Kro::Run(int)"); false, with Readable untouched,
// for a plain name or one the demangler refuses.
bool KroDemangleSymbol(const std::string& Symbol, std::string& Readable);

// The symbol's readable form, or the symbol itself when it is no mangled name.
std::string KroReadableSymbol(const std::string& Symbol);

// The readable form of a type's name as std::type_info::name() gives it ("N3Kro6EErrorE" gives "Kro::EError", "i"
// gives "int"); false, with Readable untouched, when the demangler refuses it.
bool KroDemangleType(const char* TypeName, std::string& Readable);
