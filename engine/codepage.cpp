#include "codepage.hpp"

#include <array>
#include <memory>
#include <optional>
#include <stdexcept>
#include <unicode/ucnv.h>
#include <utility>
#include <vector>

namespace engine::cp936 {
namespace {

struct Tables {
    // Whether lead byte l (0x80..0xFF) and trail t are one character, at [(l-0x80)*256+t].
    std::array<bool, 128 * 256> pair{};
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
    std::unique_ptr<UConverter, void (*)(UConverter*)> conv(ucnv_open(kConverterName, &err), ucnv_close);
    if (U_FAILURE(err)) throw std::runtime_error("ICU converter windows-936-2000 is missing");

    auto t = std::make_unique<Tables>();
    // The characters that some byte sequence already stands for.
    std::vector<bool> mapped(0x10000);
    for (int b = 0; b < 0x80; ++b) mapped[b] = true;
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
        bool isLead = false;
        for (int trail = 0; trail <= 0xFF; ++trail) {
            const char seq[2] = {static_cast<char>(lead), static_cast<char>(trail)};
            const char16_t c = icuDecode(conv.get(), seq, 2);
            // Only a pair that ICU writes back the same way stays a pair, so
            // that decoding cannot lose bytes.
            if (c == 0 || isSurrogate(c) || mapped[c]) continue;
            t->pair[(lead - 0x80) * 256 + trail] = true;
            mapped[c] = true;
            isLead = true;
        }
        // A byte that starts no pair is one character on its own.
        const char seq[1] = {static_cast<char>(lead)};
        const char16_t c = isLead ? 0 : icuDecode(conv.get(), seq, 1);
        if (c != 0 && !isSurrogate(c)) mapped[c] = true;
    }
    return t;
}

const Tables& tables()
{
    static const std::unique_ptr<Tables> t = buildTables();
    return *t;
}

// The runs of members of a byte set, at most `most` of them; false when
// there are more.
bool runsOf(const std::array<bool, 256>& set, int most, std::vector<std::pair<int, int>>& runs)
{
    for (int b = 0; b < 256; ++b) {
        if (!set[b] || (b > 0 && set[b - 1])) continue;
        int last = b;
        while (last < 255 && set[last + 1]) ++last;
        runs.emplace_back(b, last);
    }
    return static_cast<int>(runs.size()) <= most && !runs.empty();
}

std::optional<PairRanges> findPairRanges()
{
    std::array<bool, 256> leads{}, trails{};
    for (int lead = 0x80; lead <= 0xFF; ++lead)
        for (int trail = 0; trail <= 0xFF; ++trail)
            if (isPair(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)))
                leads[lead] = trails[trail] = true;
    for (int lead = 0x80; lead <= 0xFF; ++lead)
        for (int trail = 0; trail <= 0xFF; ++trail)
            if (isPair(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)) != (leads[lead] && trails[trail]))
                return std::nullopt;
    std::vector<std::pair<int, int>> leadRuns, trailRuns;
    if (!runsOf(leads, 1, leadRuns) || !runsOf(trails, 2, trailRuns)) return std::nullopt;
    if (trailRuns.size() == 1) trailRuns.push_back(trailRuns[0]);
    auto byte = [](int b) { return static_cast<unsigned char>(b); };
    return PairRanges{{byte(leadRuns[0].first), byte(leadRuns[0].second)},
                      {byte(trailRuns[0].first), byte(trailRuns[0].second), byte(trailRuns[1].first),
                       byte(trailRuns[1].second)}};
}

}  // namespace

bool isPair(unsigned char lead, unsigned char trail)
{
    return lead >= 0x80 && tables().pair[(lead - 0x80) * 256 + trail];
}

const PairRanges* pairRanges()
{
    static const std::optional<PairRanges> ranges = findPairRanges();
    return ranges ? &*ranges : nullptr;
}

}  // namespace engine::cp936
