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

// The ICU converter the tables come from.
inline constexpr const char* kConverterName = "windows-936-2000";

}  // namespace engine::cp936
