#pragma once
// The main window's open-file dialog control; it draws nothing.
#include <QString>

namespace ui {

class CommonDialog {
public:
    // Display text and pattern, separated by "|".
    void setFilter(const QString& filter) { filter_ = filter; }
    const QString& filter() const { return filter_; }

private:
    QString filter_;
};

}  // namespace ui
