#include "tools/renamecommand.h"

#include "ops/ask.h"
#include "ops/errors.h"
#include "ops/operationlock.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "text/strings.h"
#include "tools/batchrename.h"
#include "tools/targets.h"

#include <QMap>

#include <memory>

namespace kestrel {

namespace {

// Problems listed by name before the rest are only counted.
constexpr int maxListed = 12;

// From the last dot on, the dot included; empty without a dot.
QString OldExtension(const QString &name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.sliced(dot);
}

class TRenameRun {
public:
    // The targets lie in folder, below the panel's folder as prefix says
    // (a found listing's entries); their names there are what is renamed.
    TRenameRun(QObject *owner, const QString &folder, const QString &prefix,
               const QList<TFile *> &targets)
        : owner(owner), folder(folder), prefix(prefix), targets(targets)
    {
        for (const TFile *file : targets)
            sources << file->GetFullName().mid(prefix.size());
        results = sources;
    }

    // Every entry in turn; false once the user cancels or the rule's run ends.
    bool Run();

    QList<TRenamed> renamed;

private:
    // One entry, asked again after a failure. False to end the command.
    bool RenameOne(int index, TRenameForm &form);
    void RenameRest(int start);
    void Done(int index, const QString &newName);
    QString Path(const QString &name) const { return sys::JoinPath(folder, name); }

    QObject *owner;
    QString folder;
    QString prefix;
    QList<TFile *> targets;
    QStringList sources;
    QStringList results;
};

bool TRenameRun::Run()
{
    TRenameForm form;
    for (int i = 0; i < sources.size(); ++i)
        if (!RenameOne(i, form))
            return false;
    return true;
}

bool TRenameRun::RenameOne(int index, TRenameForm &form)
{
    for (;;) {
        form.index = index;
        form.text = sources[index];
        form.advanced.sources = sources;
        form.advanced.results = results;
        form.advanced.start = index;
        // The folder is read only if the advanced preview asks.
        form.advanced.takenOutside =
            [this, index,
             test = std::make_shared<std::function<bool(const QString &)>>()](const QString &name) {
                if (!*test)
                    *test = TakenOutside(folder, sources, index);
                return (*test)(name);
            };
        const int answer = Ask().RenameEntry(owner, form);
        if (answer == mrAll) {
            results = form.advanced.results;
            RenameRest(index);
            return false;
        }
        if (answer != mrOk)
            return false;
        const QString newName =
            form.changeExtension ? form.text : form.text + OldExtension(sources[index]);
        if (newName == sources[index])
            return true;
        if (const QString problem = NameProblem(newName); !problem.isEmpty()) {
            Ask().MessageBox(owner, AboutObject(newName, problem), LoadStr(512),
                             MB_OK | MB_ICONERROR);
            continue;
        }
        if (!sys::MoveFile(Path(sources[index]), Path(newName))) {
            ShowError(int(sys::GetLastError()), Path(sources[index]), LoadStr(512), true);
            continue;
        }
        Done(index, newName);
        return true;
    }
}

// The names the advanced rule gave, for this entry and every later one: all
// checked before the first is renamed, then renamed as one run.
void TRenameRun::RenameRest(int start)
{
    const QStringList problems =
        RunProblems(sources, results, start, TakenOutside(folder, sources, start));
    QStringList shown;
    int count = 0;
    for (int i = start; i < sources.size(); ++i)
        if (!problems[i].isEmpty() && count++ < maxListed)
            shown << QStringLiteral("%1 -> %2: %3").arg(sources[i], results[i], problems[i]);
    if (count > 0) {
        if (count > maxListed)
            shown << QStringLiteral("... and %1 more.").arg(count - maxListed);
        Ask().MessageBox(owner,
                         QStringLiteral("Nothing was renamed:\n\n") + shown.join(QLatin1Char('\n')),
                         LoadStr(512), MB_OK | MB_ICONERROR);
        return;
    }
    QList<bool> done;
    const TToolResult result = RenameRun(folder, sources, results, start, done);
    for (int i = start; i < sources.size(); ++i)
        if (done[i])
            Done(i, results[i]);
    if (!result.Done()) {
        if (result.text.isEmpty())
            ShowError(result.code, result.object, LoadStr(512), true);
        else
            Ask().MessageBox(owner, AboutObject(result.object, result.text), LoadStr(512),
                             MB_OK | MB_ICONERROR);
    }
}

void TRenameRun::Done(int index, const QString &newName)
{
    TFile *file = targets[index];
    renamed.append({prefix + sources[index], prefix + newName, file->Kind() == fkFolder});
    file->SetFullName(newName);
    file->Name.prepend(prefix);
    sources[index] = newName;
    results[index] = newName;
}

} // namespace

QList<TRenamed> RunRenameCommand(QObject *owner, TFileListing &panel)
{
    const TOperationGuard guard;
    const QList<TFile *> targets = ToolTargets(panel);
    if (targets.isEmpty())
        return {};
    // Entries of several folders (a found listing) are renamed folder by
    // folder, each where it lies.
    QMap<QString, QList<TFile *>> byPrefix;
    QStringList order;
    for (TFile *file : targets) {
        const QString name = file->GetFullName();
        const QString prefix = name.left(name.lastIndexOf(QLatin1Char('\\')) + 1);
        if (!byPrefix.contains(prefix))
            order.append(prefix);
        byPrefix[prefix].append(file);
    }
    QList<TRenamed> renamed;
    for (const QString &prefix : order) {
        const QString folder =
            prefix.isEmpty() ? panel.Folder() : sys::JoinPath(panel.Folder(), prefix.chopped(1));
        TRenameRun run(owner, folder, prefix, byPrefix[prefix]);
        const bool ended = !run.Run();
        renamed += run.renamed;
        if (ended)
            break;
    }
    return renamed;
}

} // namespace kestrel
