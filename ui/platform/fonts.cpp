#include "platform/fonts.hpp"

#include <QStringList>

namespace ui {

namespace {

// Ming (Song) faces first, then whatever CJK face the machine has.
const QStringList& songStandIns()
{
    static const QStringList faces = {
        QStringLiteral("AR PL UMing CN"),
        QStringLiteral("AR PL UMing TW"),
        QStringLiteral("AR PL UMing HK"),
        QStringLiteral("Noto Serif CJK SC"),
        QStringLiteral("Source Han Serif SC"),
        QStringLiteral("WenQuanYi Micro Hei"),
        QStringLiteral("WenQuanYi Zen Hei"),
        QStringLiteral("Noto Sans CJK SC"),
    };
    return faces;
}

// The family keeps its Windows name (what the window asks for); Qt tries
// the stand-ins when no face of that name is installed.
QFont song(const QString& family, QFont::Weight weight)
{
    static const bool substituted = [] {
        for (const char* name : {"宋体", "新宋体", "SimSun", "NSimSun"})
            QFont::insertSubstitutions(QString::fromUtf8(name), songStandIns());
        return true;
    }();
    (void)substituted;

    QFont font;
    font.setFamilies({family});
    font.setPointSize(9);
    font.setWeight(weight);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

}  // namespace

QFont songtiBold9() { return song(QStringLiteral("宋体"), QFont::Bold); }

// Regular Song at this size reads best unsmoothed, one pixel per stroke.
QFont songti9()
{
    QFont font = song(QStringLiteral("宋体"), QFont::Normal);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

QFont xinSongti9()
{
    QFont font = song(QStringLiteral("新宋体"), QFont::Normal);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

}  // namespace ui
