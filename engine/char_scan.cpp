#include "char_scan.hpp"

#include <algorithm>
#include <bit>
#include <limits>

#include "codepage.hpp"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace engine::cp936 {
namespace {

constexpr std::size_t kBlock = 64;

#if defined(__SSE2__)
// Bit i set when byte i of the 64 at p lies in [lo, hi].
std::uint64_t inRange(const unsigned char* p, unsigned char lo, unsigned char hi)
{
    // Bytes are compared as signed, so everything is moved by 0x80 first.
    const __m128i flip = _mm_set1_epi8(static_cast<char>(0x80));
    const __m128i low = _mm_set1_epi8(static_cast<char>(lo ^ 0x80));
    const __m128i high = _mm_set1_epi8(static_cast<char>(hi ^ 0x80));
    std::uint64_t mask = 0;
    for (int i = 0; i < 4; ++i) {
        const __m128i x = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i)), flip);
        const __m128i out = _mm_or_si128(_mm_cmplt_epi8(x, low), _mm_cmpgt_epi8(x, high));
        mask |= static_cast<std::uint64_t>(static_cast<std::uint16_t>(~_mm_movemask_epi8(out))) << (16 * i);
    }
    return mask;
}

// First bytes of the characters among the 64 at p, which has one byte more
// after them; *trailNext tells whether that byte is the trail of a pair.
std::uint64_t blockStarts(const PairRanges& r, const unsigned char* p, bool trailFirst, bool* trailNext)
{
    constexpr std::uint64_t kEven = 0x5555555555555555u;
    // Where a pair would start if a character started there.
    const std::uint64_t could = inRange(p, r.lead[0], r.lead[1]) &
                                (inRange(p + 1, r.trail[0], r.trail[1]) | inRange(p + 1, r.trail[2], r.trail[3])) &
                                ~std::uint64_t{trailFirst};
    // In a run of such bytes the first starts a pair, the second is its
    // trail, and so on: pairs start at the run's own parity. Adding a run's
    // first bit clears the whole run, which picks out the runs that start
    // at even positions.
    const std::uint64_t runStarts = could & ~(could << 1);
    const std::uint64_t evenRuns = could & ~(could + (runStarts & kEven));
    const std::uint64_t leads = (evenRuns & kEven) | (could & ~evenRuns & ~kEven);
    *trailNext = (leads >> 63) != 0;
    return ~((leads << 1) | std::uint64_t{trailFirst});
}
#endif

// The same, one character at a time, for the last bytes (avail of them) and
// for pairs that are not ranges.
std::uint64_t blockStartsByChar(const unsigned char* p, std::size_t avail, bool trailFirst, bool* trailNext)
{
    const std::size_t len = std::min(avail, kBlock);
    std::uint64_t starts = 0;
    std::size_t i = trailFirst ? 1 : 0;
    while (i < len) {
        starts |= std::uint64_t{1} << i;
        i += p[i] >= 0x80 && i + 1 < avail && isPair(p[i], p[i + 1]) ? 2 : 1;
    }
    *trailNext = i > len;
    return starts;
}

}  // namespace

CharCursor::CharCursor(std::string_view bytes)
    : data_(reinterpret_cast<const unsigned char*>(bytes.data())), size_(bytes.size())
{
    load();
}

bool CharCursor::load()
{
    if (next_ >= size_) {
        block_ = size_;
        starts_ = 0;
        return false;
    }
    block_ = next_;
    next_ += kBlock;
    const std::size_t avail = size_ - block_;
#if defined(__SSE2__)
    static const PairRanges* const ranges = pairRanges();
    if (ranges && avail > kBlock) {
        starts_ = blockStarts(*ranges, data_ + block_, trailFirst_, &trailFirst_);
        return true;
    }
#endif
    starts_ = blockStartsByChar(data_ + block_, avail, trailFirst_, &trailFirst_);
    return true;
}

std::int64_t CharCursor::skip(std::int64_t n)
{
    std::int64_t passed = 0;
    while (passed < n) {
        if (starts_ == 0 && !load()) return passed;
        const int here = std::popcount(starts_);
        if (here > n - passed) {
            for (std::int64_t k = n - passed; k > 0; --k) starts_ &= starts_ - 1;
            return n;
        }
        passed += here;
        starts_ = 0;
    }
    // Onto the first byte of the next character.
    while (starts_ == 0 && load()) {
    }
    return passed;
}

std::size_t CharCursor::offset() const
{
    return starts_ != 0 ? block_ + static_cast<std::size_t>(std::countr_zero(starts_)) : size_;
}

std::int64_t countChars(std::string_view bytes)
{
    return CharCursor(bytes).skip(std::numeric_limits<std::int64_t>::max());
}

}  // namespace engine::cp936
