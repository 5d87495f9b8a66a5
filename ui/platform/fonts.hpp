#pragma once
#include <QFont>

namespace ui {

// "宋体", 9 points, bold; CJK families stand in where it is missing.
QFont songtiBold9();

}  // namespace ui
