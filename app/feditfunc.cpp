#include "app/feditfunc.h"

#include "app/functionentry.h"
#include "ops/ask.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kestrel {

namespace {

const char *const placeholders = "!:\tcurrent drive\n"
                                 "!\\\tcurrent path\n"
                                 "!.!\tname.ext\n"
                                 "!,\tname\n"
                                 ",!\textension\n"
                                 "!..!\tthe selected files\n"
                                 "%P\tedit the parameters before running";

} // namespace

TfEditFunc::TfEditFunc(QWidget *parent, const QString &entry) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Function Key"));
    setObjectName(QStringLiteral("fEditFunc"));

    DisplayName = new QLineEdit(this);
    DisplayName->setObjectName(QStringLiteral("DisplayName"));
    LinkProgram = new QRadioButton(QStringLiteral("Link with &Program"), this);
    Command = new QLineEdit(this);
    Command->setObjectName(QStringLiteral("Command"));
    Browse = new QPushButton(QStringLiteral("&Browse..."), this);
    Parameters = new QLineEdit(this);
    Parameters->setObjectName(QStringLiteral("Parameters"));
    KestrelFunction = new QRadioButton(QStringLiteral("&Kestrel Function"), this);
    Function = new QComboBox(this);
    Function->setObjectName(QStringLiteral("Function"));
    for (int i = 0; i < FunctionKeywordCount; ++i)
        Function->addItem(FunctionKeywordCaption(i));

    auto *nameLabel = new QLabel(QStringLiteral("Display &Name:"), this);
    nameLabel->setBuddy(DisplayName);
    auto *commandLabel = new QLabel(QStringLiteral("&Command:"), this);
    commandLabel->setBuddy(Command);
    auto *parametersLabel = new QLabel(QStringLiteral("P&arameters:"), this);
    parametersLabel->setBuddy(Parameters);
    auto *functionLabel = new QLabel(QStringLiteral("&Function:"), this);
    functionLabel->setBuddy(Function);
    auto *help = new QLabel(QString::fromLatin1(placeholders), this);
    help->setTextFormat(Qt::PlainText);

    auto *nameRow = new QFormLayout;
    nameRow->addRow(nameLabel, DisplayName);

    auto *program = new QGroupBox(this);
    auto *commandRow = new QHBoxLayout;
    commandRow->addWidget(Command, 1);
    commandRow->addWidget(Browse);
    auto *programForm = new QFormLayout;
    programForm->addRow(commandLabel, commandRow);
    programForm->addRow(parametersLabel, Parameters);
    programForm->addRow(QString(), help);
    auto *programBox = new QVBoxLayout(program);
    programBox->addWidget(LinkProgram);
    programBox->addLayout(programForm);

    auto *function = new QGroupBox(this);
    auto *functionForm = new QFormLayout;
    functionForm->addRow(functionLabel, Function);
    auto *functionBox = new QVBoxLayout(function);
    functionBox->addWidget(KestrelFunction);
    functionBox->addLayout(functionForm);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(nameRow);
    layout->addWidget(program);
    layout->addWidget(function);
    layout->addWidget(buttons);

    const TFunctionEntry parsed = ParseFunctionEntry(entry);
    DisplayName->setText(parsed.name);
    if (parsed.internal) {
        KestrelFunction->setChecked(true);
        Function->setCurrentIndex(qMax(0, FunctionKeywordIndex(parsed.keyword)));
    } else {
        LinkProgram->setChecked(true);
        Command->setText(parsed.program);
        Parameters->setText(parsed.parameters);
    }
    // The two radios sit in different boxes: only a group makes them exclusive.
    auto *kind = new QButtonGroup(this);
    kind->addButton(LinkProgram);
    kind->addButton(KestrelFunction);
    connect(LinkProgram, &QRadioButton::toggled, this, &TfEditFunc::UpdateEnabled);
    connect(Browse, &QPushButton::clicked, this, &TfEditFunc::BrowseClick);
    UpdateEnabled();

    setTabOrder(DisplayName, LinkProgram);
    setTabOrder(LinkProgram, Command);
    setTabOrder(Command, Browse);
    setTabOrder(Browse, Parameters);
    setTabOrder(Parameters, KestrelFunction);
    setTabOrder(KestrelFunction, Function);
}

QString TfEditFunc::Entry() const
{
    TFunctionEntry entry;
    entry.name = DisplayName->text().trimmed();
    entry.internal = KestrelFunction->isChecked();
    if (entry.internal) {
        entry.keyword = FunctionKeyword(Function->currentIndex());
    } else {
        entry.program = Command->text().trimmed();
        entry.parameters = Parameters->text().trimmed();
    }
    return FormatFunctionEntry(entry);
}

void TfEditFunc::accept()
{
    if (!ValidDisplayName(DisplayName->text())) {
        Ask().MessageBox(this, QStringLiteral("A display name cannot contain \"]\"."),
                         windowTitle(), MB_OK | MB_ICONERROR);
        DisplayName->setFocus();
        return;
    }
    QDialog::accept();
}

void TfEditFunc::UpdateEnabled()
{
    const bool link = LinkProgram->isChecked();
    Command->setEnabled(link);
    Browse->setEnabled(link);
    Parameters->setEnabled(link);
    Function->setEnabled(!link);
}

void TfEditFunc::BrowseClick()
{
    QString path = Command->text();
    if (Ask().OpenFileName(this, QStringLiteral("Program"), QString(), path))
        Command->setText(path);
}

} // namespace kestrel
