// qjxgrab OUT.png X Y WIDTH HEIGHT: saves that part of the screen.
// qjxgrab --ink X Y WIDTH HEIGHT: prints the first and the last row of that
// part that holds dark pixels (text), counted from its top; -1 -1 if none.
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <cstdio>
#include <cstdlib>
#include <cstring>

static void printInkRows(const QImage& image)
{
    int first = -1, last = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 128) {
                if (first < 0) first = y;
                last = y;
                break;
            }
        }
    }
    std::printf("%d %d\n", first, last);
}

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 6) {
        std::fprintf(stderr, "usage: qjxgrab OUT.png|--ink X Y WIDTH HEIGHT\n");
        return 2;
    }
    const int x = std::atoi(argv[2]), y = std::atoi(argv[3]);
    const int w = std::atoi(argv[4]), h = std::atoi(argv[5]);
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0, x, y, w, h);
    if (std::strcmp(argv[1], "--ink") == 0 && !shot.isNull()) {
        printInkRows(shot.toImage());
        return 0;
    }
    if (shot.isNull() || !shot.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "qjxgrab: could not save %s\n", argv[1]);
        return 1;
    }
    return 0;
}
