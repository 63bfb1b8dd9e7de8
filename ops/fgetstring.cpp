#include "ops/fgetstring.h"

#include "ops/ask.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrel {

void TSelectionEdit::focusInEvent(QFocusEvent *event)
{
    const int start = selectionStart();
    const int length = selectedText().size();
    const int cursor = cursorPosition();
    QLineEdit::focusInEvent(event);
    if (AutoSelect)
        return;
    if (start >= 0)
        setSelection(start, length);
    else
        setCursorPosition(cursor);
}

void TSelectionEdit::focusOutEvent(QFocusEvent *event)
{
    const int start = selectionStart();
    const int length = selectedText().size();
    QLineEdit::focusOutEvent(event);
    if (KeepSelection && start >= 0 && !hasSelectedText())
        setSelection(start, length);
}

TfGetString::TfGetString(QWidget *parent)
    : QDialog(parent), Descript(new QLabel(this)), Edit(new TSelectionEdit(this)),
      Ok(new QPushButton(QStringLiteral("OK"), this)),
      Cancel(new QPushButton(QStringLiteral("Cancel"), this))
{
    Descript->setWordWrap(true);
    Descript->setTextFormat(Qt::PlainText);
    Descript->setBuddy(Edit);
    Ok->setDefault(true);
    Cancel->setAutoDefault(false);
    connect(Ok, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(Cancel, &QPushButton::clicked, this, [this] { done(mrCancel); });

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Ok);
    buttons->addWidget(Cancel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(Descript);
    layout->addWidget(Edit);
    layout->addSpacing(4);
    layout->addLayout(buttons);
    setMinimumWidth(360);
    Edit->setFocus();
}

void TfGetString::Setup(const QString &caption, const QString &prompt, const QString &text,
                        bool selectAll, bool keepSelection)
{
    setWindowTitle(caption);
    Descript->setText(prompt);
    Edit->setText(text);
    Edit->AutoSelect = selectAll;
    Edit->KeepSelection = keepSelection;
    if (selectAll)
        Edit->selectAll();
    else
        Edit->setCursorPosition(int(text.size()));
}

void TfGetString::reject()
{
    done(mrCancel);
}

} // namespace kestrel
