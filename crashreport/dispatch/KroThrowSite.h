#pragma once

#include "KroExceptObject.h"
#include "KroRecordedPath.h"

#include <cstdint>
#include <typeinfo>

// Where the C++ exceptions of each thread were thrown. The throw itself is seen by the reporter's hook of the
// runtime's throw routine, which records the object, its type, the code address of the throw and the thrower's
// stack position here; the reporter looks them up when an exception reaches it, so that the report starts at the
// throw and not where the exception was caught.

// Records a throw of the calling thread, with the calls it is made in (the return addresses from Address outward, as
// the C++ runtime's unwinder finds them). Allocation-free.
void RecordThrow(const void* Object, const std::type_info* Type, std::uintptr_t Address, std::uintptr_t Stack) noexcept;

// The exception the calling thread is handling (inside a catch block, or in a terminate handler), with the address
// and stack position of its throw when the throw was recorded (else 0), and, when Path is given, a copy of the calls
// the throw was made in (Count 0 when unknown). False when no exception is being handled.
bool CurrentException(TExceptObject& Object, std::uintptr_t& Address, std::uintptr_t& Stack,
                      TRecordedPath* Path = nullptr) noexcept;
