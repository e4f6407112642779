#pragma once

#include <cstdint>

// The quick test a stack value passes before the tracer looks at it closer: do the bytes before it end in a call
// instruction? The 8 bytes before the value are enough for every call form of x86-64 code: the relative call (E8 and a
// 32-bit displacement) and the indirect near and far calls (FF /2, FF /3) through a register or memory, with or
// without a REX or other prefix in front. An indirect form counts only when its ModR/M (and SIB) byte asks for
// exactly as many bytes as lie between the FF and the value.

// Bytes holds the 8 bytes before the value, the last one right before it.
bool EndsWithCall(const std::uint8_t (&Bytes)[8]) noexcept;

// The same on memory: false when the 8 bytes before Value cannot be read.
bool FollowsCall(std::uintptr_t Value) noexcept;
