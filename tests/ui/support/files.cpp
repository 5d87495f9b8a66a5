#include "support/files.hpp"

#include <QFile>
#include <QTest>
#include <utility>

namespace uitest {
namespace {

// "分割文件测试" and their code page 936 bytes.
const std::pair<QChar, const char*> kChinese[] = {
    {QChar(0x5206), "\xB7\xD6"}, {QChar(0x5272), "\xB8\xEE"}, {QChar(0x6587), "\xCE\xC4"},
    {QChar(0x4EF6), "\xBC\xFE"}, {QChar(0x6D4B), "\xB2\xE2"}, {QChar(0x8BD5), "\xCA\xD4"},
};

}  // namespace

QString sampleText(int count)
{
    const QString cycle = QString(kChinese[0].first) + kChinese[1].first + QStringLiteral("ab") +
                          kChinese[2].first + kChinese[3].first + QStringLiteral("7 ") + kChinese[4].first +
                          kChinese[5].first + QStringLiteral("\r\n");
    QString text;
    while (text.size() < count) text += cycle;
    text.truncate(count);
    return text;
}

QByteArray toGbk(const QString& text)
{
    QByteArray bytes;
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            bytes += static_cast<char>(c.unicode());
            continue;
        }
        bool known = false;
        for (const auto& [ch, gbk] : kChinese) {
            if (ch == c) {
                bytes += gbk;
                known = true;
            }
        }
        if (!known) qFatal("no code page 936 bytes for U+%04X", c.unicode());
    }
    return bytes;
}

QString writeFile(const QString& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir + QLatin1Char('/') + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) qFatal("cannot write %s", qPrintable(path));
    return path;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

}  // namespace uitest
