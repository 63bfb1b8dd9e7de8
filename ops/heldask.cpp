#include "ops/heldask.h"

#include "ops/operationlock.h"

namespace kestrel {

int THeldAsk::MessageBox(QObject *owner, const QString &text, const QString &caption,
                         unsigned flags)
{
    const TOperationGuard hold;
    return inner.MessageBox(owner, text, caption, flags);
}

int THeldAsk::GetString(QObject *owner, const QString &caption, const QString &prompt,
                        QString &text, bool selectAll, bool keepSelection, bool masked)
{
    const TOperationGuard hold;
    return inner.GetString(owner, caption, prompt, text, selectAll, keepSelection, masked);
}

TFileExistsAnswer THeldAsk::FileExists(QObject *owner, const TFileExistsQuestion &q)
{
    const TOperationGuard hold;
    return inner.FileExists(owner, q);
}

int THeldAsk::DeleteWarning(QObject *owner, const QString &text, int focused, bool allCaption)
{
    const TOperationGuard hold;
    return inner.DeleteWarning(owner, text, focused, allCaption);
}

bool THeldAsk::SelectFolder(QObject *owner, const QString &caption, QString &folder)
{
    const TOperationGuard hold;
    return inner.SelectFolder(owner, caption, folder);
}

bool THeldAsk::OpenFileName(QObject *owner, const QString &caption, const QString &filter,
                            QString &path)
{
    const TOperationGuard hold;
    return inner.OpenFileName(owner, caption, filter, path);
}

bool THeldAsk::ChooseColor(QObject *owner, unsigned &color)
{
    const TOperationGuard hold;
    return inner.ChooseColor(owner, color);
}

bool THeldAsk::ChooseFont(QObject *owner, QString &family, int &size, bool &bold)
{
    const TOperationGuard hold;
    return inner.ChooseFont(owner, family, size, bold);
}

bool THeldAsk::SaveFileName(QObject *owner, const QString &caption, const QString &filter,
                            QString &path)
{
    const TOperationGuard hold;
    return inner.SaveFileName(owner, caption, filter, path);
}

int THeldAsk::SelectDrive(QObject *owner, QString &text, const QStringList &workFolders,
                          const QString &excluded)
{
    const TOperationGuard hold;
    return inner.SelectDrive(owner, text, workFolders, excluded);
}

bool THeldAsk::SplitOptions(QObject *owner, TSplitForm &form)
{
    const TOperationGuard hold;
    return inner.SplitOptions(owner, form);
}

int THeldAsk::AdvancedRename(QObject *owner, TAdvancedRenameForm &form)
{
    const TOperationGuard hold;
    return inner.AdvancedRename(owner, form);
}

int THeldAsk::ArchiveOptions(QObject *owner, TArchiveForm &form)
{
    const TOperationGuard hold;
    return inner.ArchiveOptions(owner, form);
}

void THeldAsk::ArchiveProperties(QObject *owner, const TArchivePropForm &form)
{
    const TOperationGuard hold;
    inner.ArchiveProperties(owner, form);
}

int THeldAsk::RenameEntry(QObject *owner, TRenameForm &form)
{
    const TOperationGuard hold;
    return inner.RenameEntry(owner, form);
}

int THeldAsk::CharCase(QObject *owner, bool upper, bool &recursive)
{
    const TOperationGuard hold;
    return inner.CharCase(owner, upper, recursive);
}

int THeldAsk::AttributesTime(QObject *owner, TAttribForm &form)
{
    const TOperationGuard hold;
    return inner.AttributesTime(owner, form);
}

} // namespace kestrel
