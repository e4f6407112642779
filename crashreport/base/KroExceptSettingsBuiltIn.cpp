#include "KroExceptSettings.h"

// The record of a program whose build target did not generate its own (kroexcept_settings in CMake): the built-in
// values. Weak, so that a generated record takes its place; kept alone in its file so that the linker takes this
// object from the library only when no generated record exists.
[[gnu::weak]] constinit TExceptSettings ExceptSettings = BuiltInSettings;
