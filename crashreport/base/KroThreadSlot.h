#pragma once

#include <pthread.h>

// An object of each thread's own, reached without the dynamic loader.
//
// A C++ thread_local object with a destructor is entered, on its first use in a thread, in the C library's list of
// destructors to run at the thread's end, and that entry takes the dynamic loader's lock. A thread that a report has
// paused may hold that lock (inside dladdr, dlopen or a thread's creation), and a reporter that met such a thread_local
// would wait for ever. A slot instead keeps the object under a key of the threads library: the key is made once, on
// first use; reading and setting a thread's value neither locks nor calls the loader, and the object is deleted when
// its thread ends (the main thread's lives to the process's end).
//
// Keep a slot as a function's static, so that it is made on first use whatever the order of start-up.
template <typename T> class TThreadSlot final {
public:
    TThreadSlot() noexcept : Valid(pthread_key_create(&Key, &Destroy) == 0) {}
    // The key stays for the process's life: threads may still end while the process exits.
    ~TThreadSlot() = default;
    TThreadSlot(const TThreadSlot&) = delete;
    TThreadSlot& operator=(const TThreadSlot&) = delete;

    // The calling thread's object, null when it has none.
    T* Peek() const noexcept { return Valid ? static_cast<T*>(pthread_getspecific(Key)) : nullptr; }

    // The calling thread's object, made when missing; null when it cannot be made.
    T* Get() {
        T* Object = Peek();
        if (Object != nullptr || !Valid)
            return Object;
        Object = new T;
        if (pthread_setspecific(Key, Object) != 0) {
            delete Object;
            return nullptr;
        }
        return Object;
    }

private:
    static void Destroy(void* Object) { delete static_cast<T*>(Object); }

    pthread_key_t Key{};
    bool Valid;
};
