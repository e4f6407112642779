#pragma once

#include "BenchWorlds.h"

namespace bench {

// The first letters of names the keystroke benchmarks type: one that many names begin with, and one that none
// does (the search then looks at every row).
inline constexpr char16_t KeystrokeHit[] = u"m";
inline constexpr char16_t KeystrokeMiss[] = u"\u0416";

// Registers, for each world size: ModelReload (the data model's Load into a database that holds the world
// already, as every Load Data after the first), EditorLoad (Load Data in the main window), ShowAll and Search over
// the people in a list view (each with the rows sorted and the view painted), KeystrokeHit and KeystrokeMiss (one
// letter typed into that list, listing everyone).
void RegisterEditorBenchmarks();
// Frees the main window the benchmarks used; before the application object goes.
void ReleaseEditor();

// In a child process: the main window loads the world of People persons through Load Data; the child's resident
// memory afterwards and the load's time. Must run before this process creates its own application object.
TResident EditorResidentAfterLoad(int People);

} // namespace bench
