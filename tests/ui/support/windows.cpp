#include "support/windows.hpp"

#include <QMenu>
#include <QPushButton>
#include <QTest>

#include "form1.hpp"
#include "form2.hpp"
#include "form3.hpp"
#include "form4.hpp"
#include "form5.hpp"
#include "form6.hpp"
#include "platform/option_button.hpp"
#include "platform/windows.hpp"
#include "support/session.hpp"

namespace uitest {

QWidget* windowNamed(const QString& name)
{
    using namespace ui;
    if (name == "Form1") return Windows::find<Form1>();
    if (name == "Form2") return Windows::find<Form2>();
    if (name == "Form3") return Windows::find<Form3>();
    if (name == "Form4") return Windows::find<Form4>();
    if (name == "Form5") return Windows::find<Form5>();
    if (name == "Form6") return Windows::find<Form6>();
    return nullptr;
}

void openEveryWindow()
{
    ui::Form1& f1 = *ui::Windows::find<ui::Form1>();
    QTest::mouseClick(f1.Command3, Qt::LeftButton);
    QTest::mouseClick(f1.Option1, Qt::LeftButton);
    QTest::mouseClick(f1.Option2, Qt::LeftButton);
    chooseMenuItem(f1.menu->help, f1.menu->shuoming);
    chooseMenuItem(f1.menu->help, f1.menu->about);
}

}  // namespace uitest
