#pragma once
// Windows code page 936, converted by tables taken once from ICU.
//
// Decoding is lossless: a byte that starts no valid character (a lead byte
// without a valid trail byte, or one at the end) becomes U+DC00 plus the
// byte, and encoding writes such a character back as that byte. So
// encode(decode(b)) == b for every byte string b.
#include <cstdint>
#include <string>
#include <string_view>

namespace engine::cp936 {

inline constexpr char16_t kEscapeBase = 0xDC00;

// Appends the text of bytes to out.
void decode(std::string_view bytes, std::u16string& out);
std::u16string decode(std::string_view bytes);

// Writes the bytes of text to out, which must hold 2 * text.size() bytes;
// returns how many were written. A character that no byte sequence of the
// code page stands for (never one that decode gives) is written as '?'.
std::size_t encode(std::u16string_view text, char* out);
std::string encode(std::u16string_view text);

// Whether lead then trail is one character: the pairs that decode gives as
// one. Every other byte is one character on its own.
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
