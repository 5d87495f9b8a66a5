#pragma once
// The Song typefaces the windows ask for by their Windows names, "宋体" and
// "新宋体". Here they are AR PL UMing (Debian's fonts-arphic-uming); where
// that is missing, another installed CJK face takes their place.
#include <QFont>

namespace ui {

// "宋体", 9 points, bold.
QFont songtiBold9();
// "宋体", 9 points, regular.
QFont songti9();
// "新宋体", 9 points, regular.
QFont xinSongti9();

}  // namespace ui
