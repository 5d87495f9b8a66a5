#include "split_run.hpp"

#include <cmath>

#include "input_text.hpp"
#include "pieces.hpp"
#include "run_error.hpp"
#include "runtime.hpp"

namespace engine {
namespace {

const std::u16string kNotice = u"接下来将要分割文件，请在输出目录中浏览分割完的文件";

// Reads the file, has the characters per piece worked out, writes the pieces.
template <typename CharsPerPiece>
void readAndWrite(SettingsReader& s, const MessageBox& show, CharsPerPiece charsPerPiece)
{
    show(kNotice);
    InputText input = readInputText(s.inputPath());
    const std::int32_t m = charsPerPiece();
    writePieces(input.bytes.view(), m, s, input.file);
    input = {};  // the bytes are not needed while the last box is open
    show(u"完成");
}

void splitByCount(SettingsReader& s, const MessageBox& show)
{
    if (isEmptyText(s.inputPath())) return show(u"请选择文件");
    if (isEmptyText(s.charsPerPiece())) return show(u"请输入分割文件的字数");
    if (isEmptyText(s.baseName())) return show(u"请输入分割文件的名称");
    if (!isNumeric(s.charsPerPiece())) return show(u"请在“每份分割文件的字数”中输入数字！");
    if (isEmptyText(s.outputFolder())) return show(u"请选择输出路径");
    readAndWrite(s, show, [&] {
        const std::u16string typed = s.charsPerPiece();
        const double value = readNumber(typed);
        const std::optional<std::int32_t> m = roundToInt32(value);
        if (m ? *m < 1 : value < 0)
            throw RunError(u"每份分割文件的字数" + quotedHead(typed) + u"不足1个字，请输入不小于1的数字！");
        if (!m) throw RunError(u"每份分割文件的字数" + quotedHead(typed) + u"太大，请输入较小的数字！");
        return *m;
    });
}

void splitBySize(SettingsReader& s, const MessageBox& show)
{
    if (isEmptyText(s.inputPath())) return show(u"请选择文件");
    if (isEmptyText(s.baseName())) return show(u"请输入分割文件的名称");
    if (isEmptyText(s.outputFolder())) return show(u"请选择输出路径");
    if (isEmptyText(s.sizePerPiece())) return show(u"请输入每个文件的大小");
    readAndWrite(s, show, [&] {
        const std::u16string typed = s.sizePerPiece();
        const double product = readNumber(typed) * 1024.0;
        const std::optional<std::int32_t> rounded =
            std::isfinite(product) ? roundToInt32(product) : std::nullopt;
        if (rounded ? *rounded / 2 < 1 : product < 0)
            throw RunError(u"每个文件的大小" + quotedHead(typed) + u"换算后不足1个字，请输入更大的数字！");
        if (!rounded) throw RunError(u"每个文件的大小" + quotedHead(typed) + u"KB太大，请输入较小的数字！");
        return *rounded / 2;
    });
}

}  // namespace

void splitRun(SettingsReader& s, const MessageBox& show)
{
    runProcedure(show, u"内存不足，分割没有完成", [&] {
        if (const ModeState mode = s.splitMode(); !mode.byCount && !mode.bySize) return show(u"请选择分割方式");
        if (s.splitMode().byCount) splitByCount(s, show);
        if (s.splitMode().bySize) splitBySize(s, show);
    });
}

}  // namespace engine
