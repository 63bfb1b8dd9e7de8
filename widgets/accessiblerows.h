#pragma once
// What a screen reader sees of a custom-painted list of rows (the file
// panel, the folder tree): the widget as a list or tree whose children are
// its rows, each with a name, a description, its place on screen and the
// focused and selected states. A widget derives from TAccessibleRows as well
// as from QWidget, answers the row questions, and reports its changes
// through the Accessible... calls; its interface is then made on demand.

#include <QAccessible>
#include <QPoint>
#include <QRect>
#include <QString>

class QWidget;

namespace kestrel {

class TAccessibleRowList;

// The change reports go to Qt, which hands them to the screen reader (when
// one listens); tests take them here instead. nullptr: back to Qt.
using TAccessibleSink = void (*)(QAccessibleEvent *event);
void SetAccessibleSink(TAccessibleSink sink);

class TAccessibleRows {
public:
    // role: QAccessible::List or QAccessible::Tree for the widget; its rows
    // are ListItem or TreeItem.
    TAccessibleRows(QWidget *owner, QAccessible::Role role);
    virtual ~TAccessibleRows();
    TAccessibleRows(const TAccessibleRows &) = delete;
    TAccessibleRows &operator=(const TAccessibleRows &) = delete;

    virtual int RowCount() const = 0;
    virtual QString RowName(int row) const = 0;
    // The details of a row as the status bar gives them.
    virtual QString RowDescription(int row) const = 0;
    // In the widget's coordinates; empty when the row is scrolled away.
    virtual QRect RowRect(int row) const = 0;
    virtual int FocusedRow() const = 0;             // -1 when none
    virtual int RowAt(const QPoint &pos) const = 0; // -1 when none
    virtual bool RowSelected(int row) const = 0;
    virtual bool RowSelectable(int row) const = 0;
    // Moves the focus to the row, as the arrow keys would.
    virtual void FocusRow(int row) = 0;
    // The name of the whole list (the folder shown) and the text about it
    // (the selection status).
    virtual QString RowsName() const = 0;
    virtual QString RowsDescription() const = 0;

    QWidget *Owner() const { return owner; }
    QAccessible::Role Role() const { return role; }

protected:
    // Cheap when no assistive technology listens.
    void AccessibleFocusMoved();
    void AccessibleSelectionChanged(int row); // -1: any number of rows
    void AccessibleRowsReplaced();

private:
    friend class TAccessibleRowList;
    QWidget *owner;
    QAccessible::Role role;
    TAccessibleRowList *list = nullptr; // the interface, once made
};

} // namespace kestrel
