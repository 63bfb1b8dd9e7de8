#include "tools/datetimeedit.h"

#include <QKeyEvent>

namespace kestrel {

TMaskedEdit::TMaskedEdit(QWidget *parent) : QLineEdit(parent)
{
    // Only keys change the text: no pasting, dropping or menu edits.
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    setDragEnabled(false);
}

void TMaskedEdit::keyPressEvent(QKeyEvent *event)
{
    const int p = cursorPosition();
    const QString typed = event->text();
    if (typed.size() == 1 && typed[0] >= QLatin1Char('0') && typed[0] <= QLatin1Char('9') &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        const int digit = typed[0].unicode() - u'0';
        if (p < text().size() && Accepts(p, digit)) {
            QString now = text();
            now[p] = typed[0];
            setText(now);
            setCursorPosition(Next(p));
        }
        return;
    }
    switch (event->key()) {
    case Qt::Key_Backspace:
        deselect();
        if (p > 0)
            setCursorPosition(p - 1);
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
        QLineEdit::keyPressEvent(event);
        return;
    default:
        break;
    }
    if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::SelectAll)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    // Tab, Enter and Escape belong to the dialog; the rest is swallowed.
    if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab ||
        event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
        event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    event->accept();
}

void TMaskedEdit::inputMethodEvent(QInputMethodEvent *event)
{
    event->accept();
}

TDateEdit::TDateEdit(QWidget *parent) : TMaskedEdit(parent) {}

bool TDateEdit::Accepts(int p, int digit) const
{
    if (p == 4 || p == 7 || p >= 10)
        return false;
    if (p == 5)
        return digit <= 1;
    if (p == 8)
        return digit <= 3;
    return true;
}

int TDateEdit::Next(int p) const
{
    return p == 3 || p == 6 ? p + 2 : p + 1;
}

TTimeEdit::TTimeEdit(QWidget *parent) : TMaskedEdit(parent) {}

bool TTimeEdit::Accepts(int p, int digit) const
{
    if (p == 2 || p >= 5)
        return false;
    if (p == 0)
        return digit <= 2;
    if (p == 3)
        return digit <= 5;
    return true;
}

int TTimeEdit::Next(int p) const
{
    return p == 1 ? 3 : p + 1;
}

} // namespace kestrel
