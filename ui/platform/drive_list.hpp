#pragma once
// The drive list: the machine's drives, one of them chosen.
#include <QComboBox>

namespace ui {

class DriveList : public QComboBox {
    Q_OBJECT
public:
    // Stands at the drive of the working folder.
    explicit DriveList(QWidget* parent);

    // The chosen drive's mount point; the folder list takes it as a path.
    QString drive() const { return drive_; }
    // Shows the drive chosen again without Change, undoing a choice that
    // could not be carried out.
    void showDrive(const QString& drive);

    // Lists the drives mounted by now.
    void showPopup() override;

protected:
    // The keys and the wheel move over the drives mounted by now.
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

signals:
    void Change();

private:
    void fill();
    void choose(int index);

    QString drive_;
};

}  // namespace ui
