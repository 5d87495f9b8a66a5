#pragma once
// The About window's picture: a strip of paper and the scissors cutting it.
#include <QImage>

namespace ui {

// 454 by 340 pixels on white.
QImage drawAboutPicture();

}  // namespace ui
