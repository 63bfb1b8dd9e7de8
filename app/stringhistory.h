#pragma once
// TStringHistory: the bounded back/forward list of folders. Adding at the end
// of a full list drops the oldest entry; adding behind the cursor discards the
// entries after it. Invariant: -1 <= Current <= Last < capacity.

#include <QObject>
#include <QString>
#include <QStringList>

namespace kestrel {

class TStringHistory : public QObject {
    Q_OBJECT
public:
    explicit TStringHistory(int capacity, QObject *parent = nullptr);

    void Add(const QString &s);
    QString Back();    // "" when the cursor is at the start
    QString Forward(); // "" when the cursor is at the end
    bool CanBack() const { return current > 0; }
    bool CanForward() const { return current < last; }
    QString Get(int index) const; // "" outside 0..Last

    int Capacity() const { return int(items.size()); }
    int Last() const { return last; }
    int Current() const { return current; }

Q_SIGNALS:
    void OnChange(QObject *sender);

private:
    QStringList items;
    int last = -1;
    int current = -1;
};

} // namespace kestrel
