// Tests on eight bytes at once, read as one 64-bit word, for scans where the
// bytes looked for are rare.
#ifndef TESSARIN_TEXT_BYTE_WORDS_H_
#define TESSARIN_TEXT_BYTE_WORDS_H_

#include <cstdint>

namespace tessarin {

inline constexpr std::uint64_t kEveryByteOne = 0x0101010101010101ULL;
inline constexpr std::uint64_t kEveryByteHigh = 0x8080808080808080ULL;

// Whether some byte of `word` is below n (n <= 128). Exact: never true
// unless one is.
constexpr bool HasByteBelow(std::uint64_t word, std::uint8_t n) {
  return ((word - kEveryByteOne * n) & ~word & kEveryByteHigh) != 0;
}

// Whether some byte of `word` equals `byte`.
constexpr bool HasByte(std::uint64_t word, std::uint8_t byte) {
  return HasByteBelow(word ^ (kEveryByteOne * byte), 1);
}

}  // namespace tessarin

#endif  // TESSARIN_TEXT_BYTE_WORDS_H_
