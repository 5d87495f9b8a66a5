#include "platform/message_box.hpp"

#include <QApplication>
#include <QMessageBox>

namespace ui {

void messageBox(const QString& text)
{
    // Owned by the window in front, which gets the input back afterwards.
    QMessageBox box(QMessageBox::Information, QStringLiteral("提示"), text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    // Paths and typed values are shown as they are, never as markup.
    box.setTextFormat(Qt::PlainText);
    // Our own text, whatever the locale would put on a standard button.
    box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.exec();
}

engine::MessageBox engineMessageBox()
{
    return [](const std::u16string& text) { messageBox(QString::fromStdU16String(text)); };
}

}  // namespace ui
