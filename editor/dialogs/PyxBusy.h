#pragma once

// Marks the time a long operation (a load, a save, a search, an add or a delete) runs. Such an operation lets the
// event loop run from its status window, so without this mark a second one could start inside it and free what
// the first still walks. The status window blocks input; this guard refuses what gets through anyway (a shortcut,
// a call from a handler).
class TPyxBusy final {
public:
    TPyxBusy();
    ~TPyxBusy();
    TPyxBusy(const TPyxBusy&) = delete;
    TPyxBusy& operator=(const TPyxBusy&) = delete;

    // True while any TPyxBusy lives: a new operation must not start.
    static bool Active();
};
