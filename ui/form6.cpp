#include "form6.hpp"

#include <QLabel>
#include <QPixmap>

#include "pictures/about_picture.hpp"
#include "platform/controls.hpp"
#include "platform/fonts.hpp"

namespace ui {

namespace {

// Short lines, so the text stays left of the scissors.
const char* const kCredits =
    "QJX文本文件分割器V1.5\n"
    "\n"
    "把大的文本文件（如一部小说）\n"
    "按字数或按文件大小，分割成\n"
    "按顺序编号的小文本文件；\n"
    "还能显示文件的字数和大小。\n"
    "\n"
    "文件按GBK编码读写，\n"
    "分割不改动原来的文件。";

}  // namespace

Form6::Form6()
{
    setWindowTitle(QStringLiteral("关于"));

    // The picture overhangs the client area on every side.
    Image1 = control<QLabel>(this, "Image1", -480, -360, 5175, 3735);
    Image1->setPixmap(QPixmap::fromImage(drawAboutPicture()));
    Image1->setScaledContents(true);

    // Created after the picture, so it lies over it; no ground of its own.
    Label1 = control<QLabel>(this, "Label1", 240, 360, 4095, 2415, QString::fromUtf8(kCredits));
    Label1->setFont(xinSongti9());
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setWordWrap(true);
    Label1->setAutoFillBackground(false);
    QPalette red = Label1->palette();
    red.setColor(QPalette::WindowText, QColor(255, 0, 0));
    Label1->setPalette(red);

    placeFixedClient(5475, 4935, 4605, 2955);
}

}  // namespace ui
