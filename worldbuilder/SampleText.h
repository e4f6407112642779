#pragma once

#include <string>
#include <string_view>

namespace wb {

// ASCII to UTF-16, for the sample's fixed texts.
inline std::u16string U16(std::string_view Text) {
    return std::u16string(Text.begin(), Text.end());
}

inline std::u16string U16(long Number) {
    return U16(std::to_string(Number));
}

} // namespace wb
