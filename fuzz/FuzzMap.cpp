// libFuzzer target: one input is a debug map for one of the map readers (MapFuzzBody.h).

#include "MapFuzzBody.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    pyxfuzz::RunOneMap(Data, Size);
    return 0;
}
