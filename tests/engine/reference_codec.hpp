#pragma once
// The tests' model of code page 936: the text a file stands for, and the
// bytes a text is written as. A split cuts bytes without decoding them; its
// pieces must be what decoding, cutting the text and encoding give.
//
// Decoding is lossless: a byte that starts no valid character (a lead byte
// without a valid trail byte, or one at the end) becomes U+DC00 plus the
// byte, and encoding writes such a character back as that byte. So
// encode(decode(b)) == b for every byte string b.
#include <string>
#include <string_view>

namespace reference {

inline constexpr char16_t kEscapeBase = 0xDC00;

// Appends the text of bytes to out.
void decode(std::string_view bytes, std::u16string& out);
std::u16string decode(std::string_view bytes);

// Writes the bytes of text to out, which must hold 2 * text.size() bytes;
// returns how many were written. A character that no byte sequence of the
// code page stands for (never one that decode gives) is written as '?'.
std::size_t encode(std::u16string_view text, char* out);
std::string encode(std::u16string_view text);

}  // namespace reference
