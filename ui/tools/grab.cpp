// qjxgrab OUT.png X Y WIDTH HEIGHT: saves that part of the screen.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 6) {
        std::fprintf(stderr, "usage: qjxgrab OUT.png X Y WIDTH HEIGHT\n");
        return 2;
    }
    const int x = std::atoi(argv[2]), y = std::atoi(argv[3]);
    const int w = std::atoi(argv[4]), h = std::atoi(argv[5]);
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0, x, y, w, h);
    if (shot.isNull() || !shot.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "qjxgrab: could not save %s\n", argv[1]);
        return 1;
    }
    return 0;
}
