#include "platform/controls.hpp"

#include <QLabel>
#include <QLineEdit>
#include <limits>

#include "platform/fonts.hpp"

namespace ui {
namespace {

// A field lays out its whole text again after each key. The default face
// has no Chinese, so each Chinese character was looked up through every
// fallback face, and every character went through the shaper. Naming the
// Chinese faces right after the default one, and plain glyphs without
// shaping, as the platform's fields draw them, make each key several times
// cheaper; Latin text keeps the default face.
QFont fieldFont(QFont font)
{
    font.setFamilies({font.family(), QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("AR PL UMing CN")});
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

}  // namespace

void setUpControl(QWidget* control)
{
    if (auto* field = qobject_cast<QLineEdit*>(control)) {
        // Qt's default stops a field at 32767 characters, and a longer paste
        // would be cut without a word.
        field->setMaxLength(std::numeric_limits<int>::max());
        field->setFont(fieldFont(field->font()));
    }
    if (auto* label = qobject_cast<QLabel*>(control)) label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

QLabel* songtiLabel(QWidget* parent, const char* name, const QString& caption, int left, int top, int width,
                    int height)
{
    auto* label = control<QLabel>(parent, name, left, top, width, height, caption);
    label->setFont(songtiBold9());
    return label;
}

}  // namespace ui
