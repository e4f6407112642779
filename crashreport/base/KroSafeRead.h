#pragma once

#include <cstddef>
#include <cstdint>

// Reads memory of unknown validity (code of a crashed function, a stack, a module header) without faulting: the
// kernel copies it for us and reports a hole instead of raising a signal inside the reporter.
// True only when all Count bytes were read; address 0 is refused without trying.
bool KroSafeRead(std::uintptr_t Source, void* Dest, std::size_t Count) noexcept;
