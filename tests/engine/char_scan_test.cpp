// Pieces cut as byte ranges must be exactly what decoding, cutting the text
// into runs of m characters and encoding each run give.
#include <gtest/gtest.h>
#include <random>

#include "char_scan.hpp"
#include "reference_codec.hpp"
#include "support.hpp"
#include "runtime.hpp"

using namespace engine;
using testing_support::bytesOf;

namespace {

using Pieces = std::vector<std::string>;

// Piece 1 always, then one piece per further run of m characters.
Pieces byDecoding(const std::string& bytes, std::int64_t m)
{
    const std::u16string text = reference::decode(bytes);
    Pieces out;
    for (std::int64_t start = 1; start == 1 || start <= static_cast<std::int64_t>(text.size()); start += m)
        out.push_back(reference::encode(substring(text, start, m)));
    return out;
}

Pieces byRanges(const std::string& bytes, std::int64_t m)
{
    cp936::CharCursor cursor(bytes);
    Pieces out;
    std::size_t from = 0;
    do {
        cursor.skip(m);
        out.push_back(bytes.substr(from, cursor.offset() - from));
        from = cursor.offset();
    } while (from < bytes.size());
    return out;
}

void expectSameCut(const std::string& bytes, std::initializer_list<std::int64_t> ms)
{
    EXPECT_EQ(cp936::countChars(bytes), static_cast<std::int64_t>(reference::decode(bytes).size()));
    for (const std::int64_t m : ms) {
        SCOPED_TRACE(m);
        EXPECT_EQ(byRanges(bytes, m), byDecoding(bytes, m));
    }
}

}  // namespace

TEST(CharScan, EveryBytePair)
{
    for (int lead = 0; lead < 256; ++lead) {
        for (int trail = 0; trail < 256; ++trail) {
            const std::string two = bytesOf({lead, trail});
            ASSERT_EQ(cp936::countChars(two), static_cast<std::int64_t>(reference::decode(two).size())) << lead << ' ' << trail;
            ASSERT_EQ(byRanges(two, 1), byDecoding(two, 1)) << lead << ' ' << trail;
        }
    }
    // All pairs in a row, as whole blocks are scanned, at both parities.
    std::string all;
    for (int lead = 0; lead < 256; ++lead)
        for (int trail = 0; trail < 256; ++trail) all += bytesOf({lead, trail});
    expectSameCut(all, {1, 2, 63, 64, 65, 1000});
    expectSameCut(all.substr(1), {1, 3, 64, 999});
}

TEST(CharScan, RandomBytes)
{
    std::mt19937 rng(936);
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(round);
        std::string bytes(rng() % 700, '\0');
        const unsigned highShare = rng() % 5;  // from ASCII alone to high bytes alone
        for (char& b : bytes) b = static_cast<char>(rng() % 4 < highShare ? 0x80 | rng() : rng() & 0x7F);
        expectSameCut(bytes, {1, 2, 1 + static_cast<std::int64_t>(rng() % 200), 100000});
    }
}

TEST(CharScan, RunsOfLeadBytesAcrossBlocks)
{
    // In a run of lead bytes every second one is a trail, so the last byte
    // of a block may belong to the block after it.
    for (const int lead : {0x81, 0xB0, 0xFE}) {
        for (std::size_t run = 60; run < 200; ++run) {
            SCOPED_TRACE(run);
            for (const std::string& tail : {std::string(), std::string("a"), bytesOf({0x40})}) {
                expectSameCut(std::string(run, static_cast<char>(lead)) + tail, {1, 7, 64});
                expectSameCut("x" + std::string(run, static_cast<char>(lead)) + tail, {2, 33});
            }
        }
    }
}

TEST(CharScan, RealText)
{
    const std::u16string passage =
        u"第一章　山雨欲来\r\n    天色渐暗，城门外的官道上走来一位少年，背着一只旧书箱。"
        u"He said: \"Chapter 12, page 345.\"　他笑了笑，说道：“明日再来。”\r\n";
    std::string text;
    while (text.size() < 20000) text += reference::encode(passage);
    ASSERT_EQ(reference::decode(text).find(u'\xFFFD'), std::u16string::npos);
    expectSameCut(text, {1, 2, 3, 40, 511, 512, 4096, 100000});
}

TEST(CharScan, SkipTellsHowFarItWent)
{
    const std::string text = bytesOf({'a', 0xD6, 0xD0, 'b', 0xD6});  // a中b and a lone lead
    cp936::CharCursor cursor(text);
    EXPECT_EQ(cursor.offset(), 0u);
    EXPECT_EQ(cursor.skip(2), 2);
    EXPECT_EQ(cursor.offset(), 3u);
    EXPECT_EQ(cursor.skip(5), 2);
    EXPECT_EQ(cursor.offset(), 5u);
    EXPECT_EQ(cursor.skip(1), 0);
    EXPECT_EQ(cp936::countChars(""), 0);
    cp936::CharCursor empty{std::string_view()};
    EXPECT_EQ(empty.offset(), 0u);
}
