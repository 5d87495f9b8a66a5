#include "codepage.hpp"

#include <array>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <unicode/ucnv.h>

namespace engine::cp936 {
namespace {

constexpr std::uint16_t kUnmapped = 0xFFFF;

// The bytes that one character is written as.
struct Encoded {
    char bytes[2];
    std::uint8_t length;
};

struct Tables {
    // Character of each byte on its own: 0 for a lead byte.
    std::array<char16_t, 256> single{};
    // Character of lead byte l (0x80..0xFF) and trail t at [(l-0x80)*256+t]; 0 when invalid.
    std::array<char16_t, 128 * 256> pair{};
    // Bytes of each character: below 0x100 one byte, else lead<<8|trail.
    std::array<std::uint16_t, 65536> bytes{};
    // What decoding gives for a byte that starts no pair: its character or its escape.
    std::array<char16_t, 256> lone{};
    // The same as bytes, ready to copy.
    std::array<Encoded, 65536> encoded{};
};

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
    std::unique_ptr<UConverter, void (*)(UConverter*)> conv(ucnv_open(kConverterName, &err), ucnv_close);
    if (U_FAILURE(err)) throw std::runtime_error("ICU converter windows-936-2000 is missing");

    auto t = std::make_unique<Tables>();
    t->bytes.fill(kUnmapped);
    for (int b = 0; b < 0x80; ++b) {
        t->single[b] = static_cast<char16_t>(b);
        t->bytes[b] = static_cast<std::uint16_t>(b);
    }
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
        bool isLead = false;
        for (int trail = 0; trail <= 0xFF; ++trail) {
            const char seq[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            const char16_t c = icuDecode(conv.get(), seq, 2);
            // Only a pair that ICU writes back the same way stays a pair, so
            // that decoding cannot lose bytes.
            if (c == 0 || (c >= 0xD800 && c <= 0xDFFF)) continue;
            if (t->bytes[c] != kUnmapped) continue;
            t->pair[(lead - 0x80) * 256 + trail] = c;
            t->bytes[c] = static_cast<std::uint16_t>(lead << 8 | trail);
            isLead = true;
        }
        if (isLead) {
            t->bytes[kEscapeBase + lead] = static_cast<std::uint16_t>(lead);
            continue;
        }
        const char seq[1] = {static_cast<char>(lead)};
        const char16_t c = icuDecode(conv.get(), seq, 1);
        if (c != 0 && !(c >= 0xD800 && c <= 0xDFFF) && t->bytes[c] == kUnmapped) {
            t->single[lead] = c;
            t->bytes[c] = static_cast<std::uint16_t>(lead);
        } else {
            // Neither a character nor a lead byte: it decodes as its escape.
            t->single[lead] = static_cast<char16_t>(kEscapeBase + lead);
            t->bytes[kEscapeBase + lead] = static_cast<std::uint16_t>(lead);
        }
    }
    for (int b = 0; b < 256; ++b) t->lone[b] = t->single[b] != 0 || b == 0 ? t->single[b] : kEscapeBase + b;
    for (std::size_t c = 0; c < t->bytes.size(); ++c) {
        const std::uint16_t v = t->bytes[c];
        Encoded& e = t->encoded[c];
        if (v == kUnmapped)
            e = {{'?', 0}, 1};
        else if (v < 0x100)
            e = {{static_cast<char>(v), 0}, 1};
        else
            e = {{static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)}, 2};
    }
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

}  // namespace engine::cp936
