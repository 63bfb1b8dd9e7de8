#include "widgets/accessiblerows.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QWidget>

#include <utility>

namespace kestrel {

// The widget's interface: its rows first, then its child widgets (the
// scroll bar). Row interfaces are made when asked for and dropped when the
// rows are replaced, so one never names an entry of a former listing.
class TAccessibleRowList : public QAccessibleWidget {
public:
    explicit TAccessibleRowList(TAccessibleRows *rows);
    ~TAccessibleRowList() override;

    TAccessibleRows *Rows() const { return rows; }
    void Detach();
    void DropRows();

    bool isValid() const override { return rows && QAccessibleWidget::isValid(); }
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;
    QAccessibleInterface *childAt(int x, int y) const override;
    QAccessibleInterface *focusChild() const override;
    QString text(QAccessible::Text t) const override;

private:
    int RowCount() const { return rows ? rows->RowCount() : 0; }

    TAccessibleRows *rows;
    mutable QHash<int, QAccessible::Id> rowIds;
};

namespace {

// Whether assistive technology listens: the platform says so, or announced
// it last (tests announce it themselves through QAccessible::setActive).
class TListening : public QAccessible::ActivationObserver {
public:
    TListening() { QAccessible::installActivationObserver(this); }
    void accessibilityActiveChanged(bool on) override { announced = on; }
    bool announced = false;
};

// Made at start, to hear announcements made before the first list exists;
// never freed, as Qt may announce a change while the program ends.
TListening *const listening = new TListening;

bool Listening()
{
    return listening->announced || QAccessible::isActive();
}

TAccessibleSink sink = nullptr;

void Report(QAccessibleEvent &event)
{
    if (sink)
        sink(&event);
    else
        QAccessible::updateAccessibility(&event);
}

QHash<const QObject *, TAccessibleRows *> &Registry()
{
    static QHash<const QObject *, TAccessibleRows *> registry;
    return registry;
}

QAccessibleInterface *RowsFactory(const QString &, QObject *object)
{
    TAccessibleRows *rows = Registry().value(object);
    return rows ? new TAccessibleRowList(rows) : nullptr;
}

class TAccessibleRow : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    TAccessibleRow(const TAccessibleRowList *list, int row) : list(list), row(row) {}

    int Row() const { return row; }
    const TAccessibleRowList *List() const { return list; }

    bool isValid() const override { return Rows() && row < Rows()->RowCount(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return list->window(); }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(list->object());
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return QString();
        switch (t) {
        case QAccessible::Name:
            return Rows()->RowName(row);
        case QAccessible::Description:
            return Rows()->RowDescription(row);
        default:
            return QString();
        }
    }
    void setText(QAccessible::Text, const QString &) override {}

    QRect rect() const override
    {
        if (!isValid())
            return QRect();
        const QRect r = Rows()->RowRect(row);
        return r.isEmpty() ? QRect() : QRect(Rows()->Owner()->mapToGlobal(r.topLeft()), r.size());
    }

    QAccessible::Role role() const override
    {
        return list->role() == QAccessible::Tree ? QAccessible::TreeItem : QAccessible::ListItem;
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        const TAccessibleRows &rows = *Rows();
        s.focusable = true;
        s.selectable = rows.RowSelectable(row);
        s.selected = rows.RowSelected(row);
        s.focused = row == rows.FocusedRow() && rows.Owner()->hasFocus();
        s.offscreen = rows.RowRect(row).isEmpty();
        return s;
    }

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this)
                                                 : nullptr;
    }
    QStringList actionNames() const override { return {setFocusAction()}; }
    void doAction(const QString &name) override
    {
        if (name != setFocusAction() || !isValid())
            return;
        Rows()->Owner()->setFocus();
        Rows()->FocusRow(row);
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    TAccessibleRows *Rows() const { return list->Rows(); }

    const TAccessibleRowList *list;
    int row;
};

} // namespace

TAccessibleRowList::TAccessibleRowList(TAccessibleRows *rows)
    : QAccessibleWidget(rows->Owner(), rows->Role()), rows(rows)
{
    // Only the newest interface is told when the widget goes: an older one
    // would otherwise reach the widget after it is gone.
    if (rows->list)
        rows->list->Detach();
    rows->list = this;
}

TAccessibleRowList::~TAccessibleRowList()
{
    DropRows();
    if (rows)
        rows->list = nullptr;
}

void TAccessibleRowList::Detach()
{
    DropRows();
    rows = nullptr;
}

void TAccessibleRowList::DropRows()
{
    const QHash<int, QAccessible::Id> ids = std::exchange(rowIds, {});
    for (const QAccessible::Id id : ids)
        QAccessible::deleteAccessibleInterface(id);
}

int TAccessibleRowList::childCount() const
{
    return RowCount() + QAccessibleWidget::childCount();
}

QAccessibleInterface *TAccessibleRowList::child(int index) const
{
    const int count = RowCount();
    if (index >= count)
        return QAccessibleWidget::child(index - count);
    if (index < 0)
        return nullptr;
    const auto it = rowIds.constFind(index);
    if (it != rowIds.constEnd())
        return QAccessible::accessibleInterface(it.value());
    auto *row = new TAccessibleRow(this, index);
    rowIds.insert(index, QAccessible::registerAccessibleInterface(row));
    return row;
}

int TAccessibleRowList::indexOfChild(const QAccessibleInterface *child) const
{
    const auto *row = dynamic_cast<const TAccessibleRow *>(child);
    if (row)
        return row->List() == this && row->isValid() ? row->Row() : -1;
    const int index = QAccessibleWidget::indexOfChild(child);
    return index < 0 ? -1 : RowCount() + index;
}

QAccessibleInterface *TAccessibleRowList::childAt(int x, int y) const
{
    if (!rows)
        return nullptr;
    const QPoint at = rows->Owner()->mapFromGlobal(QPoint(x, y));
    for (int i = 0; i < QAccessibleWidget::childCount(); ++i) {
        QAccessibleInterface *widget = QAccessibleWidget::child(i);
        if (widget && widget->rect().contains(x, y))
            return widget;
    }
    const int row = rows->RowAt(at);
    return row < 0 ? nullptr : child(row);
}

QAccessibleInterface *TAccessibleRowList::focusChild() const
{
    if (!rows || !rows->Owner()->hasFocus() || rows->FocusedRow() < 0)
        return QAccessibleWidget::focusChild();
    return child(rows->FocusedRow());
}

QString TAccessibleRowList::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name && rows && rows->Owner()->accessibleName().isEmpty())
        return rows->RowsName();
    if (t == QAccessible::Description && rows)
        return rows->RowsDescription();
    return QAccessibleWidget::text(t);
}

// TAccessibleRows ---------------------------------------------------------

void SetAccessibleSink(TAccessibleSink newSink)
{
    sink = newSink;
}

TAccessibleRows::TAccessibleRows(QWidget *owner, QAccessible::Role role) : owner(owner), role(role)
{
    static const bool installed = [] {
        QAccessible::installFactory(RowsFactory);
        return true;
    }();
    Q_UNUSED(installed);
    Registry().insert(owner, this);
    // An interface Qt made while the widget was being built does not know
    // the rows; the next question makes this one.
    if (Listening()) {
        QAccessibleInterface *made = QAccessible::queryAccessibleInterface(owner);
        if (made && !dynamic_cast<TAccessibleRowList *>(made))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    }
}

TAccessibleRows::~TAccessibleRows()
{
    Registry().remove(owner);
    if (list)
        list->Detach();
}

void TAccessibleRows::AccessibleFocusMoved()
{
    if (!Listening() || !owner->hasFocus() || FocusedRow() < 0)
        return;
    QAccessibleEvent event(owner, QAccessible::Focus);
    event.setChild(FocusedRow());
    Report(event);
}

void TAccessibleRows::AccessibleSelectionChanged(int row)
{
    if (!Listening())
        return;
    if (row < 0) {
        QAccessibleEvent event(owner, QAccessible::SelectionWithin);
        Report(event);
        return;
    }
    QAccessible::State changed;
    changed.selected = true;
    QAccessibleStateChangeEvent event(owner, changed);
    event.setChild(row);
    Report(event);
}

void TAccessibleRows::AccessibleRowsReplaced()
{
    if (list)
        list->DropRows();
    if (!Listening())
        return;
    QAccessibleEvent reordered(owner, QAccessible::ObjectReorder);
    Report(reordered);
    QAccessibleEvent renamed(owner, QAccessible::NameChanged);
    Report(renamed);
    AccessibleFocusMoved();
}

} // namespace kestrel
