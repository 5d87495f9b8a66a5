#include "support/message_boxes.hpp"

#include <QAbstractButton>
#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>

namespace uitest {

MessageBoxes::MessageBoxes() { qApp->installEventFilter(this); }

MessageBoxes::~MessageBoxes() { qApp->removeEventFilter(this); }

QStringList MessageBoxes::texts() const
{
    QStringList all;
    for (const ShownBox& box : shown) all << box.text;
    return all;
}

bool MessageBoxes::eventFilter(QObject* watched, QEvent* event)
{
    auto* box = qobject_cast<QMessageBox*>(watched);
    // Shown again after a minimise, it is still the same box.
    if (box && event->type() == QEvent::Show && !box->property("uitest.recorded").toBool()) {
        box->setProperty("uitest.recorded", true);
        QStringList buttons;
        for (QAbstractButton* b : box->buttons()) buttons << b->text();
        shown.append({box->windowTitle(), box->text(), box->icon(), buttons, box->isModal(), box->parentWidget(),
                      box->windowIcon().pixmap(48, 48).toImage(), {}});
        // Answered from inside the box's own event loop.
        QPointer<QMessageBox> open(box);
        const qsizetype index = shown.size() - 1;
        QTimer::singleShot(0, box, [this, open, index] {
            if (!open) return;
            shown[index].frame = open->frameGeometry();
            if (whileOpen) whileOpen(*open);
            if (open && !open->buttons().isEmpty())
                QTest::mouseClick(open->buttons().first(), Qt::LeftButton);
        });
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace uitest
