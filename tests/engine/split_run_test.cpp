#include <gtest/gtest.h>
#include <random>

#include "reference_codec.hpp"
#include "runtime.hpp"
#include "split_run.hpp"
#include "support.hpp"

using namespace testing_support;
using Messages = std::vector<std::u16string>;

namespace {

const std::u16string kNotice = u"接下来将要分割文件，请在输出目录中浏览分割完的文件";
const std::u16string kDone = u"完成";

class SplitRun : public ::testing::Test {
protected:
    // A count split of `input` into pieces "p1.txt"... in the scratch folder.
    Settings byCount(const std::string& input, const std::u16string& chars)
    {
        writeBytes(dir / "in.txt", input);
        return Settings{true, false, u16((dir / "in.txt").string()), dir.u16path(), u"p", chars, {}};
    }
    Settings bySize(const std::string& input, const std::u16string& size)
    {
        Settings s = byCount(input, {});
        s.byCount = false;
        s.bySize = true;
        s.size = size;
        return s;
    }
    // The contents of p1.txt, p2.txt, ... up to the first missing one.
    std::vector<std::string> pieces(const std::string& base = "p")
    {
        std::vector<std::string> out;
        for (int k = 1; std::filesystem::exists(dir / (base + std::to_string(k) + ".txt")); ++k)
            out.push_back(readBytes(dir / (base + std::to_string(k) + ".txt")));
        return out;
    }
    std::vector<std::size_t> pieceSizes()
    {
        std::vector<std::size_t> out;
        for (const std::string& p : pieces()) out.push_back(p.size());
        return out;
    }

    ScratchDir dir;
};

}  // namespace

TEST_F(SplitRun, FailingTestsGiveTheirMessageAndNothingElse)
{
    struct Case {
        const char* what;
        Settings s;
        std::u16string message;
    };
    const std::u16string numeric = u"请在“每份分割文件的字数”中输入数字！";
    const Case cases[] = {
        {"no mode", {false, false, u"in", u"out", u"p", u"5", u"1"}, u"请选择分割方式"},
        {"count, all empty", {true, false, {}, {}, {}, {}, {}}, u"请选择文件"},
        {"count, only input", {true, false, u"in", {}, {}, {}, {}}, u"请输入分割文件的字数"},
        {"count, base before numeric", {true, false, u"in", {}, {}, u"abc", {}}, u"请输入分割文件的名称"},
        {"count, numeric before folder", {true, false, u"in", {}, u"p", u"abc", {}}, numeric},
        {"count, number then letters", {true, false, u"in", u"out", u"p", u"12abc", {}}, numeric},
        {"count, blank number", {true, false, u"in", u"out", u"p", u"  ", {}}, numeric},
        {"count, no folder", {true, false, u"in", {}, u"p", u"5", u"9"}, u"请选择输出路径"},
        {"count, blanks pass", {true, false, u" ", {}, u" ", u" 12 ", {}}, u"请选择输出路径"},
        {"size, all empty", {false, true, {}, {}, {}, {}, {}}, u"请选择文件"},
        {"size, only input", {false, true, u"in", {}, {}, u"5", {}}, u"请输入分割文件的名称"},
        {"size, folder before size", {false, true, u"in", {}, u"p", {}, {}}, u"请选择输出路径"},
        {"size, no size", {false, true, u"in", u"out", u"p", u"5", {}}, u"请输入每个文件的大小"},
        {"size, blanks pass", {false, true, u" ", u" ", u" ", {}, {}}, u"请输入每个文件的大小"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(split(c.s), Messages{c.message});
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST_F(SplitRun, ReadsEachSettingOnlyWhenItIsReached)
{
    using Events = std::vector<std::string>;
    {
        Recorder r(byCount("abcdef", u"3"));
        engine::splitRun(r, r.box());
        EXPECT_EQ(r.events, (Events{"mode", "mode", "input", "chars", "base", "chars", "folder", "box", "input",
                                    "chars", "folder", "base", "folder", "base", "box", "mode"}));
        EXPECT_EQ(r.messages, (Messages{kNotice, kDone}));
    }
    {
        Recorder r(bySize(std::string(1000, 'x'), u"1"));
        engine::splitRun(r, r.box());
        EXPECT_EQ(r.events, (Events{"mode", "mode", "mode", "input", "base", "folder", "size", "box", "input", "size",
                                    "folder", "base", "folder", "base", "box"}));
    }
    {
        Recorder r({true, false, u"in", {}, {}, u"5", {}});
        engine::splitRun(r, r.box());
        EXPECT_EQ(r.events, (Events{"mode", "mode", "input", "chars", "base", "box", "mode"}));
    }
    {
        Recorder r({false, true, u"in", {}, u"p", {}, {}});
        engine::splitRun(r, r.box());
        EXPECT_EQ(r.events, (Events{"mode", "mode", "mode", "input", "base", "folder", "box"}));
    }
    {
        Recorder r({false, false, u"in", u"out", u"p", u"5", u"5"});
        engine::splitRun(r, r.box());
        EXPECT_EQ(r.events, (Events{"mode", "box"}));
    }
}

TEST_F(SplitRun, CharactersPerPieceFromTheTypedNumber)
{
    const std::string ten = "0123456789";
    struct Case {
        std::u16string chars;
        std::vector<std::size_t> sizes;
    };
    const Case counts[] = {
        {u"2.5", {2, 2, 2, 2, 2}}, {u"3.5", {4, 4, 2}}, {u"1.5", {2, 2, 2, 2, 2}},
        {u" 12 ", {10}},           {u"1e1", {10}},      {u"4", {4, 4, 2}},
    };
    for (const Case& c : counts) {
        SCOPED_TRACE(utf8(c.chars));
        EXPECT_EQ(split(byCount(ten, c.chars)), (Messages{kNotice, kDone}));
        EXPECT_EQ(pieceSizes(), c.sizes);
        for (const auto& f : std::filesystem::directory_iterator(dir.path())) std::filesystem::remove(f);
    }
    const std::string text(600, 'x');
    const Case sizes[] = {
        {u"1", {512, 88}},   {u"0.5", {256, 256, 88}}, {u"2.5", {600}},
        {u"1.001", {512, 88}}, {u" 1 ", {512, 88}},    {u"0.003", std::vector<std::size_t>(600, 1)},
    };
    for (const Case& c : sizes) {
        SCOPED_TRACE(utf8(c.chars));
        EXPECT_EQ(split(bySize(text, c.chars)), (Messages{kNotice, kDone}));
        EXPECT_EQ(pieceSizes(), c.sizes);
        for (const auto& f : std::filesystem::directory_iterator(dir.path())) std::filesystem::remove(f);
    }
}

TEST_F(SplitRun, PiecesAtTheEdges)
{
    struct Case {
        const char* what;
        std::string input;
        std::u16string chars;
        std::vector<std::string> pieces;
    };
    const Case cases[] = {
        {"empty input writes piece 1 empty", "", u"5", {""}},
        {"shorter than a piece", "abc", u"5", {"abc"}},
        {"exactly one piece", "abcde", u"5", {"abcde"}},
        {"exact multiple, no empty piece after", "abcdefghijklmno", u"5", {"abcde", "fghij", "klmno"}},
        {"2m + 1", "abcdefghijk", u"5", {"abcde", "fghij", "k"}},
        {"one character each", "abc", u"1", {"a", "b", "c"}},
        {"boundary between CR and LF", "ab\r\ncd", u"3", {"ab\r", "\ncd"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(split(byCount(c.input, c.chars)), (Messages{kNotice, kDone}));
        EXPECT_EQ(pieces(), c.pieces);
        for (const auto& f : std::filesystem::directory_iterator(dir.path())) std::filesystem::remove(f);
    }
}

TEST_F(SplitRun, Code936TextIsCutByCharactersAndWrittenBack)
{
    // 中文ab中 with a CR LF: six characters, eight bytes before the line end.
    const std::string gbk = "\xD6\xD0\xCE\xC4" "ab" "\xD6\xD0\r\n";
    EXPECT_EQ(split(byCount(gbk, u"2")), (Messages{kNotice, kDone}));
    EXPECT_EQ(pieces(), (std::vector<std::string>{"\xD6\xD0\xCE\xC4", "ab", "\xD6\xD0\r", "\n"}));
}

TEST_F(SplitRun, PiecesOfAnyBytesJoinToTheInput)
{
    // Small pieces, and pieces larger than what is encoded at a time.
    const std::pair<std::size_t, std::u16string> cases[] = {{5000, u"7"}, {300000, u"150000"}};
    for (const auto& [size, chars] : cases) {
        SCOPED_TRACE(utf8(chars));
        std::mt19937 rng(7);
        std::string input(size, '\0');
        for (char& b : input) b = static_cast<char>(rng());
        input.back() = '\xD6';  // a lead byte with nothing after it
        EXPECT_EQ(split(byCount(input, chars)), (Messages{kNotice, kDone}));
        std::string joined;
        for (const std::string& p : pieces()) joined += p;
        EXPECT_EQ(joined, input);
        for (const auto& f : std::filesystem::directory_iterator(dir.path())) std::filesystem::remove(f);
    }
}

TEST_F(SplitRun, PiecesAreWhatDecodingCuttingAndEncodingGive)
{
    std::mt19937 rng(1936);
    std::string randomBytes(20000, '\0');
    for (char& b : randomBytes) b = static_cast<char>(rng() % 3 == 0 ? rng() & 0x7F : 0x80 | rng());
    std::string novel;
    while (novel.size() < 30000)
        novel += reference::encode(u"第三回　风起青萍之末\r\n  “你来了。”他说，Chapter 3 of 40；\r\n");
    const std::string shortNovel = novel.substr(0, 1001);  // ends inside a character
    const std::pair<const std::string*, std::u16string> cases[] = {
        {&randomBytes, u"63"}, {&randomBytes, u"65536"}, {&novel, u"1000"}, {&novel, u"77"}, {&shortNovel, u"1"},
    };
    for (const auto& [input, chars] : cases) {
        SCOPED_TRACE(utf8(chars));
        const std::u16string text = reference::decode(*input);
        EXPECT_EQ(split(byCount(*input, chars)), (Messages{kNotice, kDone}));
        const auto m = static_cast<std::int64_t>(std::stoll(utf8(chars)));
        std::vector<std::string> expected;
        for (std::int64_t start = 1; start <= static_cast<std::int64_t>(text.size()); start += m)
            expected.push_back(reference::encode(engine::substring(text, start, m)));
        EXPECT_EQ(pieces(), expected);
        for (const auto& f : std::filesystem::directory_iterator(dir.path())) std::filesystem::remove(f);
    }
}

TEST_F(SplitRun, ExistingPiecesAreExtendedAndOthersLeftAlone)
{
    writeBytes(dir / "p1.txt", "old1");
    writeBytes(dir / "p9.txt", "old9");
    const Settings s = byCount("abcdefgh", u"4");
    EXPECT_EQ(split(s), (Messages{kNotice, kDone}));
    EXPECT_EQ(split(s), (Messages{kNotice, kDone}));
    EXPECT_EQ(readBytes(dir / "p1.txt"), "old1abcdabcd");
    EXPECT_EQ(readBytes(dir / "p2.txt"), "efghefgh");
    EXPECT_FALSE(std::filesystem::exists(dir / "p3.txt"));
    EXPECT_EQ(readBytes(dir / "p9.txt"), "old9");
}

TEST_F(SplitRun, PieceNamesAreJoinedAsTyped)
{
    Settings s = byCount(std::string(100, 'x'), u"1");
    s.folder += u"/";  // a separator of its own: the name holds two in a row
    s.base = u"my part.txt";
    EXPECT_EQ(split(s), (Messages{kNotice, kDone}));
    for (const char* name : {"my part.txt1.txt", "my part.txt9.txt", "my part.txt10.txt", "my part.txt100.txt"})
        EXPECT_TRUE(std::filesystem::exists(dir / name)) << name;
    EXPECT_FALSE(std::filesystem::exists(dir / "my part.txt101.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir / "my part.txt01.txt"));

    Settings sub = byCount("abc", u"2");
    std::filesystem::create_directory(dir / "sub");
    sub.base = u"sub/q";  // the base name may reach into a folder
    EXPECT_EQ(split(sub), (Messages{kNotice, kDone}));
    EXPECT_EQ(readBytes(dir / "sub" / "q2.txt"), "c");
}

TEST_F(SplitRun, ManyPiecesPastTheOldCounterBound)
{
    // 40000 pieces: a 16-bit piece counter would stop at 32767.
    const std::string input(40000, 'z');
    EXPECT_EQ(split(byCount(input, u"1")), (Messages{kNotice, kDone}));
    EXPECT_TRUE(std::filesystem::exists(dir / "p32768.txt"));
    EXPECT_EQ(readBytes(dir / "p40000.txt"), "z");
    EXPECT_FALSE(std::filesystem::exists(dir / "p40001.txt"));
}
