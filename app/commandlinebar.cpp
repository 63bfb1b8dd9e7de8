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
    command->lineEdit()->installEventFilter(this);
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
    const int key = static_cast<QKeyEvent *>(event)->key();
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
