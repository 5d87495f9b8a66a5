#include "form2.hpp"

#include <QPainter>
#include <QPushButton>

#include "form1.hpp"
#include "pictures/instructions_picture.hpp"
#include "platform/controls.hpp"
#include "platform/event.hpp"
#include "platform/windows.hpp"

namespace ui {

Form2::Form2()
    : Window(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
             Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
      Picture(instructionsPicture())
{
    setWindowTitle(QStringLiteral("帮助"));
    Command1 = control<QPushButton>(this, "Command1", 8760, 6600, 1215, 495, QStringLiteral("确定"));
    Command1->setFocus();
    connect(Command1, &QPushButton::clicked, this, [this] { runEvent([this] { Command1_Click(); }, this); });
    placeClient(2865, 2460, 10530, 7350);
}

void Form2::paintEvent(QPaintEvent*)
{
    // Never stretched: a larger window shows its own background beyond the
    // picture, a smaller one cuts it off.
    QPainter painter(this);
    painter.drawImage(0, 0, Picture);
}

void Form2::Command1_Click()
{
    Windows::show<Form1>();
    Windows::hide<Form2>();
}

}  // namespace ui
