#include "tools/batchrename.h"

#include "ops/errors.h"
#include "ops/safereplace.h"
#include "platform/drives.h"
#include "platform/errors.h"
#include "platform/fileapi.h"
#include "platform/names.h"

#include <QHash>
#include <QSet>

namespace kestrel {

namespace {

// Names are looked up without regard to case, so they collide that way.
QString Key(const QString &name)
{
    return sys::CaseKey(name);
}

} // namespace

QString NameProblem(const QString &name)
{
    if (name.trimmed().isEmpty())
        return QStringLiteral("A name cannot be empty.");
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return QStringLiteral("\"%1\" is no name of a file.").arg(name);
    for (const QChar c : name) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('/') || c == QLatin1Char(':'))
            return QStringLiteral("A name cannot hold \\, / or :.");
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return QStringLiteral("A name cannot hold control characters.");
    }
    if (sys::EncodeName(name).size() > 255)
        return QStringLiteral("The name is too long.");
    return QString();
}

QStringList RunProblems(const QStringList &sources, const QStringList &results, int start,
                        const std::function<bool(const QString &name)> &takenOutside)
{
    QStringList problems;
    for (int i = 0; i < sources.size(); ++i)
        problems.append(QString());
    // Who holds each name when the run is done: entries that keep theirs first.
    QHash<QString, int> holder;
    for (int i = start; i < sources.size(); ++i)
        if (results.value(i) == sources[i])
            holder.insert(Key(sources[i]), i);
    for (int i = start; i < sources.size(); ++i) {
        const QString &name = results.value(i);
        if (name == sources[i])
            continue;
        if (const QString problem = NameProblem(name); !problem.isEmpty()) {
            problems[i] = problem;
            continue;
        }
        const int other = holder.value(Key(name), -1);
        if (other >= 0) {
            problems[i] = QStringLiteral("%1 would have this name too.").arg(sources[other]);
            if (problems[other].isEmpty())
                problems[other] = QStringLiteral("%1 would have this name too.").arg(sources[i]);
            continue;
        }
        holder.insert(Key(name), i);
        if (takenOutside && takenOutside(name))
            problems[i] = QStringLiteral("Another file already has this name.");
    }
    return problems;
}

std::function<bool(const QString &name)> TakenOutside(const QString &folder,
                                                      const QStringList &sources, int start)
{
    const QStringList runList = sources.mid(start);
    const QSet<QString> run(runList.cbegin(), runList.cend());
    QSet<QString> others;
    sys::ForEachEntry(folder, [&](const sys::WIN32_FIND_DATA &entry) {
        if (!run.contains(entry.cFileName))
            others.insert(Key(entry.cFileName));
        return true;
    });
    return [others](const QString &name) { return others.contains(Key(name)); };
}

TToolResult RenameRun(const QString &folder, const QStringList &sources, const QStringList &results,
                      int start, QList<bool> &renamed)
{
    renamed = QList<bool>(sources.size(), false);
    QList<int> pending;
    QHash<QString, int> oldNames;
    for (int i = start; i < sources.size(); ++i)
        if (results.value(i) != sources[i]) {
            pending.append(i);
            oldNames.insert(Key(sources[i]), i);
        }
    // An entry whose old name another one is to take steps aside first.
    QHash<int, QString> parked;
    QList<int> aside;
    for (const int i : std::as_const(pending)) {
        const int j = oldNames.value(Key(results[i]), -1);
        if (j >= 0 && j != i && !aside.contains(j))
            aside.append(j);
    }

    TToolResult result;
    for (const int j : std::as_const(aside)) {
        QString temp;
        if (!MoveAside(sys::JoinPath(folder, sources[j]), temp)) {
            result = LastFailure(sys::JoinPath(folder, sources[j]));
            break;
        }
        parked.insert(j, temp);
    }
    for (int k = 0; k < pending.size() && result.Done(); ++k) {
        const int i = pending[k];
        const QString from = parked.value(i, sys::JoinPath(folder, sources[i]));
        if (!sys::MoveFile(from, sys::JoinPath(folder, results[i]))) {
            result = LastFailure(sys::JoinPath(folder, sources[i]));
            break;
        }
        renamed[i] = true;
        parked.remove(i);
    }
    if (result.Done())
        return result;
    // What is still parked goes back to its old name where that is free.
    QStringList left;
    for (auto it = parked.cbegin(); it != parked.cend(); ++it)
        if (!sys::MoveFile(it.value(), sys::JoinPath(folder, sources[it.key()])))
            left << QStringLiteral("%1 is now %2.")
                        .arg(sources[it.key()], sys::ExtractFileName(it.value()));
    if (!left.isEmpty())
        result.text =
            GetErrorMessage(result.code) + QStringLiteral("\n\n") + left.join(QLatin1Char('\n'));
    return result;
}

} // namespace kestrel
