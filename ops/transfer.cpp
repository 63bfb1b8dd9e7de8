#include "ops/transfer.h"

#include "ops/ask.h"
#include "ops/clipboardformats.h"
#include "ops/conflicts.h"
#include "ops/errors.h"
#include "ops/filecopy.h"
#include "ops/operationlock.h"
#include "text/strings.h"
#include "panel/filelisting.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/shelllink.h"

namespace kestrel {

namespace {

// Names at most this many missing files; the rest are counted.
constexpr int missingNamesShown = 10;

QStringList TakeMissing(QStringList &files)
{
    QStringList missing;
    for (auto it = files.begin(); it != files.end();) {
        if (sys::GetFileAttributes(*it) == sys::INVALID_FILE_ATTRIBUTES) {
            missing.append(*it);
            it = files.erase(it);
        } else {
            ++it;
        }
    }
    return missing;
}

void ReportMissing(QObject *owner, const QStringList &missing)
{
    QString text = GetErrorMessage(int(sys::ERROR_FILE_NOT_FOUND)) + QLatin1String("\n");
    for (const QString &name :
         missing.first(std::min<qsizetype>(missing.size(), missingNamesShown)))
        text += QLatin1Char('\n') + name;
    if (missing.size() > missingNamesShown)
        text += QStringLiteral("\n(+%1)").arg(missing.size() - missingNamesShown);
    const TOperationGuard guard;
    Ask().MessageBox(owner, text, LoadStr(512), MB_OK | MB_ICONERROR);
}

void MakeShortcuts(const QStringList &files, const QString &folder)
{
    const TOperationGuard guard;
    for (int i = 0; i < files.size(); ++i) {
        if (sys::CreateShortcut(files[i], folder))
            continue;
        if (!ShowError(int(sys::GetLastError()), files[i], LoadStr(512), i == files.size() - 1))
            break;
    }
}

} // namespace

bool TransferFiles(QObject *owner, const QStringList &files, const QString &folder,
                   sys::DWORD effect)
{
    QStringList present = files;
    const QStringList missing = TakeMissing(present);
    if (!missing.isEmpty())
        ReportMissing(owner, missing);
    if (present.isEmpty())
        return false;
    if (effect == DROPEFFECT_LINK) {
        MakeShortcuts(present, folder);
        return true;
    }
    TFileCopy copy(owner);
    copy.Files = present;
    copy.OnFileExists = [owner](TFileCopy &, const QString &source, QString &target,
                                sys::DWORD &flags) {
        HandleFileExists(owner, source, target, flags);
    };
    if (effect == DROPEFFECT_MOVE)
        copy.Move(folder);
    else
        copy.Copy(folder);
    return true;
}

void ReloadWhenIdle(QObject *context, TFileListing &panel)
{
    const TFile *focused = panel.GetItemFocused();
    const QString name = focused ? focused->GetFullName() : QString();
    TOperationState::Instance().RunWhenIdle(context, [&panel, name] { panel.Refresh(name, true); });
}

} // namespace kestrel
