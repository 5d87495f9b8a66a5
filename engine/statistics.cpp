#include "statistics.hpp"

#include "char_scan.hpp"
#include "input_text.hpp"
#include "run_error.hpp"
#include "runtime.hpp"

namespace engine {
namespace {

// Reads the input file and shows head, the figure made of its character
// count, and tail.
template <typename Figure>
void showStatistic(SettingsReader& s, const MessageBox& show, const char16_t* head, const char16_t* tail,
                   Figure figure)
{
    runProcedure(show, u"内存不足，无法统计文件", [&] {
        if (isEmptyText(s.inputPath())) return show(u"请先选择文件");
        const std::int64_t count = cp936::countChars(readInputText(s.inputPath()).bytes.view());
        show(head + decimalText(figure(count)) + tail);
    });
}

}  // namespace

void showCharacterCount(SettingsReader& s, const MessageBox& show)
{
    showStatistic(s, show, u"被分割文件的字数为", u"个", [](std::int64_t count) { return count; });
}

void showSizeEstimate(SettingsReader& s, const MessageBox& show)
{
    // Every character counts as 2 bytes, and 1 KB is always added.
    showStatistic(s, show, u"被分割文件的大小为", u"KB", [](std::int64_t count) { return count * 2 / 1024 + 1; });
}

}  // namespace engine
