#pragma once
// The program's windows by name, and opening all of them as a user does.
#include <QString>

class QWidget;

namespace uitest {

// "Form1" ... "Form6": the instance, or nullptr while it is not created.
QWidget* windowNamed(const QString& name);

// Every window shown the way a user opens it.
void openEveryWindow();

}  // namespace uitest
