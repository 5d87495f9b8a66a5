#include "reference_codec.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <unicode/ucnv.h>

#include "codepage.hpp"

namespace reference {
namespace {

// The bytes that one character is written as; length 0 while unmapped.
struct Encoded {
    char bytes[2];
    std::uint8_t length;
};

struct Tables {
    // Character of lead byte l (0x80..0xFF) and trail t at [(l-0x80)*256+t]; 0 when invalid.
    std::array<char16_t, 128 * 256> pair{};
    // What decoding gives for a byte that starts no pair: its character or its escape.
    std::array<char16_t, 256> lone{};
    // The bytes of every character, ready to copy.
    std::array<Encoded, 65536> encoded{};

    bool mapped(char16_t c) const { return encoded[c].length != 0; }
    void map(char16_t c, int lead, int trail = -1)
    {
        encoded[c] = trail < 0 ? Encoded{{static_cast<char>(lead), 0}, 1}
                               : Encoded{{static_cast<char>(lead), static_cast<char>(trail)}, 2};
    }
};

bool isSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// ICU's answer for one byte sequence: the one character it decodes to, or 0.
char16_t icuDecode(UConverter* conv, const char* src, int len)
{
    UErrorCode err = U_ZERO_ERROR;
    ucnv_reset(conv);
    ucnv_setToUCallBack(conv, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &err);
    UChar out[4];
    UChar* target = out;
    const char* source = src;
    ucnv_toUnicode(conv, &target, out + 4, &source, src + len, nullptr, true, &err);
    return U_SUCCESS(err) && target - out == 1 ? out[0] : 0;
}

std::unique_ptr<Tables> buildTables()
{
    UErrorCode err = U_ZERO_ERROR;
    std::unique_ptr<UConverter, void (*)(UConverter*)> conv(ucnv_open(engine::cp936::kConverterName, &err), ucnv_close);
    if (U_FAILURE(err)) throw std::runtime_error("ICU converter windows-936-2000 is missing");

    auto t = std::make_unique<Tables>();
    for (int b = 0; b < 0x80; ++b) {
        t->lone[b] = static_cast<char16_t>(b);
        t->map(static_cast<char16_t>(b), b);
    }
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
        bool isLead = false;
        for (int trail = 0; trail <= 0xFF; ++trail) {
            const char seq[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            const char16_t c = icuDecode(conv.get(), seq, 2);
            // Only a pair that ICU writes back the same way stays a pair, so
            // that decoding cannot lose bytes.
            if (c == 0 || isSurrogate(c) || t->mapped(c)) continue;
            t->pair[(lead - 0x80) * 256 + trail] = c;
            t->map(c, lead, trail);
            isLead = true;
        }
        const char seq[1] = {static_cast<char>(lead)};
        const char16_t c = isLead ? 0 : icuDecode(conv.get(), seq, 1);
        if (c != 0 && !isSurrogate(c) && !t->mapped(c)) {
            t->lone[lead] = c;
            t->map(c, lead);
        } else {
            // A lead byte without its trail, or a byte of no character at
            // all: it decodes as its escape.
            t->lone[lead] = static_cast<char16_t>(kEscapeBase + lead);
            t->map(t->lone[lead], lead);
        }
    }
    for (Encoded& e : t->encoded)
        if (e.length == 0) e = {{'?', 0}, 1};
    return t;
}

const Tables& tables()
{
    static const std::unique_ptr<Tables> t = buildTables();
    return *t;
}

}  // namespace

void decode(std::string_view bytes, std::u16string& out)
{
    if (bytes.empty()) return;
    const Tables& t = tables();
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    // The loop stops before the last byte, so that a trail byte is always there.
    const unsigned char* const last = p + bytes.size() - 1;
    constexpr std::size_t kChunk = 4096;
    char16_t buf[kChunk];
    while (p < last) {
        std::size_t k = 0;
        // At least one byte per character, so a chunk never overflows.
        const unsigned char* const stop = p + std::min<std::size_t>(static_cast<std::size_t>(last - p), kChunk);
        while (p < stop) {
            const unsigned char b = *p;
            if (b < 0x80) {
                buf[k++] = b;
                ++p;
                continue;
            }
            const char16_t c = t.pair[(b - 0x80) * 256 + p[1]];
            buf[k++] = c != 0 ? c : t.lone[b];
            p += c != 0 ? 2 : 1;
        }
        out.append(buf, k);
    }
    if (p == last) out += t.lone[*p];
}

std::u16string decode(std::string_view bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    decode(bytes, out);
    return out;
}

std::size_t encode(std::u16string_view text, char* out)
{
    const Tables& t = tables();
    char* o = out;
    // Two bytes are copied for every character and the pointer moves by its
    // length: no branch, and never past 2 * text.size().
    for (const char16_t c : text) {
        const Encoded& e = t.encoded[c];
        std::memcpy(o, e.bytes, 2);
        o += e.length;
    }
    return static_cast<std::size_t>(o - out);
}

std::string encode(std::u16string_view text)
{
    std::string out(text.size() * 2, '\0');
    out.resize(encode(text, out.data()));
    return out;
}

}  // namespace reference
