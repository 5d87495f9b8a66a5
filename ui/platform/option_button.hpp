#pragma once
// An option button whose Click runs on every selection by the user (also a
// click on the button already selected), and when a procedure selects it
// while it was clear.
#include <QRadioButton>

namespace ui {

class OptionButton : public QRadioButton {
    Q_OBJECT
public:
    OptionButton(const QString& caption, QWidget* parent);

    bool value() const { return isChecked(); }
    // Value = True: clears the other button of the group; raises Click only
    // when this one was clear.
    void select();

signals:
    void Click();

protected:
    // The whole rectangle takes the click, not only the mark and caption.
    bool hitButton(const QPoint& pos) const override;
};

}  // namespace ui
