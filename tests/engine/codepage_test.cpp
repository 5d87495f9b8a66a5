#include <gtest/gtest.h>
#include <random>
#include <unicode/ucnv.h>

#include "codepage.hpp"
#include "reference_codec.hpp"
#include "support.hpp"

using namespace engine;
using testing_support::bytesOf;

namespace {

struct Icu {
    Icu()
    {
        UErrorCode err = U_ZERO_ERROR;
        conv = ucnv_open(cp936::kConverterName, &err);
        EXPECT_TRUE(U_SUCCESS(err));
    }
    ~Icu() { ucnv_close(conv); }

    // ICU's strict decoding of a whole byte string; empty on any error.
    std::u16string decode(const std::string& bytes, bool* ok)
    {
        UErrorCode err = U_ZERO_ERROR;
        ucnv_reset(conv);
        ucnv_setToUCallBack(conv, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &err);
        std::u16string out(bytes.size() + 4, u'\0');
        const int n = ucnv_toUChars(conv, reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                                    bytes.data(), static_cast<int32_t>(bytes.size()), &err);
        *ok = U_SUCCESS(err);
        out.resize(*ok ? static_cast<std::size_t>(n) : 0);
        return out;
    }

    UConverter* conv = nullptr;
};

}  // namespace

TEST(CodePage936, EveryByteAndBytePairMatchesIcu)
{
    Icu icu;
    for (int b = 0; b < 256; ++b) {
        const std::string one = bytesOf({b});
        bool ok = false;
        const std::u16string expected = icu.decode(one, &ok);
        const std::u16string ours = reference::decode(one);
        ASSERT_EQ(ours.size(), 1u) << b;
        if (ok)
            EXPECT_EQ(ours, expected) << b;
        else
            EXPECT_EQ(ours[0], reference::kEscapeBase + b) << b;
        EXPECT_EQ(reference::encode(ours), one) << b;
    }
    int pairs = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0; trail < 256; ++trail) {
            const std::string two = bytesOf({lead, trail});
            bool ok = false;
            const std::u16string expected = icu.decode(two, &ok);
            const std::u16string ours = reference::decode(two);
            if (ok && expected.size() == 1) {
                ++pairs;
                EXPECT_EQ(ours, expected) << lead << ' ' << trail;
            } else {
                // The lead byte stands alone; the trail byte is read afresh.
                ASSERT_EQ(ours.size(), 2u) << lead << ' ' << trail;
                EXPECT_EQ(ours[0], reference::kEscapeBase + lead);
                EXPECT_EQ(ours.substr(1), reference::decode(two.substr(1)));
            }
            EXPECT_EQ(reference::encode(ours), two) << lead << ' ' << trail;
        }
    }
    EXPECT_EQ(pairs, 126 * 190);
}

TEST(CodePage936, KnownCharacters)
{
    EXPECT_EQ(reference::decode(bytesOf({0xD6, 0xD0, 0xCE, 0xC4})), u"中文");
    EXPECT_EQ(reference::decode(bytesOf({0x80})), u"€");
    EXPECT_EQ(reference::decode("abc\r\n"), u"abc\r\n");
    EXPECT_EQ(reference::encode(u"中文abc"), bytesOf({0xD6, 0xD0, 0xCE, 0xC4, 'a', 'b', 'c'}));
    // A lead byte at the end, and one before a byte that cannot follow it.
    EXPECT_EQ(reference::decode(bytesOf({'a', 0xD6})), std::u16string(u"a\xDCD6"));
    EXPECT_EQ(reference::decode(bytesOf({0xD6, '0', 0xD6, 0xD0})), std::u16string(u"\xDCD6" u"0中"));
    // A byte-order mark is just bytes.
    EXPECT_EQ(reference::decode(bytesOf({0xEF, 0xBB, 0xBF})).size(), 2u);
}

TEST(CodePage936, AnyBytesComeBackExactly)
{
    std::mt19937 rng(936);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 200; ++round) {
        std::string bytes(static_cast<std::size_t>(byte(rng)) * 37, '\0');
        for (char& b : bytes) b = static_cast<char>(byte(rng) < 128 ? byte(rng) : 0x80 | byte(rng));
        const std::u16string text = reference::decode(bytes);
        ASSERT_EQ(reference::encode(text), bytes);
        ASSERT_LE(text.size(), bytes.size());
    }
}

TEST(CodePage936, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    EXPECT_EQ(reference::encode(u"a\U0001F600b"), "a??b");
    EXPECT_EQ(reference::encode(std::u16string(1, char16_t(0xDC41))), "?");
}
