#include "text/caseless.h"

#include <algorithm>

namespace kestrel {

int CompareCaseless(const QString &a, const QString &b)
{
    const qsizetype common = std::min(a.size(), b.size());
    const QChar *p = a.constData();
    const QChar *q = b.constData();
    for (qsizetype i = 0; i < common; ++i) {
        char16_t x = p[i].unicode();
        char16_t y = q[i].unicode();
        if (x == y)
            continue;
        if (x >= 0x80 || y >= 0x80)
            return QStringView(a).mid(i).compare(QStringView(b).mid(i), Qt::CaseInsensitive);
        if (x >= u'A' && x <= u'Z')
            x += u'a' - u'A';
        if (y >= u'A' && y <= u'Z')
            y += u'a' - u'A';
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

} // namespace kestrel
