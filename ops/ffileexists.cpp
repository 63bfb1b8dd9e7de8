#include "ops/ffileexists.h"

#include "text/strings.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedLayout>
#include <QStyle>
#include <QVBoxLayout>

namespace kestrel {

TfFileExists::TfFileExists(QWidget *parent, const TFileExistsQuestion &question,
                           TRenameTarget rename)
    : QDialog(parent), FileName(new QLabel(question.fileNameText, this)),
      Origin(new QLabel(question.originInfo, this)), New(new QLabel(question.newInfo, this)),
      FolderOverConfirm(new QLabel(this)),
      Overwrite(new QPushButton(QStringLiteral("Over&write"), this)),
      Skip(new QPushButton(QStringLiteral("&Skip"), this)),
      Rename(new QPushButton(QStringLiteral("&Rename"), this)),
      Cancel(new QPushButton(QStringLiteral("&Cancel"), this)),
      All(new QCheckBox(QStringLiteral(" &All"), this)), targetPath(question.targetPath),
      renameTarget(std::move(rename))
{
    setWindowTitle(QStringLiteral("Confirm Replace file"));
    for (QLabel *label : {FileName, Origin, New, FolderOverConfirm})
        label->setTextFormat(Qt::PlainText);
    FileName->setWordWrap(true);
    // Two lines are reserved, so a long name does not move the buttons.
    FileName->setMinimumHeight(2 * FileName->fontMetrics().lineSpacing());
    FileName->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    FolderOverConfirm->setWordWrap(true);
    FolderOverConfirm->setText(LoadStr(597));

    auto *icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(32, 32));

    // The explanation takes the place of the two information rows.
    auto *rowsPage = new QWidget(this);
    auto *rows = new QGridLayout(rowsPage);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->addWidget(new QLabel(QStringLiteral("Origin :"), rowsPage), 0, 0);
    rows->addWidget(Origin, 0, 1);
    rows->addWidget(new QLabel(QStringLiteral("New :"), rowsPage), 1, 0);
    rows->addWidget(New, 1, 1);
    rows->setColumnStretch(1, 1);
    rows->setRowStretch(2, 1); // the page is as tall as the explanation
    auto *stack = new QStackedLayout;
    stack->addWidget(rowsPage);
    stack->addWidget(FolderOverConfirm);
    stack->setCurrentWidget(question.isFolder ? static_cast<QWidget *>(FolderOverConfirm)
                                              : rowsPage);
    FolderOverConfirm->setVisible(question.isFolder);

    auto *text = new QVBoxLayout;
    text->addWidget(FileName);
    text->addLayout(stack);
    auto *top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(text, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(All);
    buttons->addStretch(1);
    for (QPushButton *button : {Overwrite, Skip, Rename, Cancel})
        buttons->addWidget(button);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addLayout(top);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    setMinimumWidth(480);

    Rename->setEnabled(question.canRename && renameTarget);
    connect(Overwrite, &QPushButton::clicked, this, [this] { done(mrYes); });
    connect(Skip, &QPushButton::clicked, this, [this] { done(mrNo); });
    connect(Rename, &QPushButton::clicked, this, &TfFileExists::RenameClick);
    connect(Cancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
    Overwrite->setFocus();
}

void TfFileExists::reject()
{
    done(mrCancel);
}

void TfFileExists::RenameClick()
{
    QString target = targetPath;
    // Giving up the rename leaves the question open for another answer.
    if (!renameTarget(this, target))
        return;
    targetPath = target;
    done(mrRetry);
}

} // namespace kestrel
