#include "app/stringhistory.h"

namespace kestrel {

TStringHistory::TStringHistory(int capacity, QObject *parent) : QObject(parent)
{
    items.resize(qMax(capacity, 1));
}

void TStringHistory::Add(const QString &s)
{
    if (current == last) {
        if (last == Capacity() - 1) {
            items.removeFirst();
            items.append(QString());
        } else {
            ++last;
        }
        current = last;
    } else {
        ++current;
        for (int i = current + 1; i <= last; ++i)
            items[i].clear();
        last = current;
    }
    items[current] = s;
    Q_EMIT OnChange(this);
}

QString TStringHistory::Back()
{
    if (current <= 0)
        return QString();
    --current;
    Q_EMIT OnChange(this);
    return items.at(current);
}

QString TStringHistory::Forward()
{
    if (current >= last)
        return QString();
    ++current;
    Q_EMIT OnChange(this);
    return items.at(current);
}

QString TStringHistory::Get(int index) const
{
    return index >= 0 && index <= last ? items.at(index) : QString();
}

} // namespace kestrel
