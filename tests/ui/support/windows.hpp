#pragma once
// The program's windows by name, and opening all of them as a user does.
#include <QRect>
#include <QString>

class QWidget;

namespace uitest {

// "Form1" ... "Form6": the instance, or nullptr while it is not created.
QWidget* windowNamed(const QString& name);

// A place given in twips, in pixels (15 twips each).
inline QRect twips(int left, int top, int width, int height)
{
    return {left / 15, top / 15, width / 15, height / 15};
}

// Every window shown the way a user opens it.
void openEveryWindow();

}  // namespace uitest
