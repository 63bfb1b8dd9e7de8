#include "find/ffindfiles.h"

#include "ops/ask.h"
#include "platform/wintypes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace kestrel {

namespace {

const QString caption = QStringLiteral("Find Files");

const char *const attributeTexts[5] = {"&Read-only", "&Hidden", "S&ystem", "Archi&ve", "Fol&der"};

Qt::CheckState StateOf(int value)
{
    return value == 1 ? Qt::Checked : value == 0 ? Qt::Unchecked : Qt::PartiallyChecked;
}

} // namespace

TfFindFiles::TfFindFiles(QWidget *parent, const TFindForm &form) : QDialog(parent)
{
    setWindowTitle(caption);
    setObjectName(QStringLiteral("fFindFiles"));

    Folders = new QLineEdit(form.folders, this);
    Folders->setToolTip(QStringLiteral("Folders or drives, \";\" between several"));
    Masks = new QLineEdit(form.masks, this);
    Masks->setToolTip(QStringLiteral("*.txt;*.doc finds both; after | the names to leave out"));
    Text = new QLineEdit(form.text, this);
    MatchCase = new QCheckBox(QStringLiteral("Match &case"), this);
    MatchCase->setChecked(form.matchCase);
    WholeWords = new QCheckBox(QStringLiteral("&Whole words"), this);
    WholeWords->setChecked(form.wholeWords);
    Encoding = new QComboBox(this);
    Encoding->addItems({QStringLiteral("UTF-8"), QStringLiteral("OEM (DOS) code page"),
                        QStringLiteral("ANSI (Windows) code page"), QStringLiteral("UTF-16")});
    Encoding->setCurrentIndex(int(form.encoding));
    Depth = new QComboBox(this);
    Depth->addItem(QStringLiteral("All levels"), -1);
    Depth->addItem(QStringLiteral("This folder only"), 0);
    for (int level = 1; level <= 9; ++level)
        Depth->addItem(level == 1 ? QStringLiteral("1 level down")
                                  : QStringLiteral("%1 levels down").arg(level),
                       level);
    Depth->setCurrentIndex(std::max(0, Depth->findData(form.depth)));
    InArchives = new QCheckBox(QStringLiteral("Search in &archives"), this);
    InArchives->setChecked(form.inArchives);
    InArchives->setToolTip(QStringLiteral("Items of archives are found by name, size and date"));

    auto *where = new QFormLayout;
    const auto row = [&](const char *label, QWidget *field) {
        auto *text = new QLabel(QString::fromLatin1(label), this);
        text->setBuddy(field);
        where->addRow(text, field);
    };
    row("&Search in:", Folders);
    row("File &names:", Masks);
    row("Containing te&xt:", Text);
    auto *textOptions = new QHBoxLayout;
    textOptions->addWidget(MatchCase);
    textOptions->addWidget(WholeWords);
    textOptions->addStretch();
    where->addRow(QString(), textOptions);
    row("&Encoding:", Encoding);
    row("Su&bfolders:", Depth);
    where->addRow(QString(), InArchives);

    MinSize = new QLineEdit(form.minSize, this);
    MaxSize = new QLineEdit(form.maxSize, this);
    MinSize->setPlaceholderText(QStringLiteral("e.g. 4 KB"));
    MaxSize->setPlaceholderText(QStringLiteral("e.g. 2 MB"));
    UseAfter = new QCheckBox(QStringLiteral("Modified fr&om:"), this);
    UseBefore = new QCheckBox(QStringLiteral("unt&il:"), this);
    After = new QDateEdit(form.after.isValid() ? form.after : QDate::currentDate(), this);
    Before = new QDateEdit(form.before.isValid() ? form.before : QDate::currentDate(), this);
    for (QDateEdit *edit : {After, Before}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    }
    UseAfter->setChecked(form.after.isValid());
    UseBefore->setChecked(form.before.isValid());
    After->setEnabled(UseAfter->isChecked());
    Before->setEnabled(UseBefore->isChecked());
    connect(UseAfter, &QCheckBox::toggled, After, &QWidget::setEnabled);
    connect(UseBefore, &QCheckBox::toggled, Before, &QWidget::setEnabled);

    auto *limits = new QGroupBox(QStringLiteral("Size and date"), this);
    auto *grid = new QGridLayout(limits);
    auto *least = new QLabel(QStringLiteral("Size at &least:"), this);
    least->setBuddy(MinSize);
    auto *most = new QLabel(QStringLiteral("at &most:"), this);
    most->setBuddy(MaxSize);
    grid->addWidget(least, 0, 0);
    grid->addWidget(MinSize, 0, 1);
    grid->addWidget(most, 0, 2);
    grid->addWidget(MaxSize, 0, 3);
    grid->addWidget(UseAfter, 1, 0);
    grid->addWidget(After, 1, 1);
    grid->addWidget(UseBefore, 1, 2);
    grid->addWidget(Before, 1, 3);

    auto *attributes = new QGroupBox(QStringLiteral("Attributes (grey: either)"), this);
    auto *attributeRow = new QHBoxLayout(attributes);
    for (int i = 0; i < 5; ++i) {
        Attributes[i] = new QCheckBox(QString::fromLatin1(attributeTexts[i]), this);
        Attributes[i]->setTristate(true);
        Attributes[i]->setCheckState(StateOf(form.attributes[i]));
        attributeRow->addWidget(Attributes[i]);
    }

    Results = new QTreeView(this);
    Results->setObjectName(QStringLiteral("Results"));
    Results->setModel(&model);
    Results->setRootIsDecorated(false);
    Results->setUniformRowHeights(true);
    Results->setSelectionBehavior(QAbstractItemView::SelectRows);
    Results->setAlternatingRowColors(true);
    Results->header()->setStretchLastSection(true);
    Results->setColumnWidth(TFoundModel::cName, 200);
    Results->setColumnWidth(TFoundModel::cFolder, 260);
    Results->setColumnWidth(TFoundModel::cSize, 100);
    auto *resultsLabel = new QLabel(QStringLiteral("Res&ults:"), this);
    resultsLabel->setBuddy(Results);
    Status = new QLabel(this);
    Status->setTextInteractionFlags(Qt::TextSelectableByMouse);

    FindButton = new QPushButton(QStringLiteral("&Find"), this);
    StopButton = new QPushButton(QStringLiteral("S&top"), this);
    GoToButton = new QPushButton(QStringLiteral("&Go to file"), this);
    FeedButton = new QPushButton(QStringLiteral("Feed to &panel"), this);
    FeedButton->setToolTip(QStringLiteral("Lists the items found in the file panel"));
    CloseButton = new QPushButton(QStringLiteral("Close"), this);
    FindButton->setDefault(true);
    for (QPushButton *button : {StopButton, GoToButton, FeedButton, CloseButton})
        button->setAutoDefault(false);
    connect(FindButton, &QPushButton::clicked, this, &TfFindFiles::Start);
    connect(StopButton, &QPushButton::clicked, this, &TfFindFiles::Stop);
    connect(GoToButton, &QPushButton::clicked, this, [this] { Close(foGoToFile); });
    connect(FeedButton, &QPushButton::clicked, this, [this] { Close(foFeed); });
    connect(CloseButton, &QPushButton::clicked, this, &TfFindFiles::reject);
    connect(Results, &QTreeView::doubleClicked, this, [this] { Close(foGoToFile); });

    auto *buttons = new QVBoxLayout;
    for (QPushButton *button : {FindButton, StopButton, GoToButton, FeedButton, CloseButton})
        buttons->addWidget(button);
    buttons->addStretch();

    auto *top = new QHBoxLayout;
    auto *fields = new QVBoxLayout;
    fields->addLayout(where);
    fields->addWidget(limits);
    fields->addWidget(attributes);
    top->addLayout(fields, 1);
    top->addLayout(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(resultsLabel);
    layout->addWidget(Results, 1);
    layout->addWidget(Status);

    drainTimer = new QTimer(this);
    drainTimer->setInterval(100);
    connect(drainTimer, &QTimer::timeout, this, &TfFindFiles::Drain);
    connect(Results->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &TfFindFiles::UpdateButtons);
    resize(760, 600);
    UpdateButtons();
    UpdateStatus();
}

TfFindFiles::~TfFindFiles()
{
    if (worker) {
        search->Stop();
        worker->wait();
        delete worker;
    }
}

void TfFindFiles::Read(TFindForm &form) const
{
    form.folders = Folders->text();
    form.masks = Masks->text();
    form.text = Text->text();
    form.matchCase = MatchCase->isChecked();
    form.wholeWords = WholeWords->isChecked();
    form.encoding = TTextEncoding(Encoding->currentIndex());
    form.depth = Depth->currentData().toInt();
    form.inArchives = InArchives->isChecked();
    form.minSize = MinSize->text();
    form.maxSize = MaxSize->text();
    form.after = UseAfter->isChecked() ? After->date() : QDate();
    form.before = UseBefore->isChecked() ? Before->date() : QDate();
    for (int i = 0; i < 5; ++i) {
        const Qt::CheckState state = Attributes[i]->checkState();
        form.attributes[i] = state == Qt::Checked ? 1 : state == Qt::Unchecked ? 0 : -1;
    }
}

void TfFindFiles::Start()
{
    if (worker)
        return;
    TFindForm form;
    Read(form);
    TFindOptions options;
    QString problem;
    if (!ReadFindForm(form, options, problem)) {
        Ask().MessageBox(this, problem, caption, MB_OK | MB_ICONWARNING);
        return;
    }
    model.Clear();
    {
        const QMutexLocker lock(&mutex);
        pending.clear();
        currentFolder.clear();
    }
    search = std::make_shared<TFileSearch>(options);
    TFileSearch *running = search.get();
    // These run on the worker; the dialog outlives it (the destructor waits).
    running->OnFound = [this](const TFoundItem &item) {
        const QMutexLocker lock(&mutex);
        pending.push_back({item, QString()});
    };
    running->OnSkipped = [this](const QString &path, const QString &reason) {
        TFoundRow row;
        row.item.path = path;
        row.skipped = reason;
        const QMutexLocker lock(&mutex);
        pending.push_back(std::move(row));
    };
    running->OnFolder = [this](const QString &folder) {
        const QMutexLocker lock(&mutex);
        currentFolder = folder;
    };
    worker = QThread::create([running] { running->Run(); });
    connect(worker, &QThread::finished, this, &TfFindFiles::WorkerDone);
    worker->start(QThread::LowPriority);
    drainTimer->start();
    UpdateButtons();
    UpdateStatus();
    Results->setFocus();
}

void TfFindFiles::Stop()
{
    if (search)
        search->Stop();
}

void TfFindFiles::Drain()
{
    std::vector<TFoundRow> rows;
    {
        const QMutexLocker lock(&mutex);
        rows.swap(pending);
    }
    const bool first = model.rowCount() == 0 && !rows.empty();
    model.Append(std::move(rows));
    if (first)
        Results->setCurrentIndex(model.index(0, 0));
    UpdateStatus();
    UpdateButtons();
}

void TfFindFiles::WorkerDone()
{
    worker->wait();
    worker->deleteLater();
    worker = nullptr;
    drainTimer->stop();
    Drain();
    UpdateButtons();
    UpdateStatus();
    Q_EMIT Finished();
}

void TfFindFiles::UpdateButtons()
{
    const bool running = worker != nullptr;
    FindButton->setEnabled(!running);
    StopButton->setEnabled(running);
    const QModelIndex current = Results->currentIndex();
    GoToButton->setEnabled(current.isValid() && model.Row(current.row()).skipped.isEmpty());
    FeedButton->setEnabled(model.FoundCount() > 0);
}

void TfFindFiles::UpdateStatus()
{
    QString text = model.FoundCount() == 1 ? QStringLiteral("1 found")
                                           : QStringLiteral("%1 found").arg(model.FoundCount());
    if (model.SkippedCount() > 0)
        text += QStringLiteral(", %1 not searched").arg(model.SkippedCount());
    if (worker) {
        const QMutexLocker lock(&mutex);
        text = QStringLiteral("Searching %1 - %2").arg(currentFolder, text);
    } else if (search && search->Stopped()) {
        text = QStringLiteral("Stopped: ") + text;
    }
    Status->setText(text);
}

void TfFindFiles::Close(TOutcome how)
{
    if (worker) {
        search->Stop();
        worker->wait();
        WorkerDone();
    }
    const QModelIndex current = Results->currentIndex();
    if (how == foGoToFile && (!current.isValid() || !model.Row(current.row()).skipped.isEmpty()))
        return;
    if (how == foFeed) {
        fed = model.DiskPaths();
        if (fed.isEmpty())
            return;
    }
    focused = current.isValid() ? model.Row(current.row()).item.path : QString();
    outcome = how;
    accept();
}

void TfFindFiles::reject()
{
    // The first Escape stops a running search; the next one closes.
    if (worker) {
        Stop();
        return;
    }
    QDialog::reject();
}

void TfFindFiles::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && Results->hasFocus()) {
        Close(foGoToFile);
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace kestrel
