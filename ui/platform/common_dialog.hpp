#pragma once
// The main window's open-file dialog control; it draws nothing itself.
#include <QString>
#include <vector>

#include "platform/file_dialog.hpp"

class QWidget;

namespace ui {

class CommonDialog {
public:
    explicit CommonDialog(QWidget* owner) : owner_(owner) {}

    // Display texts and patterns, alternating, separated by "|": one file
    // type per pair. Anything else is a run-time error.
    void setFilter(const QString& filter);
    const QString& filter() const { return filter_; }

    // The open-file dialog, modal over the owner; returns once the user has
    // confirmed a file or cancelled. A cancel is no error.
    void ShowOpen();

    // The full path of the file confirmed last, empty until one is.
    const QString& fileName() const { return fileName_; }

private:
    QWidget* owner_;
    QString filter_;
    std::vector<FileType> types_;
    QString fileName_;
};

}  // namespace ui
