#include "platform/option_button.hpp"

namespace ui {

OptionButton::OptionButton(const QString& caption, QWidget* parent) : QRadioButton(caption, parent)
{
    // clicked comes for the mouse, the space bar and the arrow keys, and for
    // a click on the selected button too; never for setChecked.
    connect(this, &QAbstractButton::clicked, this, &OptionButton::Click);
}

bool OptionButton::hitButton(const QPoint& pos) const { return rect().contains(pos); }

void OptionButton::select()
{
    if (isChecked()) return;
    setChecked(true);
    emit Click();
}

}  // namespace ui
