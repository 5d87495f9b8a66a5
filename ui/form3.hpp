#pragma once
// The folder chooser: picks the output folder from a drive list and a folder
// list.
#include "platform/window.hpp"

class QPushButton;

namespace ui {

class DirList;
class DriveList;

class Form3 : public Window {
    Q_OBJECT
public:
    Form3();

    DriveList* Drive1;
    DirList* Dir1;
    QPushButton* Command1;

    void Drive1_Change();
    void Dir1_Change();
    void Command1_Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool noticeShown_ = false;
};

}  // namespace ui
