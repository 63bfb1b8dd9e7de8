#include "tools/charcase.h"

#include "ops/ask.h"
#include "ops/errors.h"
#include "ops/filefunction.h"
#include "ops/operationlock.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "text/strings.h"
#include "tools/targets.h"

namespace kestrel {

namespace {

// MoveFile of a name to its converted form; 0 or the error code.
int Convert(const QString &folder, const QString &name, bool upper)
{
    const QString converted = ConvertCase(name, upper);
    if (converted == name ||
        sys::MoveFile(sys::JoinPath(folder, name), sys::JoinPath(folder, converted)))
        return 0;
    return int(sys::GetLastError());
}

// The entries directly inside folder, stopping at the first failure, whose
// path goes to failed.
int ConvertEntries(const QString &folder, bool upper, QString &failed)
{
    QStringList names;
    if (!sys::ForEachEntry(folder, [&](const sys::WIN32_FIND_DATA &entry) {
            names << entry.cFileName;
            return true;
        })) {
        failed = folder;
        return int(sys::GetLastError());
    }
    for (const QString &name : std::as_const(names))
        if (const int code = Convert(folder, name, upper)) {
            failed = sys::JoinPath(folder, name);
            return code;
        }
    return 0;
}

} // namespace

QString ConvertCase(const QString &name, bool upper)
{
    QString converted = name;
    for (QChar &c : converted) {
        const char16_t u = c.unicode();
        if (upper && u >= u'a' && u <= u'z')
            c = QChar(u - u'a' + u'A');
        else if (!upper && u >= u'A' && u <= u'Z')
            c = QChar(u - u'A' + u'a');
    }
    return converted;
}

bool RunCharCaseCommand(QObject *owner, TFileListing &panel, bool upper)
{
    const QList<TFile *> targets = ToolTargets(panel);
    bool recursive = false;
    if (targets.isEmpty() || Ask().CharCase(owner, upper, recursive) != mrYes)
        return false;
    const TOperationGuard guard;
    const QString folder = panel.Folder();
    bool changed = false;
    for (int i = 0; i < targets.size(); ++i) {
        TFile *file = targets[i];
        const QString name = file->GetFullName();
        const QString path = sys::JoinPath(folder, name);
        QString failed = path;
        int code = 0;
        // A link to a folder is renamed, never entered.
        if (recursive && file->Kind() == fkFolder && !IsLink(file->Attributes)) {
            code = ConvertEntries(path, upper, failed);
            changed = true;
        }
        if (code == 0) {
            failed = path;
            code = Convert(folder, name, upper);
        }
        if (code == 0) {
            changed = changed || ConvertCase(name, upper) != name;
            file->SetFullName(ConvertCase(name, upper));
            if (file->Selected)
                panel.Deselect(file->Index);
            continue;
        }
        const bool last = i + 1 == targets.size();
        if (!ShowError(code, failed, LoadStr(512), last))
            break;
    }
    return changed;
}

} // namespace kestrel
