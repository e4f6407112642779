#pragma once

#include <cstddef>

// Counts the heap memory that operator new hands out, so the fuzz body can check that loading a file never takes
// more than a small multiple of its size. Linking AllocationMeter.cpp replaces the global operator new and delete.
namespace pyxfuzz {

// Bytes allocated through operator new and not yet freed.
std::size_t LiveBytes();
// The highest LiveBytes() since the last ResetPeak().
std::size_t PeakBytes();
void ResetPeak();

} // namespace pyxfuzz
