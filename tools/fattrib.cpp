#include "tools/fattrib.h"

#include "tools/datetimeedit.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kestrel {

TfAttrib::TfAttrib(QWidget *parent, const TAttribForm &form)
    : QDialog(parent), FileName(new QLabel(form.fileText, this)),
      Archive(new QCheckBox(QStringLiteral(" &Archive"), this)),
      Readonly(new QCheckBox(QStringLiteral(" &Readonly"), this)),
      Hidden(new QCheckBox(QStringLiteral(" &Hidden"), this)),
      System(new QCheckBox(QStringLiteral(" &System"), this)),
      ApplyDateTime(new QCheckBox(QStringLiteral(" Chan&ge Date/Time"), this)),
      Date(new TDateEdit(this)), Time(new TTimeEdit(this)),
      Recurse(new QCheckBox(QStringLiteral("Re&curse Subfolders"), this)),
      Ok(new QPushButton(QStringLiteral("OK"), this)),
      Cancel(new QPushButton(QStringLiteral("Cancel"), this)),
      All(new QPushButton(QStringLiteral("All"), this))
{
    setWindowTitle(QStringLiteral("Attributes/Time"));
    setObjectName(QStringLiteral("fAttrib"));
    FileName->setTextFormat(Qt::PlainText);
    Archive->setChecked(form.attributes & sys::FILE_ATTRIBUTE_ARCHIVE);
    Readonly->setChecked(form.attributes & sys::FILE_ATTRIBUTE_READONLY);
    Hidden->setChecked(form.attributes & sys::FILE_ATTRIBUTE_HIDDEN);
    System->setChecked(form.attributes & sys::FILE_ATTRIBUTE_SYSTEM);
    ApplyDateTime->setChecked(form.applyDateTime);
    Date->setText(form.date);
    Time->setText(form.time);
    Recurse->setChecked(form.recurse);
    const int digit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    Date->setFixedWidth(14 * digit);
    Time->setFixedWidth(9 * digit);

    auto *attributes = new QGroupBox(QStringLiteral("Attributes"), this);
    auto *boxes = new QGridLayout(attributes);
    boxes->addWidget(Archive, 0, 0);
    boxes->addWidget(Readonly, 0, 1);
    boxes->addWidget(Hidden, 1, 0);
    boxes->addWidget(System, 1, 1);
    auto *times = new QGroupBox(QStringLiteral("Time"), this);
    auto *timeLayout = new QGridLayout(times);
    timeLayout->addWidget(ApplyDateTime, 0, 0, 1, 4);
    auto *dateLabel = new QLabel(QStringLiteral("&Date :"), times);
    dateLabel->setBuddy(Date);
    auto *timeLabel = new QLabel(QStringLiteral("&Time :"), times);
    timeLabel->setBuddy(Time);
    timeLayout->addWidget(dateLabel, 1, 0);
    timeLayout->addWidget(Date, 1, 1);
    timeLayout->addWidget(timeLabel, 1, 2);
    timeLayout->addWidget(Time, 1, 3);
    timeLayout->setColumnStretch(4, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Ok);
    buttons->addWidget(Cancel);
    buttons->addWidget(All);
    Ok->setDefault(true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(FileName);
    layout->addWidget(attributes);
    layout->addWidget(times);
    layout->addWidget(Recurse);
    layout->addLayout(buttons);

    connect(ApplyDateTime, &QCheckBox::toggled, this, &TfAttrib::ApplyDateTimeClick);
    connect(Ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(All, &QPushButton::clicked, this, [this] { done(mrAll); });
    installEventFilter(this);
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);
    ApplyDateTimeClick();
}

void TfAttrib::Read(TAttribForm &form) const
{
    form.attributes = (Archive->isChecked() ? sys::FILE_ATTRIBUTE_ARCHIVE : 0) |
                      (Readonly->isChecked() ? sys::FILE_ATTRIBUTE_READONLY : 0) |
                      (Hidden->isChecked() ? sys::FILE_ATTRIBUTE_HIDDEN : 0) |
                      (System->isChecked() ? sys::FILE_ATTRIBUTE_SYSTEM : 0);
    form.applyDateTime = ApplyDateTime->isChecked();
    form.date = Date->text();
    form.time = Time->text();
    form.recurse = Recurse->isChecked();
}

void TfAttrib::ApplyDateTimeClick()
{
    const bool time = ApplyDateTime->isChecked();
    for (QCheckBox *box : {Archive, Readonly, Hidden, System})
        box->setEnabled(!time);
    Date->setEnabled(time);
    Time->setEnabled(time);
}

// End anywhere in the dialog is All.
bool TfAttrib::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_End && key->modifiers() == Qt::NoModifier) {
            done(mrAll);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace kestrel
