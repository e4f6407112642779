// libFuzzer target: one input is a data folder (FuzzInput.h), run through load, save, load and save (FuzzBody.h).

#include "FuzzBody.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    pyxfuzz::RunOne(Data, Size);
    return 0;
}
