#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// A text of at most N bytes stored in place with its length, as the settings record keeps its short texts: it lives
// in the program's initialised data and never allocates. A literal longer than N does not compile; a text assigned at
// run time is cut to N bytes.
template <std::size_t N> class TShortText final {
    static_assert(N > 0 && N < 256, "a short text holds 1 to 255 bytes");

public:
    static constexpr std::size_t Capacity = N;

    constexpr TShortText() = default;
    template <std::size_t M> constexpr TShortText(const char (&Literal)[M]) noexcept {
        static_assert(M - 1 <= N, "the text is longer than its field");
        Assign(std::string_view(Literal, M - 1));
    }

    constexpr void Assign(std::string_view Text) noexcept {
        Length = static_cast<std::uint8_t>(Text.size() < N ? Text.size() : N);
        for (std::size_t I = 0; I < N; ++I)
            Chars[I] = I < Length ? Text[I] : '\0';
    }
    constexpr std::string_view View() const noexcept { return std::string_view(Chars, Length); }
    constexpr bool Empty() const noexcept { return Length == 0; }

    constexpr bool operator==(const TShortText&) const noexcept = default;

private:
    std::uint8_t Length = 0;
    char Chars[N] = {};
};
