#pragma once
// Holds back automatic panel reloads while the program is in the middle of
// something that still uses the panel's entries: an operation, or a modal
// question whose event loop would otherwise let a change notification reload
// (and free) the list being worked on. Take a TRefreshHold on the stack for
// the duration; when the last hold ends, a change that arrived meanwhile is
// delivered once, from the event loop.

#include <QObject>

namespace kestrel {

class TRefreshHolds : public QObject {
    Q_OBJECT
public:
    static TRefreshHolds &Instance();
    bool Held() const { return count > 0; }

Q_SIGNALS:
    void Released(); // the last hold has ended

private:
    friend class TRefreshHold;
    int count = 0;
};

class TRefreshHold {
public:
    TRefreshHold();
    ~TRefreshHold();
    TRefreshHold(const TRefreshHold &) = delete;
    TRefreshHold &operator=(const TRefreshHold &) = delete;
};

} // namespace kestrel
