#pragma once
// Input files in code page 936, made from a few characters whose bytes are
// known, and the pieces a split should leave.
#include <QByteArray>
#include <QString>

namespace uitest {

// count characters cycling through Chinese, ASCII and a CR LF line end.
QString sampleText(int count);
QByteArray toGbk(const QString& text);

// Writes the bytes to dir/name and returns the full path.
QString writeFile(const QString& dir, const QString& name, const QByteArray& bytes);
QByteArray readFile(const QString& path);

}  // namespace uitest
