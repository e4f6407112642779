#pragma once

#include <cstdint>
#include <pthread.h>

// The hook of thread creation: every thread started through pthread_create (std::thread and QThread start theirs so)
// is recorded in the thread registry with the thread that created it, the code that did (the live calls on the
// creator's stack outside the system's libraries, nearest first), and its class when its start argument is an object
// with one (a QThread subclass, a std::thread). The thread gets an alternate signal stack, so that a stack overflow in
// it can still be reported, and its entry goes when it ends.

using TPthreadCreate = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);

// Turns the hook on or off; off, CreateHookedThread only calls the system's routine.
void EnableThreadHook(bool Enabled) noexcept;
bool ThreadHookEnabled() noexcept;

// Creates a thread through Create (the system's pthread_create), wrapped as described above. ReturnAddress is the
// address the hooked call returns to. Takes no lock that a report needs and never calls the loader's locking
// lookups, so a report may pause a thread anywhere in here.
int CreateHookedThread(TPthreadCreate Create, pthread_t* Thread, const pthread_attr_t* Attributes,
                       void* (*Start)(void*), void* Argument, std::uintptr_t ReturnAddress);

// A thread was named (pthread_setname_np succeeded): the registry takes the name.
void ThreadNamed(pthread_t Thread, const char* Name);

// The class name of an object with a virtual table at Object, as the source writes it; empty when Object is none.
// Reads with care: Object may point anywhere.
void ObjectClassName(const void* Object, char* Name, std::size_t Size) noexcept;
