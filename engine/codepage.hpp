#pragma once
// Windows code page 936, as tables taken once from ICU: which byte pairs
// are one character. Every other byte is one character on its own, so the
// text a file stands for has one UTF-16 code unit per character.
#include <cstdint>

namespace engine::cp936 {

// Whether lead then trail is one character: a pair that ICU decodes to one
// character and writes back the same way.
bool isPair(unsigned char lead, unsigned char trail);

// The pairs as ranges, when they are exactly every lead in [lead[0], lead[1]]
// followed by a trail in [trail[0], trail[1]] or [trail[2], trail[3]]: what
// lets the bytes be scanned a block at a time.
struct PairRanges {
    unsigned char lead[2];
    unsigned char trail[4];
};
const PairRanges* pairRanges();

// The ICU converter the tables come from.
inline constexpr const char* kConverterName = "windows-936-2000";

}  // namespace engine::cp936
