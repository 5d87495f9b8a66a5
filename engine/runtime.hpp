#pragma once
// Small text and number services that the split run and the statistics use.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace engine {

// Empty means no characters at all; blanks are not empty.
inline bool isEmptyText(std::u16string_view text) { return text.empty(); }

// True when the text is one decimal number, blanks around it allowed:
// optional sign, digits with an optional point, optional exponent.
bool isNumeric(std::u16string_view text);

// The number at the start of the text (leading blanks skipped), else 0.
// Beyond the double range it gives an infinity.
double readNumber(std::u16string_view text);

// Nearest 32-bit whole number, halves to even; nothing outside the range.
std::optional<std::int32_t> roundToInt32(double value);

std::u16string decimalText(std::int64_t value);

// Up to length characters from start (1 = first); empty past the end.
std::u16string_view substring(std::u16string_view text, std::int64_t start, std::int64_t length);

// A path as the file system spells it (UTF-8); a lone U+DC80..U+DCFF stands
// for the byte 0x80..0xFF of a name that is not UTF-8. Nothing when the text
// holds a character no file name can (NUL, any other unpaired surrogate).
std::optional<std::string> toFsPath(std::u16string_view path);

}  // namespace engine
