#pragma once

#include "KroLiveCodeReader.h"

#include <cstdint>

// Functions of this program whose bytes the tests know (KnownFunctions.cpp). They are never called.
extern "C" {
void KroKnownSwitch();
void KroKnownSwitchCall(); // the call instruction inside KroKnownSwitch
void KroKnownHelper();
void KroKnownAbsoluteSwitch();
void KroKnownStackSwitch();
void KroKnownHints();
void KroKnownIndirect();
void KroKnownByteSwitch();
void KroKnownByteStackSwitch();
void KroKnownUnwidenedByte();
extern const std::uint64_t KroKnownPointer;
}

inline std::uint64_t KroKnownAddress(void (*Function)()) {
    return reinterpret_cast<std::uint64_t>(Function);
}

// While it lives, the disassembler names the known functions, as the debug map names ours.
class TKnownNames final {
public:
    TKnownNames();
    TKnownNames(const TKnownNames&) = delete;
    TKnownNames& operator=(const TKnownNames&) = delete;
    ~TKnownNames();
};
