#pragma once
// TfMain: the main window that holds the file panel, its status texts and
// the View menu's listing choices.

#include <QMainWindow>

class QLabel;

namespace kestrel {

class TKFileView;

class TfMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfMain(QWidget *parent = nullptr);

    TKFileView *FileView() const { return fileView; }
    // Enters the folder Kestrel was started in, or C:\ when no drive covers it.
    void OpenStartFolder();

private:
    void CreateViewMenu();
    void FilterClick(int tag);
    void UpdateStatus();
    void UpdateFind(const QString &text);

    TKFileView *fileView;
    QLabel *entryPanel;
    QLabel *selectionPanel;
    QLabel *findPanel;
};

} // namespace kestrel
