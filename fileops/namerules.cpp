#include "fileops/namerules.h"

#include <cmath>
#include <limits>

#include "platform/paths.h"

namespace orvella {

namespace {

std::optional<double> radixValue(const QString &digits, int radix)
{
    quint64 value = 0;
    qsizetype used = 0;
    for (QChar c : digits) {
        const int d = c.isDigit()
            ? c.digitValue()
            : (c.toUpper() >= u'A' && c.toUpper() <= u'F' ? c.toUpper().unicode() - 'A' + 10 : 99);
        if (d >= radix)
            break;
        value = value * quint64(radix) + quint64(d);
        if (value > 0xFFFFFFFFull)
            return std::nullopt;
        ++used;
    }
    if (used == 0)
        return 0.0;
    // Up to four hex digits read as a 16-bit number, up to eight as a 32-bit one; both signed.
    if (value <= 0xFFFF)
        return double(qint16(quint16(value)));
    return double(qint32(quint32(value)));
}

} // namespace

std::optional<double> numericValue(const QString &text)
{
    QString s;
    s.reserve(text.size());
    for (QChar c : text)
        if (c != u' ' && c != u'\t' && c != u'\n')
            s.append(c);
    if (s.startsWith(u'&')) {
        const QChar kind = s.size() > 1 ? s[1].toUpper() : QChar();
        if (kind == u'H')
            return radixValue(s.mid(2), 16);
        if (kind == u'O')
            return radixValue(s.mid(2), 8);
        return radixValue(s.mid(1), 8);
    }
    // Sign, digits, point, digits, then an exponent only when digits follow it.
    qsizetype i = 0;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
        ++i;
    const qsizetype digitsStart = i;
    while (i < s.size() && s[i].isDigit() && s[i].unicode() < 128)
        ++i;
    if (i < s.size() && s[i] == u'.') {
        ++i;
        while (i < s.size() && s[i].isDigit() && s[i].unicode() < 128)
            ++i;
    }
    const qsizetype mantissaEnd = i;
    if (mantissaEnd - digitsStart == 0 || (mantissaEnd - digitsStart == 1 && s[digitsStart] == u'.'))
        return 0.0;
    if (i < s.size() && (s[i].toUpper() == u'E' || s[i].toUpper() == u'D')) {
        qsizetype j = i + 1;
        if (j < s.size() && (s[j] == u'+' || s[j] == u'-'))
            ++j;
        const qsizetype expDigits = j;
        while (j < s.size() && s[j].isDigit() && s[j].unicode() < 128)
            ++j;
        if (j > expDigits)
            i = j;
    }
    QString number = s.left(i);
    number.replace(u'd', u'e').replace(u'D', u'e');
    bool ok = false;
    const double v = number.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<qint32> countStart(const QString &text)
{
    const std::optional<double> v = numericValue(text);
    if (!v)
        return std::nullopt;
    const double r = std::nearbyint(*v);
    if (r < double(std::numeric_limits<qint32>::min()) || r > double(std::numeric_limits<qint32>::max()))
        return std::nullopt;
    return qint32(r);
}

QString formatCount(qint64 n)
{
    const QString digits = QString::number(n < 0 ? -n : n).rightJustified(3, u'0');
    return n < 0 ? QStringLiteral(" -") + digits : QStringLiteral(" ") + digits;
}

QString signedText(qint64 n)
{
    return n < 0 ? QString::number(n) : QStringLiteral(" ") + QString::number(n);
}

QString extensionOf(const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot < 0 ? QString() : fileName.mid(dot);
}

QString newName(const QString &prefix, qint64 number, const QString &extension, bool numbered)
{
    return numbered ? prefix + formatCount(number) + extension : prefix + extension;
}

QString newNameRefusal(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("The new name would be empty.");
    if (name == u"." || name == u"..")
        return QStringLiteral("The new name \"%1\" would name a folder, not a picture.").arg(name);
    // A picture named ".jpg" would vanish from every list here and from the desktop's file manager.
    if (hiddenByName(name))
        return QStringLiteral("The new name \"%1\" would hide the file: type a prefix that does not begin "
                              "with a dot.")
            .arg(name);
    for (QChar c : name) {
        if (c == u'/' || c == u'\\')
            return QStringLiteral("The prefix may not hold / or \\: the pictures would go into another folder.");
        if (c.unicode() == 0)
            return QStringLiteral("The prefix holds a character no file name may hold.");
    }
    return {};
}

} // namespace orvella
