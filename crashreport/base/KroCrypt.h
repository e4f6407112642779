#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The crash reporter's only cryptography: Blowfish with a password as key, and base64.
//
// Users: the debug map reader and its generator (LegacyDecipher / LegacyEncipher on the packed map body), the start-up
// (DecipherString on the stored SMTP password) and the SMTP client (Base64Encode for AUTH LOGIN and the attachment).
// Every call keys a fresh state in the caller's frame (about 4 KiB of stack), so all of it is re-entrant and nothing
// is kept between calls. Passwords are byte strings; an empty password leaves the initial values unkeyed.

// A keyed Blowfish state: 18 P-words and four S-boxes of 256 words.
struct TBlowfishState {
    std::uint32_t P[18];
    std::uint32_t S[4][256];
};

// The published key schedule: the password's bytes, taken cyclically four at a time as big-endian words, are mixed
// into the P-array, then an all-zero block is enciphered repeatedly to fill the P-array and the S-boxes.
TBlowfishState BlowfishInitKey(const void* Password, std::size_t Length) noexcept;
TBlowfishState BlowfishInitKey(std::string_view Password) noexcept;

// The 16 rounds on one block given as its two 32-bit halves (left first); deciphering walks the P-array backwards.
void BlowfishEncipherBlock(const TBlowfishState& State, std::uint32_t& Left, std::uint32_t& Right,
                           bool Encipher) noexcept;

// Ciphers the whole 8-byte blocks of Buffer in place; a shorter tail (the last Length mod 8 bytes) is left as it is.
// Both IV words 0: ECB. Raw takes each block's halves as its two little-endian words as stored; otherwise each half is
// read and written big-endian, the standard view.
// Any IV word non-zero: counter mode. The counter block holds Iv1 and Iv2, each stored little-endian, and is
// incremented as one big-endian 64-bit number before each data block (the first block uses IV + 1); its encipherment
// (big-endian halves) is xor-ed onto the data, so enciphering and deciphering are the same. Raw does not apply.
void BlowfishCipherBuffer(void* Buffer, std::size_t Length, bool Encipher, bool Raw, std::uint32_t Iv1,
                          std::uint32_t Iv2, std::string_view Password) noexcept;

// Deciphers Text in place (counter mode, or big-endian ECB when both IV words are 0), then removes the padding named
// by its last byte L: L = 1 removes that byte; L from 2 to 8 removes the last L bytes when the L - 1 bytes before the
// last all equal L; any other value, or a text shorter than L, keeps everything. An empty text is left alone.
void DecipherString(std::string& Text, std::string_view Password, std::uint32_t Iv1, std::uint32_t Iv2);

// ECB with raw little-endian halves over the whole text, no padding added or removed: the form of the packed debug
// map. Only whole 8-byte blocks change.
void LegacyEncipher(void* Data, std::size_t Length, std::string_view Password) noexcept;
void LegacyDecipher(void* Data, std::size_t Length, std::string_view Password) noexcept;
void LegacyEncipher(std::string& Text, std::string_view Password) noexcept;
void LegacyDecipher(std::string& Text, std::string_view Password) noexcept;

// Standard base64 ("A"-"Z", "a"-"z", "0"-"9", "+", "/"), the last group padded with "=" or "=="; no line breaks (the
// caller breaks lines). A Count of 0 or less gives an empty text.
std::string Base64Encode(const void* Bytes, std::ptrdiff_t Count);
std::string Base64Encode(std::string_view Bytes);

// Reverses the four bytes of a 32-bit word.
constexpr std::uint32_t ByteSwap32(std::uint32_t Word) noexcept {
    return (Word >> 24) | ((Word >> 8) & 0x0000ff00u) | ((Word << 8) & 0x00ff0000u) | (Word << 24);
}
