#include "app/mainwindow.h"

#include "panel/kfileview.h"
#include "platform/drives.h"

#include <QActionGroup>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>

namespace kestrel {

namespace {

struct FilterItem {
    const char *caption;
    const char *filter;
};

const FilterItem filterItems[] = {
    {"All Files", "*.*"},
    {"Program Files", "*.exe;*.com;*.bat;*.lnk;*.pif"},
    {"Document files", "*.doc;*.txt;*.cap;*.hwp;*.gul;*.xls;*.ppt;*.pdf"},
    {"Image files", "*.jpg;*.jpeg;*.gif;*.bmp;*.psd;*.cdr;*.ai;*.tif;*.tiff;*.png"},
    {"Multimedia files", "*.wav;*.mp3;*.mpeg;*.mpg;*.avi;*.asf;*.ra;*.ram;*.mov;*.wma;*.wmv"},
    {"Archive files", "*.zip;*.rar;*.arj;*.ace;*.lzh;*.cab"},
};

} // namespace

TfMain::TfMain(QWidget *parent)
    : QMainWindow(parent), fileView(new TKFileView(this)), entryPanel(new QLabel(this)),
      selectionPanel(new QLabel(this)), findPanel(new QLabel(this))
{
    setWindowTitle(QStringLiteral("Kestrel 4.0"));
    resize(800, 560);
    setCentralWidget(fileView);
    fileView->SetSortType(fstExt);
    statusBar()->addWidget(entryPanel, 1);
    statusBar()->addWidget(findPanel);
    statusBar()->addWidget(selectionPanel);
    fileView->OnChange = [this] { UpdateStatus(); };
    fileView->OnChangeSelected = [this] { UpdateStatus(); };
    fileView->OnFindChange = [this](const QString &text) { UpdateFind(text); };
    CreateViewMenu();
    OpenStartFolder();
    fileView->setFocus();
}

void TfMain::OpenStartFolder()
{
    QString start;
    if (!sys::FromNative(QDir::currentPath().toUtf8(), start))
        start = QStringLiteral("C:\\");
    fileView->SetFolder(start);
    if (fileView->Folder().isEmpty())
        fileView->SetFolder(QStringLiteral("C:\\"));
}

void TfMain::UpdateStatus()
{
    entryPanel->setText(fileView->EntryStatus());
    const QString selection = fileView->SelectionStatus();
    selectionPanel->setText(selection);
    selectionPanel->setVisible(!selection.isEmpty());
}

void TfMain::UpdateFind(const QString &text)
{
    findPanel->setText(text);
    findPanel->setVisible(!text.isEmpty());
}

void TfMain::FilterClick(int tag)
{
    fileView->SetFilter(QString::fromLatin1(filterItems[tag].filter));
}

void TfMain::CreateViewMenu()
{
    QMenu *view = menuBar()->addMenu(QStringLiteral("&View"));

    QMenu *filter = view->addMenu(QStringLiteral("&Filter"));
    auto *filterGroup = new QActionGroup(this);
    for (int tag = 0; tag < int(std::size(filterItems)); ++tag) {
        QAction *item = filter->addAction(QString::fromLatin1(filterItems[tag].caption));
        item->setCheckable(true);
        item->setChecked(tag == 0);
        filterGroup->addAction(item);
        connect(item, &QAction::triggered, this, [this, tag] { FilterClick(tag); });
    }

    QMenu *arrange = view->addMenu(QStringLiteral("&Arrange"));
    auto *sortGroup = new QActionGroup(this);
    const char *const sortNames[] = {"by &Name", "by &Extension", "by &Size", "by &Time", "N&one"};
    for (int tag = fstName; tag <= fstNone; ++tag) {
        QAction *item = arrange->addAction(QString::fromLatin1(sortNames[tag]));
        item->setCheckable(true);
        item->setChecked(tag == fileView->SortType());
        sortGroup->addAction(item);
        connect(item, &QAction::triggered, this,
                [this, tag] { fileView->SetSortType(TFileSortType(tag)); });
    }
    arrange->addSeparator();
    QAction *descend = arrange->addAction(QStringLiteral("&Descend"));
    descend->setCheckable(true);
    connect(descend, &QAction::toggled, this, [this](bool on) { fileView->SetDescend(on); });

    QMenu *column = view->addMenu(QStringLiteral("&Column"));
    auto *columnGroup = new QActionGroup(this);
    for (int count = 0; count <= 6; ++count) {
        QAction *item =
            column->addAction(count == 0 ? QStringLiteral("&Auto") : QString::number(count));
        item->setCheckable(true);
        item->setChecked(count == 0);
        columnGroup->addAction(item);
        connect(item, &QAction::triggered, this, [this, count] { fileView->SetColumn(count); });
    }

    view->addSeparator();
    auto *styleGroup = new QActionGroup(this);
    QAction *list = view->addAction(QStringLiteral("&List"));
    QAction *icons = view->addAction(QStringLiteral("Large &Icons"));
    for (QAction *item : {list, icons}) {
        item->setCheckable(true);
        styleGroup->addAction(item);
    }
    list->setChecked(true);
    connect(list, &QAction::triggered, this, [this] { fileView->SetViewStyle(vsList); });
    connect(icons, &QAction::triggered, this, [this] { fileView->SetViewStyle(vsIcon); });

    view->addSeparator();
    QAction *hidden = view->addAction(QStringLiteral("Show &Hidden File"));
    hidden->setCheckable(true);
    connect(hidden, &QAction::toggled, this, [this](bool on) { fileView->SetViewHidden(on); });
    QAction *longName = view->addAction(QStringLiteral("Show Long File&name"));
    longName->setCheckable(true);
    longName->setChecked(true);
    connect(longName, &QAction::toggled, this, [this](bool on) { fileView->SetLongName(on); });
}

} // namespace kestrel
