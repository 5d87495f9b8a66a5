#pragma once
// The main window's menu bar. Members carry the items' names; "do" is a
// keyword, hence do_.
class QAction;
class QMenu;
class QMenuBar;

namespace ui {

struct Form1Menu {
    explicit Form1Menu(QMenuBar* bar);

    QMenu* do_;
    QAction* open;
    QAction* sel;
    QAction* o;
    QAction* start;
    QAction* o3;
    QAction* quite;

    QMenu* style;
    QAction* anzi;
    QAction* andaxiao;

    QMenu* help;
    QAction* shuoming;
    QAction* o2;
    QAction* about;
};

}  // namespace ui
