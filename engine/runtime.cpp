#include "runtime.hpp"

#include <cmath>
#include <cstdlib>
#include <locale.h>

namespace engine {
namespace {

bool isBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\u3000'; }
bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

std::size_t skipBlanks(std::u16string_view t, std::size_t i)
{
    while (i < t.size() && isBlank(t[i])) ++i;
    return i;
}

std::size_t skipDigits(std::u16string_view t, std::size_t i)
{
    while (i < t.size() && isDigit(t[i])) ++i;
    return i;
}

// End of the number that starts at i, or i itself when none starts there.
// The numeric test and the number reading share this, so a text that passes
// the test reads as exactly the number it shows.
std::size_t scanNumber(std::u16string_view t, std::size_t i)
{
    std::size_t p = i;
    if (p < t.size() && (t[p] == u'+' || t[p] == u'-')) ++p;
    const std::size_t intStart = p;
    p = skipDigits(t, p);
    bool digits = p > intStart;
    if (p < t.size() && t[p] == u'.') {
        const std::size_t fracStart = p + 1;
        const std::size_t fracEnd = skipDigits(t, fracStart);
        if (digits || fracEnd > fracStart) {
            digits = true;
            p = fracEnd;
        }
    }
    if (!digits) return i;
    if (p < t.size() && (t[p] == u'e' || t[p] == u'E')) {
        std::size_t q = p + 1;
        if (q < t.size() && (t[q] == u'+' || t[q] == u'-')) ++q;
        const std::size_t expEnd = skipDigits(t, q);
        if (expEnd > q) p = expEnd;
    }
    return p;
}

locale_t cLocale()
{
    // The windows set the user's locale, whose decimal point may not be '.'.
    static const locale_t loc = newlocale(LC_ALL_MASK, "C", nullptr);
    return loc;
}

}  // namespace

bool isNumeric(std::u16string_view text)
{
    const std::size_t start = skipBlanks(text, 0);
    const std::size_t end = scanNumber(text, start);
    return end > start && skipBlanks(text, end) == text.size();
}

double readNumber(std::u16string_view text)
{
    const std::size_t start = skipBlanks(text, 0);
    const std::size_t end = scanNumber(text, start);
    if (end == start) return 0.0;
    std::string ascii(text.begin() + static_cast<std::ptrdiff_t>(start),
                      text.begin() + static_cast<std::ptrdiff_t>(end));
    return strtod_l(ascii.c_str(), nullptr, cLocale());
}

std::optional<std::int32_t> roundToInt32(double value)
{
    const double r = std::nearbyint(value);  // default rounding: halves to even
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) return std::nullopt;
    return static_cast<std::int32_t>(r);
}

std::u16string decimalText(std::int64_t value)
{
    const std::string s = std::to_string(value);
    return std::u16string(s.begin(), s.end());
}

std::u16string_view substring(std::u16string_view text, std::int64_t start, std::int64_t length)
{
    const auto size = static_cast<std::int64_t>(text.size());
    if (start < 1 || length < 0 || start > size) return {};
    const std::int64_t count = std::min(length, size - (start - 1));
    return text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(count));
}

std::optional<std::string> toFsPath(std::u16string_view path)
{
    std::string out;
    out.reserve(path.size() * 3);
    for (std::size_t i = 0; i < path.size(); ++i) {
        char32_t c = path[i];
        if (c == 0) return std::nullopt;
        if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 >= path.size() || path[i + 1] < 0xDC00 || path[i + 1] > 0xDFFF) return std::nullopt;
            c = 0x10000 + ((c - 0xD800) << 10) + (path[++i] - 0xDC00);
        } else if (c >= 0xDC80 && c <= 0xDCFF) {
            // A byte of a name that is not UTF-8, kept as the code page
            // keeps an undecodable byte.
            out += static_cast<char>(c - 0xDC00);
            continue;
        } else if (c >= 0xDC00 && c <= 0xDFFF) {
            return std::nullopt;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

}  // namespace engine
