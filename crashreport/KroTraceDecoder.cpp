#include "KroTraceDecoder.h"

#include <atomic>

namespace {

std::atomic<const TTraceDecoder*> Replacement{nullptr};

// This build's own decoder, over the disassembler, once the library has one.
const TTraceDecoder* BuiltInDecoder() noexcept {
    return nullptr;
}

} // namespace

const TTraceDecoder* TraceDecoder() noexcept {
    const TTraceDecoder* Decoder = Replacement.load(std::memory_order_acquire);
    return Decoder != nullptr ? Decoder : BuiltInDecoder();
}

void SetTraceDecoder(const TTraceDecoder* Decoder) noexcept {
    Replacement.store(Decoder, std::memory_order_release);
}
