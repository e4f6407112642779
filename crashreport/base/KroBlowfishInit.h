#pragma once

#include <cstdint>

// The published initial values of the Blowfish P-array and S-boxes, before any key is mixed in.
extern const std::uint32_t BlowfishInitialP[18];
extern const std::uint32_t BlowfishInitialS[4][256];
