#pragma once

#include <cstddef>
#include <cstdint>

// The body of the debug-map fuzz target, shared by the libFuzzer target and the replay driver. The input's first
// byte chooses the reader, the rest is its buffer:
//   0  a packed map, header, cipher and deflate included;
//   1  an unpacked map, which the body packs with a fitting header and CRC so that the fuzzer reaches the parts;
//   2  the linker's text map;
//   3  the linker's binary debug information.
// Whatever was read is resolved at addresses around and inside the code. The body aborts, naming the fault, when a
// reader keeps more segments, publics or lines than its bytes can describe.
namespace pyxfuzz {

void RunOneMap(const uint8_t* Data, std::size_t Size);

} // namespace pyxfuzz
