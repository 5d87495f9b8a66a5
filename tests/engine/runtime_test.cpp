#include <cmath>
#include <gtest/gtest.h>
#include <limits>

#include "runtime.hpp"

using namespace engine;

TEST(NumericText, TestAndReadingAgree)
{
    struct Case {
        std::u16string text;
        bool numeric;
        double value;
    };
    const Case cases[] = {
        {u"12", true, 12},          {u" 12 ", true, 12},       {u"\t12\u3000", true, 12},
        {u"-3", true, -3},          {u"+7", true, 7},          {u"2.5", true, 2.5},
        {u".5", true, 0.5},         {u"5.", true, 5},          {u"1e3", true, 1000},
        {u"1.5E-1", true, 0.15},    {u"0", true, 0},           {u"007", true, 7},
        {u"abc", false, 0},         {u"12abc", false, 12},     {u"1 2", false, 1},
        {u"", false, 0},            {u"   ", false, 0},        {u"-", false, 0},
        {u".", false, 0},           {u"+.", false, 0},         {u"1e", false, 1},
        {u"1e+", false, 1},         {u"--1", false, 0},        {u"１２", false, 0},
        {u"1,000", false, 1},       {u"0x10", false, 0},       {u"- 5", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text.begin(), c.text.end()));
        EXPECT_EQ(isNumeric(c.text), c.numeric);
        EXPECT_DOUBLE_EQ(readNumber(c.text), c.value);
    }
}

TEST(NumericText, ReadingBeyondDoubleRange)
{
    EXPECT_TRUE(isNumeric(u"1e400"));
    EXPECT_TRUE(std::isinf(readNumber(u"1e400")));
    EXPECT_TRUE(std::isinf(readNumber(u"-1e400")));
    EXPECT_EQ(readNumber(u"1e-400"), 0.0);
}

TEST(Rounding, NearestWithHalvesToEven)
{
    const std::pair<double, std::int32_t> cases[] = {
        {2.5, 2},  {3.5, 4},   {1.5, 2},   {0.5, 0},           {-0.5, 0},          {-1.5, -2},
        {0.4, 0},  {2.51, 3},  {100, 100}, {1025.024, 1025},   {2147483647.0, 2147483647},
        {2147483647.4, 2147483647},        {-2147483648.0, std::numeric_limits<std::int32_t>::min()},
    };
    for (const auto& [value, expected] : cases) {
        SCOPED_TRACE(value);
        ASSERT_TRUE(roundToInt32(value).has_value());
        EXPECT_EQ(*roundToInt32(value), expected);
    }
    for (const double outside : {2147483647.5, 2147483648.0, -2147483648.6, 1e300,
                                 std::numeric_limits<double>::infinity(), std::nan("")}) {
        SCOPED_TRACE(outside);
        EXPECT_FALSE(roundToInt32(outside).has_value());
    }
}

TEST(Substring, OneBasedAndClipped)
{
    const std::u16string t = u"abcdef";
    EXPECT_EQ(substring(t, 1, 3), u"abc");
    EXPECT_EQ(substring(t, 4, 3), u"def");
    EXPECT_EQ(substring(t, 5, 3), u"ef");
    EXPECT_EQ(substring(t, 7, 3), u"");
    EXPECT_EQ(substring(u"", 1, 3), u"");
    EXPECT_EQ(substring(t, 1, 2147483647), t);
}

TEST(DecimalText, PlainDigits)
{
    EXPECT_EQ(decimalText(0), u"0");
    EXPECT_EQ(decimalText(9), u"9");
    EXPECT_EQ(decimalText(100), u"100");
    EXPECT_EQ(decimalText(-512), u"-512");
    EXPECT_EQ(decimalText(4294967296), u"4294967296");
}

TEST(FsPath, Utf8AndRejectedCharacters)
{
    EXPECT_EQ(toFsPath(u"/tmp/中文 a.txt"), std::optional<std::string>("/tmp/\xE4\xB8\xAD\xE6\x96\x87 a.txt"));
    EXPECT_EQ(toFsPath(u"\U0001F600"), std::optional<std::string>("\xF0\x9F\x98\x80"));
    EXPECT_FALSE(toFsPath(std::u16string(u"a\0b", 3)).has_value());
    // Unpaired surrogates that stand for no byte of a name.
    for (const char16_t c : {0xD800, 0xDBFF, 0xDC00, 0xDC41, 0xDC7F, 0xDD00, 0xDFFF})
        EXPECT_FALSE(toFsPath(std::u16string(1, c)).has_value()) << int(c);
}

// A name that is not UTF-8 keeps its bytes: the lone U+DC80..U+DCFF that
// stand for them become those bytes again.
TEST(FsPath, BytesOfNamesThatAreNotUtf8)
{
    EXPECT_EQ(toFsPath(u"/tmp/\xDCD6\xDCD0/a"), std::optional<std::string>("/tmp/\xD6\xD0/a"));
    EXPECT_EQ(toFsPath(std::u16string(1, char16_t(0xDC80))), std::optional<std::string>("\x80"));
    EXPECT_EQ(toFsPath(std::u16string(1, char16_t(0xDCFF))), std::optional<std::string>("\xFF"));
    EXPECT_EQ(toFsPath(u"中\xDCE9"), std::optional<std::string>("\xE4\xB8\xAD\xE9"));
}
