#pragma once

#include <cstdint>

// Whether a club or national-team post of this job code is backed by a contract: every job but none (0), Chairman
// (4), Managing Director (8), Director Of Football (10) and General Manager (24).
inline bool JobHasContract(uint8_t Job) {
    return Job != 0 && Job != 4 && Job != 8 && Job != 10 && Job != 24;
}
