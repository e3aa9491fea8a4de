#include "Version.h"

namespace version {

QStringList segments(const QString& text)
{
    QStringList parts;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text.at(i).isSpace())
        ++i;
    if (i < n && text.at(i) == u'+')
        ++i;
    while (i < n) {
        const qsizetype start = i;
        // Only ASCII digits: a version text is never written in other scripts' numerals.
        while (i < n && text.at(i) >= u'0' && text.at(i) <= u'9')
            ++i;
        if (i == start)
            break;
        QString digits = text.mid(start, i - start);
        qsizetype zeros = 0;
        while (zeros < digits.size() - 1 && digits.at(zeros) == u'0')
            ++zeros;
        parts << digits.mid(zeros);
        // A dot continues the version only when a digit follows it: "1.3." reads as 1.3.
        if (i + 1 < n && text.at(i) == u'.' && text.at(i + 1) >= u'0' && text.at(i + 1) <= u'9')
            ++i;
        else
            break;
    }
    return parts;
}

int compare(const QStringList& a, const QStringList& b)
{
    const qsizetype n = qMax(a.size(), b.size());
    const QString zero = QStringLiteral("0");
    for (qsizetype k = 0; k < n; ++k) {
        const QString& x = k < a.size() ? a.at(k) : zero;
        const QString& y = k < b.size() ? b.at(k) : zero;
        // Segments carry no leading zeros, so the longer one is the larger number; equal
        // lengths compare digit by digit. No segment can overflow this way.
        if (x.size() != y.size())
            return x.size() < y.size() ? -1 : 1;
        if (const int c = x.compare(y); c != 0)
            return c < 0 ? -1 : 1;
    }
    return 0;
}

bool newer(const QString& page, const QString& running)
{
    const QStringList published = segments(page);
    if (published.isEmpty())
        return false;
    return compare(published, segments(running)) > 0;
}

} // namespace version
