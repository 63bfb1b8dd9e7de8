#pragma once
// TfProperties: the program's own properties window for a file, a folder or
// a drive: name, type, location, size, times, attributes, owner and
// permissions, and for a drive its label, serial number and space. It is
// modeless and frees itself when closed.

#include <QDialog>

namespace kestrel {

class TfProperties : public QDialog {
    Q_OBJECT
public:
    // path in Windows form: "C:\", "\\server\share\", "C:\Data\a.txt".
    TfProperties(const QString &path, QWidget *parent);
    // Shows the window for path over parent.
    static TfProperties *Open(const QString &path, QWidget *parent);
    // The value shown beside a caption ("Type", "Free", ...), "" when none.
    QString Value(const QString &caption) const;

protected:
    // The keys go back to the window below, also without a window manager.
    void hideEvent(QHideEvent *event) override;
};

} // namespace kestrel
