#include "app/commandlinebar.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace kestrel {

TCommandLineBar::TCommandLineBar(QWidget *parent) : QWidget(parent), command(new QComboBox(this))
{
    setObjectName(QStringLiteral("CommandPanel"));
    command->setObjectName(QStringLiteral("Command"));
    command->setEditable(true);
    command->setInsertPolicy(QComboBox::NoInsert);
    command->setMaxVisibleItems(10);
    // The typed text runs as typed: no completion from the history.
    command->setCompleter(nullptr);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *label = new QLabel(QStringLiteral("Command :"), this);
    layout->addWidget(label);
    layout->addWidget(command, 1);
    // Keys go to the combo box, which has the focus (its line edit's focus
    // proxy) and hands the rest to the line edit directly.
    command->installEventFilter(this);
    connect(command, &QComboBox::activated, this, [this] { picked = true; });
    connect(command->lineEdit(), &QLineEdit::textEdited, this, [this] { picked = false; });
}

void TCommandLineBar::Start(const QStringList &history)
{
    command->clear();
    command->addItems(history);
    command->setCurrentIndex(-1);
    command->clearEditText();
    picked = false;
    command->setFocus();
}

bool TCommandLineBar::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || command->view()->isVisible())
        return QWidget::eventFilter(watched, event);
    const auto *keyEvent = static_cast<QKeyEvent *>(event);
    const int key = keyEvent->key();
    // Up in the empty box recalls the newest command, as a shell does.
    if (key == Qt::Key_Up && keyEvent->modifiers() == Qt::NoModifier &&
        command->currentIndex() < 0 && command->currentText().isEmpty() && command->count() > 0) {
        command->setCurrentIndex(command->count() - 1);
        picked = true;
        return true;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        const QString text = command->currentText();
        const bool typed = !picked;
        if (OnLeave)
            OnLeave();
        if (OnRun)
            OnRun(text, typed);
        return true;
    }
    if (key == Qt::Key_Escape) {
        if (OnLeave)
            OnLeave();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kestrel
