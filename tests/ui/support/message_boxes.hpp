#pragma once
// Watches every message box the program opens, records what it shows and
// answers it by clicking its button, as a user would.
#include <QMessageBox>
#include <QImage>
#include <QObject>
#include <QStringList>
#include <functional>

namespace uitest {

struct ShownBox {
    QString title;
    QString text;
    QMessageBox::Icon icon;
    QStringList buttons;
    bool modal;
    QWidget* owner;
    QImage windowIcon;  // 48 by 48
    QRect frame;        // on the screen, as laid out while open
};

class MessageBoxes : public QObject {
    Q_OBJECT
public:
    MessageBoxes();
    ~MessageBoxes() override;

    QList<ShownBox> shown;
    QStringList texts() const;

    // Runs while each box is still open, before it is answered.
    std::function<void(QMessageBox&)> whileOpen;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace uitest
