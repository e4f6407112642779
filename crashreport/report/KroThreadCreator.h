#pragma once

#include "KroThreadRegistry.h"

#include <cstdint>

// Which of the creating calls a thread's entry keeps the report names as its creator: the first that is not the C++
// library's own code. A std::thread is started by the C++ library: its shared library is passed over when the thread
// is created, but the constructor that calls into it is a template compiled into the program (a frame of its own
// without optimisation, inlined into the creator with it); it is told by the name the program's debug map gives its
// address. 0 when the entry records no creating call.
std::uintptr_t ThreadCreatorCall(const TThreadInfo& Info);
