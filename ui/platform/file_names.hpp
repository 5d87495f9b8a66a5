#pragma once
// File names as text. A name's bytes that are not UTF-8 become the lone
// surrogates U+DC80..U+DCFF, one per byte, as the code page does for bytes
// it cannot decode; engine::toFsPath turns them back into the same bytes.
#include <QByteArray>
#include <QString>

namespace ui {

QString fromFsName(const QByteArray& bytes);

// The name for the eye: each kept byte as \xHH.
QString displayName(const QString& name);

// The path of a name in a folder ("/" itself ends in its separator).
QString childPath(const QString& folder, const QString& name);

}  // namespace ui
