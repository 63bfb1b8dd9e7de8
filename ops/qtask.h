#pragma once
// The real dialogs behind the dialog seam.

#include "ops/ask.h"

namespace kestrel {

class QtAsk : public TAsk {
public:
    int MessageBox(QObject *owner, const QString &text, const QString &caption,
                   unsigned flags) override;
    int GetString(QObject *owner, const QString &caption, const QString &prompt, QString &text,
                  bool selectAll, bool keepSelection, bool masked) override;
    TFileExistsAnswer FileExists(QObject *owner, const TFileExistsQuestion &q) override;
    int DeleteWarning(QObject *owner, const QString &text, int focused, bool allCaption) override;
    bool SelectFolder(QObject *owner, const QString &caption, QString &folder) override;
    bool OpenFileName(QObject *owner, const QString &caption, const QString &filter,
                      QString &path) override;
    bool SaveFileName(QObject *owner, const QString &caption, const QString &filter,
                      QString &path) override;
    int SelectDrive(QObject *owner, QString &text, const QStringList &workFolders,
                    const QString &excluded) override;
};

} // namespace kestrel
