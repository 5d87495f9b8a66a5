#include "platform/file_names.hpp"

namespace ui {
namespace {

// Length of the well-formed UTF-8 sequence at s[i], or 0.
int sequenceLength(const unsigned char* s, qsizetype i, qsizetype size)
{
    const unsigned char b = s[i];
    int n = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (b < 0x80) return 1;
    if (b >= 0xC2 && b <= 0xDF) n = 2;
    else if (b >= 0xE0 && b <= 0xEF) {
        n = 3;
        if (b == 0xE0) lo = 0xA0;
        if (b == 0xED) hi = 0x9F;  // no encoded surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
        n = 4;
        if (b == 0xF0) lo = 0x90;
        if (b == 0xF4) hi = 0x8F;
    } else {
        return 0;
    }
    if (i + n > size) return 0;
    if (s[i + 1] < lo || s[i + 1] > hi) return 0;
    for (int k = 2; k < n; ++k)
        if ((s[i + k] & 0xC0) != 0x80) return 0;
    return n;
}

}  // namespace

QString fromFsName(const QByteArray& bytes)
{
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    QString out;
    out.reserve(size);
    qsizetype i = 0;
    while (i < size) {
        const int n = sequenceLength(s, i, size);
        if (n == 0) {
            out += QChar(char16_t(0xDC00 + s[i]));
            ++i;
        } else {
            out += QString::fromUtf8(bytes.constData() + i, n);
            i += n;
        }
    }
    return out;
}

QString displayName(const QString& name)
{
    QString out;
    out.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t u = name[i].unicode();
        // The second half of a character beyond 16 bits is no kept byte.
        if (name[i].isHighSurrogate() && i + 1 < name.size() && name[i + 1].isLowSurrogate()) {
            out += name.mid(i++, 2);
        } else if (u >= 0xDC80 && u <= 0xDCFF) {
            out += QString::asprintf("\\x%02X", unsigned(u - 0xDC00));
        } else {
            out += name[i];
        }
    }
    return out;
}

QString childPath(const QString& folder, const QString& name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

}  // namespace ui
