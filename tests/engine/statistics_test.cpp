#include <gtest/gtest.h>

#include "statistics.hpp"
#include "support.hpp"

using namespace testing_support;
using Messages = std::vector<std::u16string>;

namespace {

Messages statistics(const Settings& s, std::vector<std::string>* events = nullptr)
{
    Recorder r(s);
    engine::showCharacterCount(r, r.box());
    engine::showSizeEstimate(r, r.box());
    if (events) *events = r.events;
    return r.messages;
}

}  // namespace

TEST(Statistics, CountAndSizeEstimateAtTheEdgesOfAKilobyte)
{
    ScratchDir dir;
    struct Case {
        std::string bytes;
        int count, estimate;
    };
    const std::string zhong = "\xD6\xD0";
    std::string gbk600;
    for (int i = 0; i < 600; ++i) gbk600 += zhong;
    const Case cases[] = {
        {"", 0, 1},         {"a", 1, 1},       {std::string(511, 'a'), 511, 1}, {std::string(512, 'a'), 512, 2},
        {std::string(513, 'a'), 513, 2}, {std::string(1023, 'a'), 1023, 2}, {std::string(1024, 'a'), 1024, 3},
        {gbk600, 600, 2},   {std::string(800, 'a'), 800, 2},  {"abc\r\n", 5, 1},
        {"\xD6", 1, 1},     // a lone lead byte is one character
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        writeBytes(dir / "in.txt", c.bytes);
        Settings s;
        s.input = u16((dir / "in.txt").string());
        s.chars = u"abc";  // the dialogs' own fields play no part
        std::vector<std::string> events;
        EXPECT_EQ(statistics(s, &events),
                  (Messages{u"被分割文件的字数为" + u16(std::to_string(c.count)) + u"个",
                            u"被分割文件的大小为" + u16(std::to_string(c.estimate)) + u"KB"}));
        EXPECT_EQ(events, (std::vector<std::string>{"input", "input", "box", "input", "input", "box"}));
    }
}

TEST(Statistics, EmptyPathAsksForAFile)
{
    Settings s{true, true, {}, u"out", u"p", u"5", u"5"};
    std::vector<std::string> events;
    EXPECT_EQ(statistics(s, &events), (Messages{u"请先选择文件", u"请先选择文件"}));
    EXPECT_EQ(events, (std::vector<std::string>{"input", "box", "input", "box"}));
}

TEST(Statistics, FileChangedBetweenClicks)
{
    ScratchDir dir;
    Settings s;
    s.input = u16((dir / "in.txt").string());
    writeBytes(dir / "in.txt", "abc");
    EXPECT_EQ(statistics(s)[0], u"被分割文件的字数为3个");
    writeBytes(dir / "in.txt", "abcdef");
    EXPECT_EQ(statistics(s)[0], u"被分割文件的字数为6个");
}
