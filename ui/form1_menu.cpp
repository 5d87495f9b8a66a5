#include "form1_menu.hpp"

#include <QMenu>
#include <QMenuBar>

namespace ui {
namespace {

QMenu* addMenu(QMenuBar* bar, const char* name, const QString& caption)
{
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    return menu;
}

QAction* addItem(QMenu* menu, const char* name, const QString& caption)
{
    QAction* item = menu->addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    return item;
}

QAction* addSeparator(QMenu* menu, const char* name)
{
    QAction* line = menu->addSeparator();
    line->setObjectName(QString::fromLatin1(name));
    return line;
}

}  // namespace

Form1Menu::Form1Menu(QMenuBar* bar)
    : do_(addMenu(bar, "do", QStringLiteral("操作"))),
      open(addItem(do_, "open", QStringLiteral("打开文件"))),
      sel(addItem(do_, "sel", QStringLiteral("选择输出目录"))),
      o(addSeparator(do_, "o")),
      start(addItem(do_, "start", QStringLiteral("开始分割"))),
      o3(addSeparator(do_, "o3")),
      quite(addItem(do_, "quite", QStringLiteral("退出"))),
      style(addMenu(bar, "style", QStringLiteral("模式"))),
      anzi(addItem(style, "anzi", QStringLiteral("按字数分割"))),
      andaxiao(addItem(style, "andaxiao", QStringLiteral("按文件大小分割"))),
      help(addMenu(bar, "help", QStringLiteral("帮助"))),
      shuoming(addItem(help, "shuoming", QStringLiteral("使用说明"))),
      o2(addSeparator(help, "o2")),
      about(addItem(help, "about", QStringLiteral("关于")))
{
}

}  // namespace ui
