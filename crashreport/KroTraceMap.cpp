#include "KroTraceMap.h"

std::unique_ptr<TTraceMap> LoadTraceMap(std::uintptr_t, const std::string&) {
    return nullptr;
}
