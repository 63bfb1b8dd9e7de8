#include "tools/farename.h"

#include "tools/batchrename.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kestrel {

namespace {

enum TOptionsPage { opDefault = 0, opCount = 1, opReplace = 2 };

const char *const actionNames[] = {"Head", "Tail", "Count", "Cut", "Change Extension", "Replace"};

// Alt with these letters picks the actions in their order.
const Qt::Key actionKeys[] = {Qt::Key_H, Qt::Key_T, Qt::Key_C, Qt::Key_X, Qt::Key_E, Qt::Key_R};

int ActionOfKey(const QKeyEvent &key)
{
    if ((key.modifiers() & (Qt::AltModifier | Qt::ControlModifier)) != Qt::AltModifier)
        return -1;
    for (int i = 0; i < 6; ++i)
        if (key.key() == actionKeys[i])
            return i;
    return -1;
}

QTreeWidget *NameList(QWidget *parent, const QStringList &headers)
{
    auto *list = new QTreeWidget(parent);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setHeaderLabels(headers);
    list->header()->setStretchLastSection(true);
    list->setSelectionMode(QAbstractItemView::NoSelection);
    return list;
}

QSpinBox *NumberEdit(QWidget *parent)
{
    auto *spin = new QSpinBox(parent);
    spin->setRange(1, 2147483647);
    spin->setValue(1);
    return spin;
}

// The hourglass while Preview and OK compute the names, restored also on
// the way out.
class TWaitCursor {
public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor &) = delete;
    TWaitCursor &operator=(const TWaitCursor &) = delete;
};

} // namespace

TRenamePreview::TRenamePreview(QWidget *parent, const QStringList &originals,
                               const QStringList &names)
    : QDialog(parent),
      List(NameList(this, {QStringLiteral("Original Name"), QStringLiteral("New Name")})),
      Close(new QPushButton(QStringLiteral("&Close"), this))
{
    setWindowTitle(QStringLiteral("Rename Preview"));
    for (int i = 0; i < originals.size(); ++i)
        new QTreeWidgetItem(List, {originals[i], names.value(i)});
    List->resizeColumnToContents(0);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(List);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Close);
    layout->addLayout(buttons);
    Close->setDefault(true);
    connect(Close, &QPushButton::clicked, this, &QDialog::accept);
    resize(520, 380);
}

TfARename::TfARename(QWidget *parent, const TAdvancedRenameForm &form)
    : QDialog(parent), Action(new QComboBox(this)),
      ChangeName(new QRadioButton(QStringLiteral("Na&me"), this)),
      ChangeExt(new QRadioButton(QStringLiteral("Extens&ion"), this)),
      Options(new QStackedWidget(this)), EditCaption(new QLabel(this)), Edit(new QLineEdit(this)),
      Help(new QLabel(this)), Head(new QRadioButton(QStringLiteral("Hea&d"), this)),
      Tail(new QRadioButton(QStringLiteral("Tai&l"), this)), Start(NumberEdit(this)),
      Step(NumberEdit(this)), Digits(new QComboBox(this)), Find(new QLineEdit(this)),
      Replace(new QLineEdit(this)),
      Live(
          NameList(this, {QStringLiteral("Original Name"), QStringLiteral("New Name"), QString()})),
      LiveStatus(new QLabel(this)), Preview(new QPushButton(QStringLiteral("Pre&view"), this)),
      Ok(new QPushButton(QStringLiteral("OK"), this)),
      Cancel(new QPushButton(QStringLiteral("Cancel"), this)), form(form), results(form.results)
{
    setWindowTitle(QStringLiteral("Advanced Rename"));
    setObjectName(QStringLiteral("fARename"));
    for (const char *name : actionNames)
        Action->addItem(QString::fromLatin1(name));
    for (int digits = 1; digits <= 10; ++digits)
        Digits->addItem(QString::number(digits));
    Help->setWordWrap(false);
    Help->setTextFormat(Qt::PlainText);
    Help->setFont(QFont(QStringLiteral("monospace")));

    // Page "Default": the text of Head, Tail, Cut and Change Extension.
    auto *defaultPage = new QWidget(Options);
    auto *defaultLayout = new QGridLayout(defaultPage);
    defaultLayout->addWidget(EditCaption, 0, 0);
    defaultLayout->addWidget(Edit, 0, 1);
    defaultLayout->addWidget(Help, 1, 0, 1, 2);
    defaultLayout->setRowStretch(2, 1);
    EditCaption->setBuddy(Edit);
    // Page "Count".
    auto *countPage = new QWidget(Options);
    auto *countLayout = new QFormLayout(countPage);
    auto *where = new QHBoxLayout;
    where->addWidget(Head);
    where->addWidget(Tail);
    where->addStretch(1);
    countLayout->addRow(where);
    countLayout->addRow(QStringLiteral("&Start :"), Start);
    countLayout->addRow(QStringLiteral("Ste&p :"), Step);
    countLayout->addRow(QStringLiteral("Di&gits :"), Digits);
    // Page "Replace".
    auto *replacePage = new QWidget(Options);
    auto *replaceLayout = new QFormLayout(replacePage);
    replaceLayout->addRow(QStringLiteral("Fi&nd :"), Find);
    replaceLayout->addRow(QStringLiteral("Replace &with :"), Replace);
    Options->addWidget(defaultPage);
    Options->addWidget(countPage);
    Options->addWidget(replacePage);

    auto *hint = new QLabel(
        QStringLiteral("Alt +   ( H : Head, T : Tail, C : Count, X : Cut, E : Ext, R : Replace )"),
        this);
    hint->setEnabled(false);
    LiveStatus->setWordWrap(true);
    LiveStatus->setStyleSheet(QStringLiteral("color: #b00000"));
    Live->setMinimumHeight(180);

    auto *top = new QHBoxLayout;
    top->addWidget(Action, 1);
    top->addWidget(ChangeName);
    top->addWidget(ChangeExt);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Preview);
    buttons->addStretch(1);
    buttons->addWidget(Ok);
    buttons->addWidget(Cancel);
    Ok->setDefault(true);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(Options);
    layout->addWidget(hint);
    layout->addWidget(Live, 1);
    layout->addWidget(LiveStatus);
    layout->addLayout(buttons);
    resize(560, 520);
    // Checked once each pair has its own parent: radios of one parent exclude each other.
    ChangeName->setChecked(true);
    Head->setChecked(true);

    connect(Action, &QComboBox::currentIndexChanged, this, &TfARename::ActionChange1);
    for (QLineEdit *edit : {Edit, Find, Replace})
        connect(edit, &QLineEdit::textChanged, this, &TfARename::UpdateLive);
    for (QRadioButton *radio : {ChangeName, ChangeExt, Head, Tail})
        connect(radio, &QRadioButton::toggled, this, &TfARename::UpdateLive);
    for (QSpinBox *spin : {Start, Step})
        connect(spin, &QSpinBox::valueChanged, this, &TfARename::UpdateLive);
    connect(Digits, &QComboBox::currentIndexChanged, this, &TfARename::UpdateLive);
    connect(Preview, &QPushButton::clicked, this, &TfARename::PreviewClick);
    connect(Ok, &QPushButton::clicked, this, &TfARename::OkClick);
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
    // The action keys win over every mnemonic of the dialog.
    installEventFilter(this);
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);

    ActionChange1();
}

TRenameRule TfARename::Rule() const
{
    TRenameRule rule;
    rule.action = TRenameAction(Action->currentIndex());
    rule.onName = ChangeName->isChecked();
    rule.text = Edit->text();
    rule.start = Start->value();
    rule.step = Step->value();
    rule.digits = Digits->currentIndex() + 1;
    rule.countAtHead = Head->isChecked();
    rule.find = Find->text();
    rule.replace = Replace->text();
    return rule;
}

void TfARename::ActionChange1()
{
    const int action = Action->currentIndex();
    static const int pages[] = {opDefault, opDefault, opCount, opDefault, opDefault, opReplace};
    static const char *const captions[] = {"Hea&d :", "Tai&l :", "", "Cu&t :", "Ex&t :", ""};
    Options->setCurrentIndex(pages[action]);
    EditCaption->setText(QString::fromLatin1(captions[action]));
    if (action == raCut)
        Help->setText(QStringLiteral("ex) 12345678.EXT\n     ~4  => 5678.EXT    2~4  => 15678.EXT\n"
                                     "     3~  => 12.EXT        3-  => 12345.EXT"));
    else if (action == raChangeExt)
        Help->setText(QStringLiteral("Change extension of all files to the entered new extension.\n"
                                     "Please enter new extension without leading period mark."));
    else
        Help->clear();
    ChangeName->setVisible(action != raChangeExt);
    ChangeExt->setVisible(action != raChangeExt);
    UpdateLive();
}

bool TfARename::Compute(QStringList &problems, QString &message)
{
    results = form.results;
    const TRenameOutcome outcome = ComputeNames(form.sources, form.start, Rule(), results);
    if (!outcome.ok) {
        message = outcome.message;
        return false;
    }
    problems = RunProblems(form.sources, results, form.start, form.takenOutside);
    return true;
}

void TfARename::UpdateLive()
{
    QStringList problems;
    QString message;
    const bool computed = Compute(problems, message);
    Live->setUpdatesEnabled(false);
    Live->clear();
    int unusable = 0;
    for (int i = form.start; i < form.sources.size(); ++i) {
        const QString problem = computed ? problems.value(i) : QString();
        auto *row = new QTreeWidgetItem(Live, {form.sources[i], results.value(i), problem});
        if (!problem.isEmpty()) {
            ++unusable;
            for (int column = 0; column < 3; ++column)
                row->setForeground(column, QColor(0xB0, 0, 0));
        }
    }
    Live->resizeColumnToContents(0);
    Live->resizeColumnToContents(1);
    Live->setUpdatesEnabled(true);
    if (!computed)
        LiveStatus->setText(message);
    else if (unusable > 0)
        LiveStatus->setText(QStringLiteral("%1 new name(s) cannot be used.").arg(unusable));
    else
        LiveStatus->clear();
}

void TfARename::PreviewClick()
{
    QStringList problems;
    QString message;
    bool computed = false;
    {
        const TWaitCursor wait;
        computed = Compute(problems, message);
    }
    if (!computed) {
        Ask().MessageBox(this, message, windowTitle(), MB_OK | MB_ICONERROR);
        return;
    }
    TRenamePreview preview(this, form.sources.mid(form.start), results.mid(form.start));
    preview.move(frameGeometry().center() - preview.rect().center());
    preview.exec();
    // The keys come back here also where no window manager hands them back.
    activateWindow();
}

void TfARename::OkClick()
{
    QStringList problems;
    QString message;
    bool computed = false;
    {
        const TWaitCursor wait;
        computed = Compute(problems, message);
    }
    if (!computed) {
        Ask().MessageBox(this, message, windowTitle(), MB_OK | MB_ICONERROR);
        return;
    }
    // The live preview says what is wrong; the dialog stays until it is right.
    for (int i = form.start; i < form.sources.size(); ++i)
        if (results.value(i).isEmpty() || !problems.value(i).isEmpty())
            return;
    accept();
}

bool TfARename::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        const int action = ActionOfKey(*static_cast<QKeyEvent *>(event));
        if (action >= 0) {
            if (event->type() == QEvent::ShortcutOverride) {
                event->accept(); // no mnemonic takes it: it comes as a key press
                return true;
            }
            Action->setCurrentIndex(action);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace kestrel
