#pragma once

#include <cstddef>
#include <cstdint>

// The body of the load fuzz target, shared by the libFuzzer target and the plain replay driver. It splits the
// input into the six data files (FuzzInput.h), loads them with all languages and playing histories, and when they
// load, saves them, loads the saved files and saves both databases again. It aborts, naming the fault, when
// - loading fails with anything but EAccessDeniedError, EFileCorruptError or EPyxLoadError, or with a message that
//   names neither a data file nor a table, or with an access error although every file is there;
// - a loaded database cannot be saved, or what it saved cannot be loaded;
// - the reloaded database saves other bytes than the original database saved a second time (a save reorders
//   persons and names that tie in the save's sort, the same way in both);
// - the heap grows beyond a small multiple of the input's size.
namespace pyxfuzz {

// Bytes of heap the body may take on top of MemoryFactor times the input size.
constexpr std::size_t MemoryAllowance = 256u << 10;
constexpr std::size_t MemoryFactor = 64;

void RunOne(const uint8_t* Data, std::size_t Size);

} // namespace pyxfuzz
