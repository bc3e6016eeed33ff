// The growable arrays that every layer passes around. Texts are byte strings,
// one byte per character; indices into these arrays count from 0.
#ifndef TESSARIN_TEXT_ARRAYS_H_
#define TESSARIN_TEXT_ARRAYS_H_

#include <cstdint>
#include <string>
#include <vector>

namespace tessarin {

using AString = std::vector<std::string>;
using AAString = std::vector<AString>;
using AByte = std::vector<std::uint8_t>;
// Unsigned 32-bit entries: a column read with TextsToInts keeps the low 32
// bits of its value, so "-1" is stored as 4294967295.
using ADWord = std::vector<std::uint32_t>;
using AADWord = std::vector<ADWord>;
// Extended-precision reals (x87 80-bit on x86-64).
using AExt = std::vector<long double>;
using AAExt = std::vector<AExt>;

}  // namespace tessarin

#endif  // TESSARIN_TEXT_ARRAYS_H_
