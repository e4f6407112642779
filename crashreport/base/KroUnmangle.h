#pragma once

#include <string>

// Turns a compiler's symbol name into the unit and name a report shows; false (nothing changed) for a plain name.
// - An Itanium C++ name ("_Z...", what our compilers emit) becomes its demangled form, "Kro::Run(int)"; the unit
//   stays empty, since C++ names carry no unit (the debug map and the module name stand for it).
// - A name of the "@Unit@Name$args" form becomes Unit and Name: "::" first turns into "."; the text after the first
//   "$" is cut (a destructor when the character two places after it is "d"); "@" inside the name becomes "."; a name
//   left ending in "." gets "Destroy" or "Create". "@Forms@TApplication@HandleException$qqrp14System@TObject" gives
//   unit "Forms" and name "TApplication.HandleException".
bool UnmangleName(std::string& Name, std::string& UnitName);
