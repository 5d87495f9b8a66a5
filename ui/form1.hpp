#pragma once
// The main window: the input path, the output folder and the base name, the
// split mode, the start and exit buttons, and the menu bar.
#include <memory>

#include "form1_menu.hpp"
#include "platform/common_dialog.hpp"
#include "platform/window.hpp"

class QLabel;
class QLineEdit;
class QMenuBar;
class QPushButton;

namespace ui {

class OptionButton;

class Form1 : public Window {
    Q_OBJECT
public:
    Form1();
    ~Form1() override;

    QMenuBar* menuBar;
    std::unique_ptr<Form1Menu> menu;
    QWidget* client;  // the area below the menu bar

    QLabel* Label1;
    QLineEdit* Text1;
    QPushButton* Command1;
    QLabel* Label2;
    QLineEdit* Text2;
    QPushButton* Command3;
    OptionButton* Option1;
    OptionButton* Option2;
    QLabel* Label4;
    QLineEdit* Text4;
    QPushButton* Command2;
    QPushButton* Command4;
    CommonDialog CommonDialog1;

    void Form_Load();
    void Form_Unload(int& Cancel);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Option1_Click();
    void Option2_Click();
    void open_Click();
    void sel_Click();
    void start_Click();
    void quite_Click();
    void anzi_Click();
    void andaxiao_Click();
    void shuoming_Click();
    void about_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
};

}  // namespace ui
